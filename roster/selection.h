#pragma once
// How the include marks read for the search, and the colour each row shows.

#include "roster/grid.h"

#include <QColor>

namespace roster {

enum class RowMark { Held, Candidate, LeftOut };

// Unticked above the boundary: held in every team; ticked: a candidate; unticked below: left out.
RowMark rowMark(Position position, int row, bool ticked);

// Blue for held, black for candidates, red for rows left out.
QColor markColour(RowMark mark);

} // namespace roster
