#pragma once
// List1: the result list. A list box over the ranked lines (weakest team first, the closing
// counts last): a click selects, the arrow and page keys move, Ctrl+C copies the selected
// lines with their players' names, and a screen reader reads the lines. The search adds lines
// faster than any view can follow them one by one, so the view hears of them in batches, at the
// moments the window handles its events (linesChanged), and keeps its top line and its
// selection on the lines they showed.

#include "sortedlines.h"

#include <QAbstractListModel>
#include <QTableView>
#include <functional>

class ResultLinesModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ResultLinesModel(QObject *parent = nullptr) : QAbstractListModel(parent) {}

    search::SortedLines &lines() { return lines_; }
    const search::SortedLines &lines() const { return lines_; }
    // Tells the views what changed since the last call; `topRow` (a row of the view before)
    // comes back as the row its line stands at now, or where it stood when it went.
    int publish(int topRow);
    void setItemSize(QSize size) { itemSize_ = size; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    search::SortedLines lines_;
    int published_ = 0; // rows the views know of
    QSize itemSize_;
};

class ResultListBox : public QTableView {
    Q_OBJECT
public:
    explicit ResultListBox(QWidget *parent = nullptr);

    search::SortedLines &lines() { return model_->lines(); }
    const search::SortedLines &lines() const { return model_->lines(); }
    int count() const;
    QString item(int index) const;
    // Adds a line after every team line: the counts that close a search.
    void addItem(const std::string &line);
    void clear();
    // Called after the lines have changed behind the box's back, before the window handles any
    // event or paints: the view catches up with every change at once.
    void linesChanged();
    // Gives the players' names of a line (empty for none): its tooltip, and what Ctrl+C adds.
    void setToolTipProvider(std::function<QString(const std::string &line)> provider);
    // The selected lines, each followed by a tab and its players' names, one line each.
    QString selectedText() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool viewportEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void measureItems();

    ResultLinesModel *model_;
    std::function<QString(const std::string &)> toolTipProvider_;
    std::size_t measuredLength_ = 0;
};
