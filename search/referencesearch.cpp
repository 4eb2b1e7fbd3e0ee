// SPDX-License-Identifier: MIT
#include "enumeration.h"

namespace search {

using roster::Position;

namespace {

// The plain nested loops: the definition of the result. Defence outermost, then Wingers, Centres and the Goalie; group sums
// once per combination at the level that completes the group.

class ReferenceSearch {
public:
    ReferenceSearch(const CandidateTables &tables, SearchState &state, SearchHost &host)
        : defence_(tables[Position::D]),
          wingers_(tables[Position::W]),
          centres_(tables[Position::C]),
          goalies_(tables[Position::G]),
          state_(state),
          host_(host)
    {}

    void PickDefence()
    {
        levelLoop(defence_.levels[0], 0, [&](int d1) {
            if (state_.StopRequested)
                return false;
            rows_[teamSlot(Position::D, 0)] = d1;
            levelLoop(defence_.levels[1], d1, [&](int d2) {
                if (state_.StopRequested)
                    return false;
                rows_[teamSlot(Position::D, 1)] = d2;
                levelLoop(defence_.levels[2], d2, [&](int d3) {
                    if (state_.StopRequested)
                        return false;
                    rows_[teamSlot(Position::D, 2)] = d3;
                    dCostSum_ = defence_.firstCost[d1] + defence_.cost[d2] + defence_.cost[d3];
                    dPtsSum_ = defence_.pts[d1] + defence_.pts[d2] + defence_.pts[d3];
                    PickWingers();
                    return true;
                });
                return true;
            });
            return true;
        });
    }

private:
    void PickWingers()
    {
        levelLoop(wingers_.levels[0], 0, [&](int w1) {
            if (state_.StopRequested)
                return false;
            rows_[teamSlot(Position::W, 0)] = w1;
            levelLoop(wingers_.levels[1], w1, [&](int w2) {
                if (state_.StopRequested)
                    return false;
                rows_[teamSlot(Position::W, 1)] = w2;
                host_.yieldToEvents();
                levelLoop(wingers_.levels[2], w2, [&](int w3) {
                    if (state_.StopRequested)
                        return false;
                    rows_[teamSlot(Position::W, 2)] = w3;
                    levelLoop(wingers_.levels[3], w3, [&](int w4) {
                        if (state_.StopRequested)
                            return false;
                        rows_[teamSlot(Position::W, 3)] = w4;
                        wCostSum_ = wingers_.firstCost[w1] + wingers_.cost[w2] + wingers_.cost[w3] + wingers_.cost[w4];
                        wPtsSum_ = wingers_.pts[w1] + wingers_.pts[w2] + wingers_.pts[w3] + wingers_.pts[w4];
                        PickCentres();
                        return true;
                    });
                    return true;
                });
                return true;
            });
            return true;
        });
    }

    // Once begun, the Centre and Goalie loops run to their ends, even after Stop.
    void PickCentres()
    {
        levelLoop(centres_.levels[0], 0, [&](int c1) {
            rows_[teamSlot(Position::C, 0)] = c1;
            levelLoop(centres_.levels[1], c1, [&](int c2) {
                rows_[teamSlot(Position::C, 1)] = c2;
                cCostSum_ = centres_.firstCost[c1] + centres_.cost[c2];
                cPtsSum_ = centres_.pts[c1] + centres_.pts[c2];
                PickGoalie();
                return true;
            });
            return true;
        });
    }

    void PickGoalie()
    {
        levelLoop(goalies_.levels[0], 0, [&](int g1) {
            rows_[teamSlot(Position::G, 0)] = g1;
            ++state_.Examined;
            const float TeamCost = static_cast<float>(((cCostSum_ + wCostSum_) + dCostSum_) + goalies_.firstCost[g1]);
            if (!(TeamCost < static_cast<float>(state_.CashLimit)) || !(TeamCost > static_cast<float>(state_.MinSpend)))
                return true;
            const float TeamPts = ((cPtsSum_ + wPtsSum_) + dPtsSum_) + goalies_.pts[g1];
            if (TeamPts > state_.Target)
                host_.listTeam(TeamPts, TeamCost, rows_);
            return true;
        });
    }

    const PositionTable &defence_, &wingers_, &centres_, &goalies_;
    SearchState &state_;
    SearchHost &host_;
    TeamRows rows_{};
    double dCostSum_ = 0, wCostSum_ = 0, cCostSum_ = 0;
    float dPtsSum_ = 0, wPtsSum_ = 0, cPtsSum_ = 0;
};

} // namespace

void pickDefenceReference(const CandidateTables &tables, SearchState &state, SearchHost &host)
{
    ReferenceSearch(tables, state, host).PickDefence();
}

} // namespace search
