#pragma once
// How the include marks read for the search.

#include "grid.h"

namespace roster {

enum class RowMark { Held, Candidate, LeftOut };

// Unticked above the boundary: held in every team; ticked: a candidate; unticked below: left out.
RowMark rowMark(Position position, int row, bool ticked);

} // namespace roster
