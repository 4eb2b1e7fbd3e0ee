// SPDX-License-Identifier: MIT
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
#include <QLocale>
#include <QMenu>
#include <QMimeData>

#include <utility>

using roster::Position;

namespace {

// The text cells of a row, left to right, as a block of rows fills them.
constexpr QLineEdit *frmChoose30::RowControls::*CellColumns[] = {
    &frmChoose30::RowControls::N, &frmChoose30::RowControls::C,  &frmChoose30::RowControls::P,
    &frmChoose30::RowControls::W, &frmChoose30::RowControls::PW,
};
constexpr int RateColumn = 4;
const char *const ColumnNames[] = {"name", "cost", "points", "games"};

QString captionOf(Position p) { return QString::fromLatin1(roster::caption(p)); }

struct CellPlace {
    Position position;
    int row;
    int column; // 0 name, 1 cost, 2 points, 3 games
};

std::optional<CellPlace> placeOf(frmChoose30 &window, const QLineEdit *cell)
{
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            for (int c = 0; c < RateColumn; ++c)
                if (window.row(p, r).*CellColumns[c] == cell)
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
    constexpr int Shown = 40;
    return u'"' + (value.size() > Shown ? value.left(Shown) + QStringLiteral("...") : value) + u'"';
}

// The clipboard's plain text as the bytes the other program gave, never decoded here: a clipboard
// far larger than the roster is refused by its size before it becomes text.
QByteArray clipboardBytes()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return {};
    for (const QString &format : {QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("text/plain")})
        if (data->hasFormat(format))
            return data->data(format);
    return data->hasText() ? data->text().toUtf8() : QByteArray();
}

bool clipboardHasText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

// The first character no roster cell may hold: a NUL or another control character, a line break
// of a cell of several lines among them. -1 when there is none. A tab inside a quoted value is
// kept: a name loaded from players.txt may hold one, and "Copy rows" writes it so.
qsizetype forbiddenCharacter(const QString &value)
{
    for (qsizetype i = 0; i < value.size(); ++i)
        if (value[i].category() == QChar::Other_Control && value[i] != u'\t')
            return i;
    return -1;
}

QString forbiddenCharacterText(const QString &value, qsizetype at)
{
    const QChar c = value[at];
    if (c == u'\n' || c == u'\r')
        return QStringLiteral("a line break (a cell of several lines), which no roster cell can hold");
    return QStringLiteral("the control character U+%1, which no roster cell can hold")
        .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
}

QString cellName(const CellPlace &place)
{
    return QStringLiteral("%1 row %2 %3")
        .arg(captionOf(place.position), QString::number(place.row), QString::fromLatin1(ColumnNames[place.column]));
}

QString refusal(const CellPlace &place, const QString &value, qsizetype at)
{
    return QStringLiteral("Nothing was pasted: the value for %1 holds %2, %3.")
        .arg(cellName(place), forbiddenCharacterText(value, at),
             at == 0 ? QStringLiteral("at its start") : QStringLiteral("after ") + quoted(value.left(at)));
}

