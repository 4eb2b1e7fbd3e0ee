// SPDX-License-Identifier: MIT
#pragma once
// The team search: every combination of 3 Defence, then 4 Wingers, then 2 Centres, then 1 Goalie,
// each team counted, tested against the spending band and the target, and handed on when it passes.

#include "candidates.h"

#include <QtGlobal>
#include <array>

namespace search {

// The fields one search shares with the handlers that run nested inside it.
struct SearchState {
    qint16 CashLimit = 0; // the money plus one
    qint16 MinSpend = 0;
    float Target = 0; // raised by the Top 35 trim while the search runs
    qint64 Examined = 0;
    bool StopRequested = false;
};

// The rows of a team's ten players: C1 C2, W1 W2 W3 W4, D1 D2 D3, G1.
using TeamRows = std::array<int, 10>;

// Where one position's players stand among a team's ten rows: the Centres first, then the
// Wingers, the Defence and the Goalie, each position as many as it puts in a team.
struct TeamSlots {
    std::size_t first, count;
};
constexpr TeamSlots teamSlots(roster::Position p)
{
    std::size_t first = 0;
    for (roster::Position q : roster::AllPositions) {
        if (q == p)
            break;
        first += std::size_t(teamShare(q));
    }
    return {first, std::size_t(teamShare(p))};
}
// Calls f(position, row) for each of a team's ten players, position by position.
template <class F>
void forEachPlayer(const TeamRows &rows, F &&f)
{
    for (roster::Position p : roster::AllPositions) {
        const TeamSlots seats = teamSlots(p);
        for (std::size_t i = seats.first; i < seats.first + seats.count; ++i)
            f(p, rows[i]);
    }
}
// The team row of the k-th player (from 0) of position p.
constexpr std::size_t teamSlot(roster::Position p, int k) { return teamSlots(p).first + std::size_t(k); }

class SearchHost {
public:
    virtual ~SearchHost() = default;
    // A team inside the band with more points than the target: list it, yield once, and trim
    // when the list is held to 35 lines. May change Target and StopRequested.
    virtual void listTeam(float teamPts, float teamCost, const TeamRows &rows) = 0;
    // Once per pair of the first two Winger rows.
    virtual void yieldToEvents() = 0;
};

// The literal nested loops: the definition of the result.
void pickDefenceReference(const CandidateTables &tables, SearchState &state, SearchHost &host);

// The production search: the same teams listed in the same order with the same sums, skipping
// whole blocks of teams that provably cannot be listed (counted into Examined all the same). The
// target must never fall while it runs, as the result list's rules ensure.
void PickDefence(const CandidateTables &tables, SearchState &state, SearchHost &host);

} // namespace search
