// SPDX-License-Identifier: MIT
// The roster rows of the main window: the points-for-the-week column, the minimum percentage,
// the include boxes with their colours, and the row buttons that exchange two players.
#include "frmchoose30.h"

#include "format.h"
#include "numbers.h"
#include "rates.h"
#include "resultlistbox.h"
#include "selection.h"
#include "toolkit.h"

#include <QCheckBox>
#include <QColor>
#include <QCursor>
#include <QLineEdit>
#include <QPalette>
#include <algorithm>

using roster::Position;

namespace {

// Only the active and inactive groups are coloured: a field disabled during a search keeps the
// toolkit's greyed text.
void setTextColour(QLineEdit *field, const QColor &colour)
{
    QPalette palette = field->palette();
    if (palette.color(QPalette::Active, QPalette::Text) == colour
        && palette.color(QPalette::Inactive, QPalette::Text) == colour)
        return;
    palette.setColor(QPalette::Active, QPalette::Text, colour);
    palette.setColor(QPalette::Inactive, QPalette::Text, colour);
    field->setPalette(palette);
}

// Blue for held, black for candidates, red for rows left out.
QColor markColour(roster::RowMark mark)
{
    switch (mark) {
    case roster::RowMark::Held: return QColor(0, 0, 255);
    case roster::RowMark::Candidate: return QColor(0, 0, 0);
    case roster::RowMark::LeftOut: return QColor(255, 0, 0);
    }
    return QColor(0, 0, 0);
}

} // namespace

// The number of rows the window's loops visit in a position: NumCW for Centres and Wingers,
// NumDG for Defence and Goalies, never beyond the rows the window holds.
int frmChoose30::lastRow(Position position) const
{
    const int count = (position == Position::C || position == Position::W) ? NumCW : NumDG;
    return std::clamp(count, 0, roster::rowCount(position));
}

// ---- rate column

void frmChoose30::recalcRate(Position position, int r)
{
    RowControls &cells = row(position, r);
    // The rate field's width of 5 cuts the product, with no rounding: 1232766 shows as 12327.
    cells.PW->setText(roster::rateText(cells.P->text(), cells.W->text()));
}

void frmChoose30::RecalcRates()
{
    const int cw = lastRow(Position::C);
    for (int r = 1; r <= cw; ++r) {
        recalcRate(Position::C, r);
        recalcRate(Position::W, r);
    }
    const int dg = lastRow(Position::D);
    for (int r = 1; r <= dg; ++r) {
        recalcRate(Position::D, r);
        recalcRate(Position::G, r);
    }
}

// A points change recomputes the whole column, whichever row it came from; the row is not used.
void frmChoose30::CP_Change(int) { RecalcRates(); }
void frmChoose30::WP_Change(int) { RecalcRates(); }
void frmChoose30::DP_Change(int) { RecalcRates(); }
void frmChoose30::GP_Change(int) { RecalcRates(); }

void frmChoose30::CW_Change(int r) { recalcRate(Position::C, r); }
void frmChoose30::WW_Change(int r) { recalcRate(Position::W, r); }
void frmChoose30::DW_Change(int r) { recalcRate(Position::D, r); }
void frmChoose30::GW_Change(int r) { recalcRate(Position::G, r); }

void frmChoose30::txtPerc_Change()
{
    const QString text = txtPerc->text();
    if (const auto percent = roster::IsNumericText(text) ? roster::toSingle(text) : std::nullopt) {
        MinPerc = *percent;
        setTextColour(txtPerc, QColor(0, 0, 0));
        return;
    }
    // Not a number: the search falls back to the default while the field stays red.
    MinPerc = DefaultMinPerc;
    setTextColour(txtPerc, QColor(255, 0, 0));
    toolkit::beep();
}

// ---- row selection

void frmChoose30::chkC_Click(int r) { selectionClick(Position::C, r); }
void frmChoose30::chkW_Click(int r) { selectionClick(Position::W, r); }
void frmChoose30::chkD_Click(int r) { selectionClick(Position::D, r); }
void frmChoose30::chkG_Click(int r) { selectionClick(Position::G, r); }

// The ticked rows of a position stay one unbroken run through the boundary under the anchor row,
// so that the held players are the first rows and the candidates one run after them. Every box
// changed here runs this handling again at once (the box's toggled signal), nested, only when
// its value really changes; the nested runs may set rows the outer loop reaches later, which it
// then finds already set.
void frmChoose30::selectionClick(Position position, int k)
{
    const int last = lastRow(position);
    if (k < 1 || k > last)
        return;
    roster::keepOneRun(position, k, row(position, k).chk->isChecked(), last,
                       [&](int r, bool ticked) { row(position, r).chk->setChecked(ticked); });
    markRows(position);
}

