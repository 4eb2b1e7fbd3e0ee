// SPDX-License-Identifier: MIT
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
#include <map>

class ResultLinesModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ResultLinesModel(QObject *parent = nullptr);

    search::SortedLines &lines() { return lines_; }
    const search::SortedLines &lines() const { return lines_; }
    // Tells the views what changed since the last call; `topRow` (a row of the view before)
    // comes back as the row its line stands at now, or where it stood when it went.
    int publish(int topRow);
    // The view's top row, whose line stays at the top through changes, as the selection's do.
    void setTopRow(std::function<int()> topRow) { topRow_ = std::move(topRow); }
    // What a screen reader says of a line besides its text: its players' names.
    void setDescriptionProvider(std::function<QString(const std::string &line)> provider)
    {
        descriptionProvider_ = std::move(provider);
    }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    int followRow(int row, bool stayWhenGone) const;

    search::SortedLines lines_;
    int published_ = 0; // rows the views know of
    std::function<int()> topRow_;
    std::map<int, search::SortedLines::Anchor> anchors_; // the lines at the views' rows before the changes
    std::function<QString(const std::string &)> descriptionProvider_;
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
    // Gives the players' names of a line (empty for none): its tooltip and what a screen reader
    // hears of it.
    void setToolTipProvider(std::function<QString(const std::string &line)> provider);
    // Gives the players' names of a line one by one (none for a closing line): what Ctrl+C adds.
    void setNamesProvider(std::function<QStringList(const std::string &line)> provider);
    // The line when exactly one line is selected, else empty.
    QString selectedLine() const;
    // Makes the text narrower, if need be, until `widestLine` (with every digit as wide as the
    // widest digit) fits the list without a horizontal scroll bar.
    void fitFont(QFont font, const QString &widestLine);

signals:
    // The single selected line changed, or no longer is one (empty): by a click, a key, or a
    // change of the lines.
    void selectedLineChanged(const QString &line);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool viewportEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool event(QEvent *event) override;

private:
    // The selected lines, each followed by its players' names, all separated by tabs, one line each.
    QString selectedText() const;
    // The width a line needs in the list, with the margins of the view's items.
    int itemWidth(const QFontMetrics &metrics, const QString &line) const;
    void measureItems();
    void followSelection();
    void showMenu(const QPoint &at);
    QPoint underCurrentLine() const;

    ResultLinesModel *model_;
    std::function<QString(const std::string &)> toolTipProvider_;
    std::function<QStringList(const std::string &)> namesProvider_;
    std::size_t measuredLength_ = 0;
    QString selectedLine_;
};
