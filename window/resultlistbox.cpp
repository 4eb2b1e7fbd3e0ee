// SPDX-License-Identifier: MIT
#include "resultlistbox.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <vector>

ResultLinesModel::ResultLinesModel(QObject *parent) : QAbstractListModel(parent)
{
    // Before the lines first change, note afresh what the views' rows show, to find those lines
    // again once the change is published.
    lines_.beforeChange = [this] {
        anchors_.clear();
        std::vector<int> rows{topRow_ ? topRow_() : 0};
        for (const QModelIndex &index : persistentIndexList())
            rows.push_back(index.row());
        for (const int row : rows)
            if (row >= 0 && row < published_)
                anchors_.emplace(row, lines_.anchorAt(std::size_t(row)));
    };
}

// The row the line at `row` (before the changes) stands at now; when it went, -1, or with
// `stayWhenGone` the row of the line that took its place.
int ResultLinesModel::followRow(int row, bool stayWhenGone) const
{
    const auto anchor = anchors_.find(row);
    if (anchor == anchors_.end())
        return stayWhenGone ? row : -1;
    std::size_t where = 0;
    const auto now = lines_.rowOf(anchor->second, &where);
    return now ? int(*now) : stayWhenGone ? int(where) : -1;
}

int ResultLinesModel::publish(int topRow)
{
    const int count = int(lines_.size());
    const auto change = lines_.takeChange();
    if (change == search::SortedLines::Change::Cleared) { // the views start afresh
        beginResetModel();
        published_ = count;
        endResetModel();
        return 0;
    }
    if (change == search::SortedLines::Change::None && count == published_)
        return topRow;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before) {
        const int row = followRow(index.row(), false);
        after << (row >= 0 && row < count ? createIndex(row, 0) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    const int top = followRow(topRow, true);
    published_ = count;
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return std::clamp(top, 0, std::max(0, count - 1));
}

int ResultLinesModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : published_; }

QVariant ResultLinesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= published_)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        const std::string_view line = lines_.at(std::size_t(index.row()));
        return QString::fromLatin1(line.data(), qsizetype(line.size()));
    }
    case Qt::AccessibleDescriptionRole: {
        if (!descriptionProvider_)
            return {};
        return descriptionProvider_(std::string(lines_.at(std::size_t(index.row()))));
    }
    default: return {};
    }
}

ResultListBox::ResultListBox(QWidget *parent) : QTableView(parent), model_(new ResultLinesModel(this))
{
    setModel(model_);
    // One column of rows of one height, headers hidden: the view finds a row by arithmetic, so
    // catching up with a million lines costs no more than with ten.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setShowGrid(false);
    setTabKeyNavigation(false); // Tab leaves the list, as from any list box
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Result list"));
    measureItems();
    model_->setTopRow([this] { return verticalScrollBar()->value(); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { followSelection(); });
}

int ResultListBox::count() const { return static_cast<int>(lines().size()); }

QString ResultListBox::item(int index) const
{
    if (index < 0 || index >= count())
        return {};
    const std::string_view line = lines().at(static_cast<std::size_t>(index));
    return QString::fromLatin1(line.data(), qsizetype(line.size()));
}

void ResultListBox::addItem(const std::string &line)
{
    lines().appendClosing(line);
    linesChanged();
}

void ResultListBox::clear()
{
    lines().clear();
    linesChanged();
}

void ResultListBox::linesChanged()
{
    if (lines().longestLine().size() != measuredLength_)
        measureItems();
    const int top = verticalScrollBar()->value();
    const int newTop = model_->publish(top);
    // The line at the top stays at the top, however many lines went in above it.
    executeDelayedItemsLayout();
    if (newTop != verticalScrollBar()->value())
        verticalScrollBar()->setValue(newTop);
    viewport()->update();
    // A clear or a trim takes selected lines away without a word from the selection.
    followSelection();
}

void ResultListBox::setToolTipProvider(std::function<QString(const std::string &)> provider)
{
    toolTipProvider_ = provider;
    model_->setDescriptionProvider(std::move(provider));
}

void ResultListBox::setNamesProvider(std::function<QStringList(const std::string &)> provider)
{
    namesProvider_ = std::move(provider);
}

QString ResultListBox::selectedLine() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.size() != 1 || rows.front().row() >= count())
        return {};
    return item(rows.front().row());
}

void ResultListBox::followSelection()
{
    const QString line = selectedLine();
    if (line == selectedLine_)
        return;
    selectedLine_ = line;
    emit selectedLineChanged(line);
}

int ResultListBox::itemWidth(const QFontMetrics &metrics, const QString &line) const
{
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    int widest = 0;
    for (char c : std::string_view("0123456789 -.+Eainf"))
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(c)));
    return margin + widest + metrics.horizontalAdvance(line);
}

