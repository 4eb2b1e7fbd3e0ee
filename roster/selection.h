// SPDX-License-Identifier: MIT
#pragma once
// How the include marks read for the search.

#include "grid.h"

namespace roster {

enum class RowMark { Held, Candidate, LeftOut };

// Unticked above the boundary: held in every team; ticked: a candidate; unticked below: left out.
RowMark rowMark(Position position, int row, bool ticked);

// After row `row` is ticked or unticked, tick(r, value) sets the other rows the run needs, so that
// the ticked rows stay one unbroken run through the boundary under the anchor row: unticking
// clears the rows beyond it away from the boundary, ticking fills the rows between it and the
// boundary. Each tick runs the selection handling of its row, so the order is part of the rule.
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
