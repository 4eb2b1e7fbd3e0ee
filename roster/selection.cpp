// SPDX-License-Identifier: MIT
#include "selection.h"

namespace roster {

RowMark rowMark(Position position, int row, bool ticked)
{
    if (ticked)
        return RowMark::Candidate;
    return row <= anchorRow(position) ? RowMark::Held : RowMark::LeftOut;
}

} // namespace roster