// The list keeps the place and size the layout gives it; the text gives way. The stretch goes
// down in small steps, never below half, where the digits would no longer read.
void ResultListBox::fitFont(QFont font, const QString &widestLine)
{
    ensurePolished(); // the style's frame and scroll bar widths
    verticalScrollBar()->ensurePolished();
    const int room = maximumViewportSize().width();
    for (int stretch = 100;; stretch -= 2) {
        font.setStretch(stretch);
        const QFontMetrics metrics(font);
        int widestDigit = 0;
        QChar digit(u'0');
        for (char c = '0'; c <= '9'; ++c)
            if (const int advance = metrics.horizontalAdvance(QLatin1Char(c)); advance > widestDigit) {
                widestDigit = advance;
                digit = QLatin1Char(c);
            }
        QString line = widestLine;
        for (QChar &c : line)
            if (c.isDigit())
                c = digit;
        if (stretch <= 50 || itemWidth(metrics, line) <= room)
            break;
    }
    setFont(font);
}

// Every line as wide as the longest listed so far, with a character to spare (lines of one
// length differ a little in width), so the horizontal scroll bar reaches the end of each.
void ResultListBox::measureItems()
{
    const std::string_view longest = lines().longestLine();
    const QFontMetrics metrics(font());
    const int width = itemWidth(metrics, QString::fromLatin1(longest.data(), qsizetype(longest.size())));
    // A pixel above and below the text: the view's item leaves none of its own.
    const int height = metrics.height() + 2;
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setDefaultSectionSize(width);
    horizontalHeader()->resizeSection(0, width);
    measuredLength_ = longest.size();
    scheduleDelayedItemsLayout();
}

QString ResultListBox::selectedText() const
{
    QList<std::pair<int, int>> runs;
    for (const QItemSelectionRange &range : selectionModel()->selection())
        runs << std::pair(range.top(), range.bottom());
    std::sort(runs.begin(), runs.end());
    QString text;
    int next = 0;
    for (const auto &[top, bottom] : runs)
        for (int row = std::max(top, next); row <= bottom && row < count(); ++row) {
            const std::string line(lines().at(std::size_t(row)));
            text += QString::fromLatin1(line.data(), qsizetype(line.size()));
            // One name a cell: "Last, First" names would make commas ambiguous.
            if (namesProvider_)
                for (const QString &name : namesProvider_(line))
                    text += QLatin1Char('\t') + name;
            text += QLatin1Char('\n');
            next = row + 1;
        }
    return text;
}

void ResultListBox::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::Copy) {
        if (const QString text = selectedText(); !text.isEmpty())
            QGuiApplication::clipboard()->setText(text);
        return;
    }
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        showMenu(underCurrentLine());
        return;
    }
    QTableView::keyPressEvent(event);
}

// The menu key (which the window system turns into a context-menu event) and Shift+F10 open the
// menu under the current line; a right click opens it where it was.
void ResultListBox::contextMenuEvent(QContextMenuEvent *event)
{
    showMenu(event->reason() == QContextMenuEvent::Keyboard ? underCurrentLine() : event->globalPos());
}

QPoint ResultListBox::underCurrentLine() const
{
    const QRect line = visualRect(currentIndex());
    return viewport()->mapToGlobal(line.isValid() ? line.bottomLeft() : QPoint(0, 0));
}

void ResultListBox::showMenu(const QPoint &at)
{
    QMenu menu(this);
    QAction *copy = menu.addAction(QStringLiteral("Copy"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(selectionModel()->hasSelection());
    connect(copy, &QAction::triggered, this, [this] { QGuiApplication::clipboard()->setText(selectedText()); });
    menu.exec(at);
}

// Home and End go to the first and last lines, as in any list, not to the one cell of the row.
QModelIndex ResultListBox::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const int rows = model()->rowCount();
    if ((action == MoveHome || action == MoveEnd) && rows > 0)
        return model()->index(action == MoveHome ? 0 : rows - 1, 0);
    return QTableView::moveCursor(action, modifiers);
}

bool ResultListBox::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = indexAt(help->pos());
        QString tip;
        if (toolTipProvider_ && index.isValid())
            tip = toolTipProvider_(std::string(lines().at(std::size_t(index.row()))));
        if (tip.isEmpty())
            tip = toolTip(); // the list's own, over lines without one and below the last line
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(index));
        return true;
    }
    return QTableView::viewportEvent(event);
}

void ResultListBox::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        measureItems();
}

bool ResultListBox::event(QEvent *event)
{
    // Why the list is empty is told in its tooltip; a screen reader speaks the description.
    if (event->type() == QEvent::ToolTipChange)
        setAccessibleDescription(toolTip());
    return QTableView::event(event);
}
