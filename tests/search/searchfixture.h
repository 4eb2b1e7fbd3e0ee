#pragma once
// Rosters for the search tests, built from row texts as the window would hand them over.

#include "candidates.h"
#include "enumeration.h"
#include "format.h"
#include "resultlist.h"

namespace fixture {

using roster::Position;

// Every row of every position, empty and unticked.
inline search::RosterInput rosterOf(search::Mode mode)
{
    search::RosterInput input;
    input.mode = mode;
    for (Position p : roster::AllPositions)
        input.rows[roster::index(p)].resize(static_cast<std::size_t>(roster::rowCount(p)));
    return input;
}

inline void tickRows(search::RosterInput &input, Position p, int from, int to)
{
    auto &rows = input.rows[roster::index(p)];
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r)
        rows[static_cast<std::size_t>(r - 1)].ticked = r >= from && r <= to;
}

} // namespace fixture
