#pragma once
// How the include marks read for the search.

#include "grid.h"

namespace roster {

enum class RowMark { Held, Candidate, LeftOut };

// Unticked above the boundary: held in every team; ticked: a candidate; unticked below: left out.
RowMark rowMark(Position position, int row, bool ticked);

// The ticked rows of a position stay one unbroken run through the boundary under the anchor row,
// so that the held players are the first rows and the candidates one run after them.
// ticked(r) tells whether row r (1..lastRow) is ticked.
template <typename Ticked>
bool ticksFormOneRun(Position position, int lastRow, Ticked ticked)
{
    const int anchor = anchorRow(position);
    bool seen = false;
    for (int r = anchor; r >= 1; --r) {
        if (ticked(r) && seen && !ticked(r + 1))
            return false;
        seen = seen || ticked(r);
    }
    for (int r = anchor + 2; r <= lastRow; ++r)
        if (ticked(r) && !ticked(r - 1))
            return false;
    return true;
}

// After row `row` is ticked or unticked, tick(r, value) sets the other rows the run needs, in the
// order the window has always set them: unticking clears the rows beyond it away from the
// boundary, ticking fills the rows between it and the boundary.
template <typename Tick>
void keepOneRun(Position position, int row, bool ticked, int lastRow, Tick tick)
{
    const int anchor = anchorRow(position);
    if (!ticked) {
        if (row <= anchor) {
            for (int j = row - 1; j >= 1; --j)
                tick(j, false);
        } else {
            for (int j = row + 1; j <= lastRow; ++j)
                tick(j, false);
        }
    } else if (row <= anchor) {
        for (int j = anchor; j >= row + 1; --j)
            tick(j, true);
    } else {
        for (int j = row - 1; j >= anchor + 1; --j)
            tick(j, true);
    }
}

} // namespace roster
