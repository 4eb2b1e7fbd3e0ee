#pragma once
// List1: the result list. Keeps its lines in ascending order of character codes (not the locale's
// order) and paints only the lines in view, so a list of a million lines stays quick.

#include "sortedlines.h"

#include <QAbstractScrollArea>
#include <functional>

class ResultListBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ResultListBox(QWidget *parent = nullptr);

    search::SortedLines &lines() { return lines_; }
    const search::SortedLines &lines() const { return lines_; }
    int count() const;
    QString item(int index) const;
    void addItem(const std::string &line);
    void clear();
    // Called after the lines have changed behind the box's back.
    void linesChanged();
    // Gives the tooltip of a line (empty for none).
    void setToolTipProvider(std::function<QString(const std::string &line)> provider);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    int lineHeight() const;
    void updateScrollBar();

    search::SortedLines lines_;
    std::function<QString(const std::string &)> toolTipProvider_;
};