// Held rows blue, candidates black, rows left out red; the games and rate cells keep their colour.
void frmChoose30::markRows(Position position)
{
    const int last = lastRow(position);
    for (int r = 1; r <= last; ++r) {
        RowControls &cells = row(position, r);
        const QColor colour = markColour(roster::rowMark(position, r, cells.chk->isChecked()));
        setTextColour(cells.N, colour);
        setTextColour(cells.C, colour);
        setTextColour(cells.P, colour);
    }
}

// ---- the selected team on the roster

namespace {

// A light tint behind the name, cost and points: the blue, red and black of the row marks stay
// readable on it.
const QColor TeamTint(255, 236, 150);
const QString InSelectedTeam = QStringLiteral("in the selected team");

void setTeamTint(QLineEdit *cell, const QBrush &base, bool marked)
{
    QPalette palette = cell->palette();
    palette.setBrush(QPalette::Base, marked ? QBrush(TeamTint) : base);
    cell->setPalette(palette);
    cell->setAccessibleDescription(marked ? InSelectedTeam : QString());
}

} // namespace

// The marks show the team as the rows stand when the line is chosen: any change to a text or a
// tick of the roster may make them wrong, so it takes the selection and the marks away.
void frmChoose30::connectTeamMarks()
{
    connect(List1, &ResultListBox::selectedLineChanged, this, [this](const QString &line) { markTeam(line); });
    const auto rosterChanged = [this] {
        if (List1->selectionModel()->hasSelection())
            List1->clearSelection();
        clearTeamMarks();
    };
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            RowControls &cells = row(p, r);
            for (QLineEdit *cell : cells.editableFields())
                connect(cell, &QLineEdit::textChanged, this, rosterChanged);
            connect(cells.chk, &QCheckBox::toggled, this, rosterChanged);
        }
}

void frmChoose30::clearTeamMarks()
{
    const QBrush base = palette().brush(QPalette::Base);
    for (const auto &[p, r] : teamMarks_) {
        RowControls &cells = row(p, r);
        for (QLineEdit *cell : {cells.N, cells.C, cells.P})
            setTeamTint(cell, base, false);
    }
    teamMarks_.clear();
}

void frmChoose30::markTeam(const QString &line)
{
    clearTeamMarks();
    const auto rows = search::rowsOfLine(line.toStdString());
    if (!rows)
        return;
    const QBrush base = palette().brush(QPalette::Base);
    search::forEachPlayer(*rows, [&](Position p, int r) {
        if (r < 1 || r > roster::rowCount(p) || isTeamMarked(p, r))
            return;
        RowControls &cells = row(p, r);
        for (QLineEdit *cell : {cells.N, cells.C, cells.P})
            setTeamTint(cell, base, true);
        teamMarks_.emplace_back(p, r);
    });
}

bool frmChoose30::isTeamMarked(Position position, int r) const
{
    return std::find(teamMarks_.begin(), teamMarks_.end(), std::pair(position, r)) != teamMarks_.end();
}

// ---- row move

void frmChoose30::cmdCM_Click(int r) { rowMoveClick(Position::C, r); }
void frmChoose30::cmdWM_Click(int r) { rowMoveClick(Position::W, r); }
void frmChoose30::cmdDM_Click(int r) { rowMoveClick(Position::D, r); }
void frmChoose30::cmdGM_Click(int r) { rowMoveClick(Position::G, r); }

// The window's pointer is the pending move: the sizing arrow while a row is picked. The pick is a
// bare row number, so a second click exchanges within the position clicked second.
void frmChoose30::rowMoveClick(Position position, int k)
{
    const Qt::CursorShape pointer = cursor().shape();
    if (pointer == Qt::ArrowCursor) {
        setCursor(Qt::SizeVerCursor);
        PendingMoveRow = static_cast<qint16>(k);
        return;
    }
    if (pointer != Qt::SizeVerCursor)
        return;

    const int last = lastRow(position);
    const int p = PendingMoveRow;
    // A Centres or Wingers row beyond 15 picked first names no row of Defence or Goalies: the
    // move ends without touching either position.
    if (p >= 1 && p <= last && k >= 1 && k <= last) {
        RowControls &from = row(position, p);
        RowControls &to = row(position, k);
        // Each assignment runs the field's change handling, so both rates follow the players.
        const auto fromFields = from.editableFields(), toFields = to.editableFields();
        for (std::size_t i = 0; i < fromFields.size(); ++i) {
            const QString held = fromFields[i]->text();
            fromFields[i]->setText(toFields[i]->text());
            toFields[i]->setText(held);
        }
    }
    unsetCursor();
}
