// SPDX-License-Identifier: MIT
#pragma once
// The candidate tables: what the enumeration reads of the roster. Built before every search from
// the cost, points (or rate) texts and the include marks; the enumeration never looks at a control.

#include "grid.h"

#include <QString>
#include <array>
#include <vector>

namespace search {

inline constexpr int MaxRows = roster::NumCW;

// The players a team takes from each position: 2 Centres, 4 Wingers, 3 Defence, 1 Goalie.
constexpr int teamShare(roster::Position p) { return roster::anchorRow(p); }

struct LevelRange {
    int from = 1;
    int to = 0;
};

// One level's loop. The row runs upward from the start of its range; a row that is not past the
// enclosing level's row of the same position is pushed to just past it, and the end test is made
// only when the row is advanced, so a pushed row still gets its one pass. The body returns false
// to leave the loop.
template <class Body>
void levelLoop(const LevelRange &range, int outer, Body &&body)
{
    int row = range.from;
    if (row > range.to)
        return;
    do {
        if (row <= outer)
            row = outer + 1;
        if (!body(row))
            return;
    } while (++row <= range.to);
}

// One position's table, indexed by row number from 1 (element 0 is unused).
struct PositionTable {
    int share = 0; // m: players of this position in a team
    int last = 0;  // LastC ... LastG: rows 1..last are the candidate rows
    int held = 0;  // p: rows 1..held are in every team
    // A group's first cost is rounded to a whole number, the others are taken as they stand:
    // saved rosters rely on it. A cost that cannot be read counts 0 either way; a first cost
    // with no 16-bit whole number counts as it stands.
    std::array<double, MaxRows + 1> firstCost{};
    std::array<double, MaxRows + 1> cost{};
    std::array<float, MaxRows + 1> pts{};
    std::array<LevelRange, 4> levels{}; // levels 1..share at indexes 0..share-1
};

struct CandidateTables {
    std::array<PositionTable, 4> pos{}; // C, W, D, G

    const PositionTable &operator[](roster::Position p) const { return pos[roster::index(p)]; }
    PositionTable &operator[](roster::Position p) { return pos[roster::index(p)]; }
};

enum class Mode { PointsPerGame, PointsPerWeek };

// What BuildCandidates reads of one row.
struct RowInput {
    QString cost;
    QString points; // XP
    QString rate;   // XPW
    bool ticked = false;
};

struct RosterInput {
    Mode mode = Mode::PointsPerWeek;
    std::array<std::vector<RowInput>, 4> rows; // rows[position][row - 1]
};

CandidateTables buildCandidates(const RosterInput &input);

// The exact number of teams the enumeration visits (the product of the four position factors).
double exactTeamCount(const CandidateTables &tables);

} // namespace search
