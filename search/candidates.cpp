// SPDX-License-Identifier: MIT
#include "candidates.h"

#include "numbers.h"

#include <cmath>

namespace search {

using roster::Position;

namespace {

// A cost that cannot be read counts 0: the search carries on rather than stopping on one bad
// cell. A number too large for any double counts as an endless cost of its sign.
double numberCost(const QString &text)
{
    if (!roster::IsNumericText(text))
        return 0;
    if (const auto value = roster::toDouble(text))
        return *value;
    return text.trimmed().startsWith(QLatin1Char('-')) ? -HUGE_VAL : HUGE_VAL;
}

// A group's first cost, rounded to a whole number. One with no 16-bit whole number (9E99) counts
// its full value, as the group's other costs do: a team holding it costs what it really costs,
// never nothing.
double wholeCost(const QString &text)
{
    if (!roster::IsNumericText(text))
        return 0;
    if (const auto whole = roster::toInt16(text))
        return *whole;
    return numberCost(text);
}

float points(const QString &text)
{
    if (!roster::IsNumericText(text))
        return 0;
    return roster::toSingle(text).value_or(0);
}

void fillPosition(PositionTable &table, Position position, const std::vector<RowInput> &rows, Mode mode)
{
    const int count = roster::rowCount(position);
    const int m = teamShare(position);
    table = PositionTable{};
    table.share = m;
    auto ticked = [&](int r) { return r - 1 < static_cast<int>(rows.size()) && rows[r - 1].ticked; };

    for (int r = 1; r <= count && r - 1 < static_cast<int>(rows.size()); ++r) {
        const RowInput &row = rows[r - 1];
        table.firstCost[r] = wholeCost(row.cost);
        // A goalie's cost is always a whole number: there is only one goalie in a team.
        table.cost[r] = position == Position::G ? table.firstCost[r] : numberCost(row.cost);
        table.pts[r] = points(mode == Mode::PointsPerGame ? row.points : row.rate);
    }

    // Last is one less than the lowest unticked row after the team's share, scanning down.
    table.last = count;
    for (int r = count; r > m; --r)
        if (!ticked(r))
            table.last = r - 1;

    for (int k = 1; k <= m; ++k) {
        LevelRange &level = table.levels[k - 1];
        level.from = k;
        level.to = ticked(k) ? table.last - (m - k) : k; // an unticked upper row is held
        if (!ticked(k))
            table.held = k;
    }
}

} // namespace

CandidateTables buildCandidates(const RosterInput &input)
{
    CandidateTables tables;
    for (Position p : roster::AllPositions)
        fillPosition(tables[p], p, input.rows[roster::index(p)], input.mode);
    return tables;
}

namespace {

double factorial(int n) { return n <= 0 ? 1.0 : n * factorial(n - 1); }

double nCr(int n, int r) { return factorial(n) / (factorial(r) * factorial(n - r)); }

} // namespace

double exactTeamCount(const CandidateTables &tables)
{
    double count = 1;
    for (Position p : roster::AllPositions) {
        const PositionTable &t = tables[p];
        count *= nCr(t.last - t.held, t.share - t.held);
    }
    return count;
}

} // namespace search
