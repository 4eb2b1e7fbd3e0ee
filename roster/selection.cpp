#include "roster/selection.h"

namespace roster {

RowMark rowMark(Position position, int row, bool ticked)
{
    if (ticked)
        return RowMark::Candidate;
    return row <= anchorRow(position) ? RowMark::Held : RowMark::LeftOut;
}

QColor markColour(RowMark mark)
{
    switch (mark) {
    case RowMark::Held: return QColor(0, 0, 255);
    case RowMark::Candidate: return QColor(0, 0, 0);
    case RowMark::LeftOut: return QColor(255, 0, 0);
    }
    return QColor(0, 0, 0);
}

} // namespace roster
