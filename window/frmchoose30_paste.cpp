// The roster and the clipboard: a block of rows pasted from a spreadsheet into the name, cost,
// points and games cells (Ctrl+V or "Paste rows"), one Ctrl+Z that takes the block back, and
// "Copy rows" on each position's title.
#include "frmchoose30.h"

#include "cellblock.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using roster::Position;

namespace {

// The text cells of a row, left to right, as a block of rows fills them.
constexpr QLineEdit *frmChoose30::RowControls::*cellColumns[] = {
    &frmChoose30::RowControls::N, &frmChoose30::RowControls::C,  &frmChoose30::RowControls::P,
    &frmChoose30::RowControls::W, &frmChoose30::RowControls::PW,
};
constexpr int rateColumn = 4;
const char *const columnNames[] = {"name", "cost", "points", "games"};

QString caption(Position p)
{
    static const char *const captions[] = {"Centres", "Wingers", "Defence", "Goalies"};
    return QString::fromLatin1(captions[roster::index(p)]);
}

struct CellPlace {
    Position position;
    int row;
    int column; // 0 name, 1 cost, 2 points, 3 games
};

std::optional<CellPlace> placeOf(frmChoose30 &window, const QLineEdit *cell)
{
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            for (int c = 0; c < rateColumn; ++c)
                if (window.row(p, r).*cellColumns[c] == cell)
                    return CellPlace{p, r, c};
    return std::nullopt;
}

QString counted(qsizetype n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

// A value as a message quotes it: a whole name can be very long.
QString quoted(const QString &value)
{
    constexpr int shown = 40;
    return u'"' + (value.size() > shown ? value.left(shown) + QStringLiteral("...") : value) + u'"';
}

QString clipboardText() { return QGuiApplication::clipboard()->text(); }

bool isShiftF10(const QKeyEvent &key) { return key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier; }

QPoint underCell(const QWidget *cell) { return cell->mapToGlobal(cell->rect().bottomLeft()); }

} // namespace

// Ctrl+V, Ctrl+Z and the context menu of the name, cost, points and games cells. A locked cell
// gets none of them.
class frmChoose30::CellClipboardKeys : public QObject {
public:
    explicit CellClipboardKeys(frmChoose30 *window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *cell = qobject_cast<QLineEdit *>(watched);
        if (!cell || !cell->isEnabled())
            return false;
        // The menu key (which the window system turns into a context-menu event of its own) and
        // Shift+F10 open the menu under the cell, so that "Paste rows" and "Copy rows" need no
        // mouse; a right click opens it where it was.
        if (event->type() == QEvent::ContextMenu) {
            const auto *menuEvent = static_cast<QContextMenuEvent *>(event);
            showMenu(cell, menuEvent->reason() == QContextMenuEvent::Keyboard ? underCell(cell) : menuEvent->globalPos());
            return true;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (isShiftF10(*key)) {
            showMenu(cell, underCell(cell));
            return true;
        }
        if (key->matches(QKeySequence::Undo))
            return window_->undoPasteRows();
        if (!key->matches(QKeySequence::Paste))
            return false;
        const QString text = clipboardText();
        // One value on one line: the cell pastes it as it always has, at the cursor.
        if (!text.contains(u'\t') && !text.contains(u'\n') && !text.contains(u'\r'))
            return false;
        const roster::CellBlock block = roster::readCellBlock(text);
        if (block.size() == 1 && block[0].size() == 1)
            cell->insert(block[0][0]); // one spreadsheet cell: its value without the line end
        else
            window_->pasteRows(cell, text);
        return true;
    }

private:
    void showMenu(QLineEdit *cell, const QPoint &at)
    {
        QMenu *menu = window_->cellMenu(cell);
        menu->exec(at);
        delete menu;
    }

    frmChoose30 *window_;
};

void frmChoose30::connectRosterClipboard()
{
    auto *keys = new CellClipboardKeys(this);
    for (Position p : roster::AllPositions) {
        for (int r = 1; r <= roster::rowCount(p); ++r)
            for (int c = 0; c < rateColumn; ++c) {
                QLineEdit *cell = row(p, r).*cellColumns[c];
                cell->installEventFilter(keys);
                // Any other change to the roster ends what one Ctrl+Z can take back.
                connect(cell, &QLineEdit::textChanged, this, [this] {
                    if (!pasting_)
                        pasteUndo_.clear();
                });
            }
        for (QLabel *title : frame(p)->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
            if (title->text() != caption(p))
                continue;
            title->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(title, &QWidget::customContextMenuRequested, this, [this, p, title](const QPoint &at) {
                QMenu *menu = titleMenu(p);
                menu->exec(title->mapToGlobal(at));
                delete menu;
            });
        }
    }
}

// Each value is set as the cell's text, as typing or the roster file sets it: the width rule cuts
// it, and the points and games handlers keep the rate column current. The rate column itself is
// worked out, so a fifth column lined up with it (as "Copy rows" writes it) is passed over.
bool frmChoose30::pasteRows(QLineEdit *cell, const QString &clipboardText)
{
    const auto place = placeOf(*this, cell);
    if (!place || !cell->isEnabled())
        return false;
    const roster::CellBlock block = roster::readCellBlock(clipboardText);
    if (block.isEmpty())
        return false;

    const qsizetype rowsFit = roster::rowCount(place->position) - place->row + 1;
    const qsizetype columnsFit = rateColumn + 1 - place->column;
    const qsizetype columns = roster::columnCount(block);
    if (block.size() > rowsFit || columns > columnsFit) {
        QStringList fitting;
        for (int c = place->column; c < rateColumn; ++c)
            fitting << QString::fromLatin1(columnNames[c]);
        showMessage(QStringLiteral("Nothing was pasted: the clipboard holds %1 and %2, but from the %3 cell of %4 "
                                   "row %5 only %6 and %7 fit (%8, and the points for the week, which are worked "
                                   "out and never pasted).")
                        .arg(counted(block.size(), "row", "rows"), counted(columns, "column", "columns"),
                             QString::fromLatin1(columnNames[place->column]), caption(place->position),
                             QString::number(place->row), counted(rowsFit, "row", "rows"),
                             counted(columnsFit, "column", "columns"), fitting.join(QStringLiteral(", "))));
        return false;
    }

    std::vector<std::pair<QLineEdit *, QString>> changed;
    int cutCount = 0;
    QString firstCut;
    pasting_ = true;
    for (qsizetype i = 0; i < block.size(); ++i)
        for (qsizetype j = 0; j < block[i].size(); ++j) {
            const int column = place->column + int(j);
            if (column == rateColumn)
                continue;
            const int r = place->row + int(i);
            QLineEdit *target = row(place->position, r).*cellColumns[column];
            const QString before = target->text();
            const QString &value = block[i][j];
            target->setText(value);
            if (target->text() != value && cutCount++ == 0)
                firstCut = QStringLiteral("%1 in %2 row %3 %4 became %5")
                               .arg(quoted(value), caption(place->position), QString::number(r),
                                    QString::fromLatin1(columnNames[column]), quoted(target->text()));
            if (target->text() != before)
                changed.emplace_back(target, before);
        }
    pasting_ = false;
    // A paste that changed nothing leaves the last one to take back.
    if (!changed.empty())
        pasteUndo_ = std::move(changed);

    if (cutCount == 1)
        showMessage(QStringLiteral("1 value was too long for its cell and was cut: %1.").arg(firstCut));
    else if (cutCount > 1)
        showMessage(QStringLiteral("%1 values were too long for their cells and were cut; the first: %2.")
                        .arg(cutCount)
                        .arg(firstCut));
    return true;
}

bool frmChoose30::undoPasteRows()
{
    if (pasteUndo_.empty() || !pasteUndo_.front().first->isEnabled())
        return false;
    const auto undo = std::move(pasteUndo_);
    pasteUndo_.clear();
    pasting_ = true;
    for (auto it = undo.rbegin(); it != undo.rend(); ++it)
        it->first->setText(it->second);
    pasting_ = false;
    return true;
}

// Name, cost, points, games and the rate of every row: pasted back into row 1 of the same
// position it gives the same texts, and a spreadsheet takes it as it is.
void frmChoose30::copyRows(Position position)
{
    roster::CellBlock block;
    for (int r = 1; r <= roster::rowCount(position); ++r) {
        QStringList values;
        for (auto column : cellColumns)
            values << (row(position, r).*column)->text();
        block << values;
    }
    QGuiApplication::clipboard()->setText(roster::writeCellBlock(block));
}

QMenu *frmChoose30::cellMenu(QLineEdit *cell)
{
    QMenu *menu = cell->createStandardContextMenu();
    menu->addSeparator();
    QAction *paste = menu->addAction(QStringLiteral("Paste rows"));
    paste->setEnabled(cell->isEnabled() && !clipboardText().isEmpty() && placeOf(*this, cell));
    connect(paste, &QAction::triggered, this, [this, cell] { pasteRows(cell, clipboardText()); });
    if (const auto place = placeOf(*this, cell))
        connect(menu->addAction(QStringLiteral("Copy rows")), &QAction::triggered, this,
                [this, position = place->position] { copyRows(position); });
    return menu;
}

QMenu *frmChoose30::titleMenu(Position position)
{
    auto *menu = new QMenu(this);
    connect(menu->addAction(QStringLiteral("Copy rows")), &QAction::triggered, this,
            [this, position] { copyRows(position); });
    return menu;
}
