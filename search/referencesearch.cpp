#include "enumeration.h"

namespace search {

using roster::Position;

namespace {

// The plain nested loops: the definition of the result. Defence outermost, then Wingers, Centres and the Goalie; group sums
// once per combination at the level that completes the group.

class ReferenceSearch {
public:
    ReferenceSearch(const CandidateTables &tables, SearchState &state, SearchHost &host)
        : D(tables[Position::D]),
          W(tables[Position::W]),
          C(tables[Position::C]),
          G(tables[Position::G]),
          s(state),
          host(host)
    {}

    void PickDefence()
    {
        levelLoop(D.levels[0], 0, [&](int D1) {
            if (s.StopRequested)
                return false;
            rows[teamSlot(Position::D, 0)] = D1;
            levelLoop(D.levels[1], D1, [&](int D2) {
                if (s.StopRequested)
                    return false;
                rows[teamSlot(Position::D, 1)] = D2;
                levelLoop(D.levels[2], D2, [&](int D3) {
                    if (s.StopRequested)
                        return false;
                    rows[teamSlot(Position::D, 2)] = D3;
                    DCostSum = D.firstCost[D1] + D.cost[D2] + D.cost[D3];
                    DPtsSum = D.pts[D1] + D.pts[D2] + D.pts[D3];
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
        levelLoop(W.levels[0], 0, [&](int W1) {
            if (s.StopRequested)
                return false;
            rows[teamSlot(Position::W, 0)] = W1;
            levelLoop(W.levels[1], W1, [&](int W2) {
                if (s.StopRequested)
                    return false;
                rows[teamSlot(Position::W, 1)] = W2;
                host.yieldToEvents();
                levelLoop(W.levels[2], W2, [&](int W3) {
                    if (s.StopRequested)
                        return false;
                    rows[teamSlot(Position::W, 2)] = W3;
                    levelLoop(W.levels[3], W3, [&](int W4) {
                        if (s.StopRequested)
                            return false;
                        rows[teamSlot(Position::W, 3)] = W4;
                        WCostSum = W.firstCost[W1] + W.cost[W2] + W.cost[W3] + W.cost[W4];
                        WPtsSum = W.pts[W1] + W.pts[W2] + W.pts[W3] + W.pts[W4];
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
        levelLoop(C.levels[0], 0, [&](int C1) {
            rows[teamSlot(Position::C, 0)] = C1;
            levelLoop(C.levels[1], C1, [&](int C2) {
                rows[teamSlot(Position::C, 1)] = C2;
                CCostSum = C.firstCost[C1] + C.cost[C2];
                CPtsSum = C.pts[C1] + C.pts[C2];
                PickGoalie();
                return true;
            });
            return true;
        });
    }

    void PickGoalie()
    {
        levelLoop(G.levels[0], 0, [&](int G1) {
            rows[teamSlot(Position::G, 0)] = G1;
            ++s.Examined;
            const float TeamCost = static_cast<float>(((CCostSum + WCostSum) + DCostSum) + G.firstCost[G1]);
            if (!(TeamCost < static_cast<float>(s.CashLimit)) || !(TeamCost > static_cast<float>(s.MinSpend)))
                return true;
            const float TeamPts = ((CPtsSum + WPtsSum) + DPtsSum) + G.pts[G1];
            if (TeamPts > s.Target)
                host.listTeam(TeamPts, TeamCost, rows);
            return true;
        });
    }

    const PositionTable &D, &W, &C, &G;
    SearchState &s;
    SearchHost &host;
    TeamRows rows{};
    double DCostSum = 0, WCostSum = 0, CCostSum = 0;
    float DPtsSum = 0, WPtsSum = 0, CPtsSum = 0;
};

} // namespace

void PickDefenceReference(const CandidateTables &tables, SearchState &state, SearchHost &host)
{
    ReferenceSearch(tables, state, host).PickDefence();
}

} // namespace search