QString megabytes(qsizetype bytes)
{
    return QLocale(QLocale::English).toString(double(bytes) / (1 << 20), 'f', 1) + QStringLiteral(" MB");
}

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
        const QByteArray bytes = clipboardBytes();
        if (bytes.size() > roster::MaxBlockBytes) { // refused by its size, never decoded
            window_->pasteRows(cell, bytes);
            return true;
        }
        // One value on one line, or one spreadsheet cell (its value without the line end): the
        // cell pastes it at the cursor, as any text box does. The text is let go before a block is
        // read again, so that a large clipboard is never held as text twice.
        std::optional<QString> single;
        {
            const QString text = roster::decodeClipboard(bytes);
            if (!text.contains(u'\t') && !text.contains(u'\n') && !text.contains(u'\r')) {
                single = text;
            } else {
                roster::CellBlockRead one = roster::readCellBlock(text, roster::BlockColumn::Name, 1, 1);
                if (one.rowCount == 1 && one.columnCount == 1)
                    single = std::move(one.rows[0][0]);
            }
        }
        if (!single) {
            window_->pasteRows(cell, bytes);
        } else if (const qsizetype at = forbiddenCharacter(*single); at >= 0) {
            if (const auto place = placeOf(*window_, cell))
                window_->showMessage(refusal(*place, *single, at));
        } else {
            cell->insert(*single);
        }
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
            for (int c = 0; c < RateColumn; ++c) {
                QLineEdit *cell = row(p, r).*CellColumns[c];
                cell->installEventFilter(keys);
                // Any other change to the roster ends what one Ctrl+Z can take back.
                connect(cell, &QLineEdit::textChanged, this, [this] {
                    if (!pasting_)
                        pasteUndo_.clear();
                });
            }
        for (QLabel *title : frame(p)->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
            if (title->text() != captionOf(p))
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
// Nothing is pasted unless every value can go in: a block too large, too tall or too wide, or
// with a character no cell may hold, is refused whole with a message.
bool frmChoose30::pasteRows(QLineEdit *cell, const QByteArray &clipboardBytes)
{
    const auto place = placeOf(*this, cell);
    if (!place || !cell->isEnabled())
        return false;

    const qsizetype rowsFit = roster::rowCount(place->position) - place->row + 1;
    const qsizetype columnsFit = RateColumn + 1 - place->column;
    QStringList fitting;
    for (int c = place->column; c < RateColumn; ++c)
        fitting << QString::fromLatin1(ColumnNames[c]);
    const QString fit = QStringLiteral("from the %1 cell of %2 row %3 only %4 and %5 fit (%6, and the points for "
                                       "the week, which are worked out and never pasted)")
                            .arg(QString::fromLatin1(ColumnNames[place->column]), captionOf(place->position),
                                 QString::number(place->row), counted(rowsFit, "row", "rows"),
                                 counted(columnsFit, "column", "columns"), fitting.join(QStringLiteral(", ")));
    // Decoding and splitting take several times the clipboard's size: one that cannot fit is
    // refused by its size alone.
    if (clipboardBytes.size() > roster::MaxBlockBytes) {
        showMessage(QStringLiteral("Nothing was pasted: the clipboard holds %1 of text, more than the roster can "
                                   "take; %2, of at most %3 characters each.")
                        .arg(megabytes(clipboardBytes.size()), fit, QLocale(QLocale::English).toString(roster::TextWidth)));
        return false;
    }
    const roster::CellBlockRead read = roster::readCellBlock(roster::decodeClipboard(clipboardBytes),
                                                             roster::BlockColumn(place->column), rowsFit, columnsFit);
    const roster::CellBlock &block = read.rows;
    if (block.isEmpty())
        return false;

    if (read.rowCount > rowsFit || read.columnCount > columnsFit) {
        showMessage(QStringLiteral("Nothing was pasted: the clipboard holds %1 and %2, but %3.")
                        .arg(counted(read.rowCount, "row", "rows"), counted(read.columnCount, "column", "columns"), fit));
        return false;
    }
    for (qsizetype i = 0; i < block.size(); ++i)
        for (qsizetype j = 0; j < block[i].size(); ++j) {
            const int column = place->column + int(j);
            if (column == RateColumn)
                continue;
            if (const qsizetype at = forbiddenCharacter(block[i][j]); at >= 0) {
                showMessage(refusal(CellPlace{place->position, place->row + int(i), column}, block[i][j], at));
                return false;
            }
        }

    std::vector<std::pair<QLineEdit *, QString>> changed;
    int cutCount = 0;
    int emptied = 0;
    QString firstCut;
    pasting_ = true;
    for (qsizetype i = 0; i < block.size(); ++i)
        for (qsizetype j = 0; j < block[i].size(); ++j) {
            const int column = place->column + int(j);
            if (column == RateColumn)
                continue;
            const int r = place->row + int(i);
            QLineEdit *target = row(place->position, r).*CellColumns[column];
            const QString before = target->text();
            const QString &value = block[i][j];
            target->setText(value);
            if (column == 0)
                target->setCursorPosition(0);
            if (target->text() != value && cutCount++ == 0)
                firstCut = QStringLiteral("%1 in %2 became %3")
                               .arg(quoted(value), cellName(CellPlace{place->position, r, column}), quoted(target->text()));
            if (target->text() != before) {
                changed.emplace_back(target, before);
                if (target->text().isEmpty())
                    ++emptied;
            }
        }
    pasting_ = false;
    // A paste that changed nothing leaves the last one to take back.
    if (!changed.empty())
        pasteUndo_ = std::move(changed);

    QStringList told;
    if (read.decimalCommas > 0)
        told << QStringLiteral("The block writes decimals with a comma: %1 read with a decimal point (1,5 as 1.5).")
                    .arg(read.decimalCommas == 1 ? QStringLiteral("1 number was")
                                                 : QStringLiteral("%1 numbers were").arg(read.decimalCommas));
    if (cutCount == 1)
        told << QStringLiteral("1 value was too long for its cell and was cut: %1.").arg(firstCut);
    else if (cutCount > 1)
        told << QStringLiteral("%1 values were too long for their cells and were cut; the first: %2.")
                    .arg(cutCount)
                    .arg(firstCut);
    if (emptied > 0)
        told << QStringLiteral("The paste emptied %1 that held a value; Ctrl+Z puts %2 back.")
                    .arg(counted(emptied, "cell", "cells"), QString::fromLatin1(emptied == 1 ? "it" : "them"));
    if (!told.isEmpty())
        showMessage(told.join(u' '));
    return true;
}

bool frmChoose30::undoPasteRows()
{
    if (pasteUndo_.empty() || !pasteUndo_.front().first->isEnabled())
        return false;
    const auto undo = std::exchange(pasteUndo_, {});
    pasting_ = true;
    for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
        it->first->setText(it->second);
        it->first->setCursorPosition(0); // a name shows its beginning, as after loading
    }
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
        for (auto column : CellColumns)
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
    paste->setEnabled(cell->isEnabled() && clipboardHasText() && placeOf(*this, cell));
    connect(paste, &QAction::triggered, this, [this, cell] { pasteRows(cell, clipboardBytes()); });
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
