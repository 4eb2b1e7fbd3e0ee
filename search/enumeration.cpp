#include "enumeration.h"

#include "noopregion.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace search {

using roster::Position;

namespace {

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

// ---------------------------------------------------------------------------------------------
// The plain nested loops. Defence outermost, then Wingers, Centres and the Goalie; group sums
// once per combination at the level that completes the group.

class ReferenceSearch {
public:
    ReferenceSearch(const CandidateTables &tables, SearchState &state, SearchHost &host)
        : D(tables[Position::D]), W(tables[Position::W]), C(tables[Position::C]), G(tables[Position::G])
        , s(state), host(host)
    {
    }

    void PickDefence()
    {
        levelLoop(D.levels[0], 0, [&](int D1) {
            if (s.StopRequested)
                return false;
            rows[6] = D1;
            levelLoop(D.levels[1], D1, [&](int D2) {
                if (s.StopRequested)
                    return false;
                rows[7] = D2;
                levelLoop(D.levels[2], D2, [&](int D3) {
                    if (s.StopRequested)
                        return false;
                    rows[8] = D3;
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
            rows[2] = W1;
            levelLoop(W.levels[1], W1, [&](int W2) {
                if (s.StopRequested)
                    return false;
                rows[3] = W2;
                host.yieldToEvents();
                levelLoop(W.levels[2], W2, [&](int W3) {
                    if (s.StopRequested)
                        return false;
                    rows[4] = W3;
                    levelLoop(W.levels[3], W3, [&](int W4) {
                        if (s.StopRequested)
                            return false;
                        rows[5] = W4;
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
            rows[0] = C1;
            levelLoop(C.levels[1], C1, [&](int C2) {
                rows[1] = C2;
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
            rows[9] = G1;
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

// ---------------------------------------------------------------------------------------------
// The production search. Each position's loops do not depend on the other positions, so each
// position's combinations are listed once, in the order and with the sums the nested loops give;
// the search then walks Defence x Wingers x Centres x Goalie and skips every block of teams that
// provably cannot change the list: all outside the spending band, all at or below the target, or
// all lines that would go in first and be trimmed away at once.

struct Group {
    std::array<int, 4> rows{};
    double cost = 0;
    float pts = 0;
    int yieldsBefore = 0; // Winger pair yields due before this combination
};

struct GroupList {
    std::vector<Group> groups;
    int trailingYields = 0;
};

GroupList groupsOf(const PositionTable &t, bool pairYields)
{
    GroupList out;
    const int m = t.share;
    std::array<int, 4> r{};
    int pendingYields = 0;
    auto add = [&] {
        Group g;
        g.rows = r;
        g.cost = t.firstCost[r[0]];
        g.pts = t.pts[r[0]];
        for (int k = 1; k < m; ++k) {
            g.cost = g.cost + t.cost[r[k]];
            g.pts = g.pts + t.pts[r[k]];
        }
        g.yieldsBefore = pendingYields;
        pendingYields = 0;
        out.groups.push_back(g);
    };
    auto level = [&](auto &self, int k, int outer) -> void {
        levelLoop(t.levels[k], outer, [&](int row) {
            r[k] = row;
            if (pairYields && k == 1)
                ++pendingYields;
            if (k + 1 == m)
                add();
            else
                self(self, k + 1, row);
            return true;
        });
    };
    level(level, 0, 0);
    out.trailingYields = pendingYields;
    return out;
}

// Range minimum and maximum over a fixed array, in constant time.
class RangeTable {
public:
    void build(const std::vector<double> &values)
    {
        const std::size_t n = values.size();
        lo_.assign(1, values);
        hi_.assign(1, values);
        for (std::size_t width = 1; 2 * width <= n; width *= 2) {
            const auto &plo = lo_.back();
            const auto &phi = hi_.back();
            std::vector<double> nlo(n - 2 * width + 1), nhi(n - 2 * width + 1);
            for (std::size_t i = 0; i + 2 * width <= n; ++i) {
                nlo[i] = std::min(plo[i], plo[i + width]);
                nhi[i] = std::max(phi[i], phi[i + width]);
            }
            lo_.push_back(std::move(nlo));
            hi_.push_back(std::move(nhi));
        }
    }
    // Over [from, to), which must not be empty.
    double min(std::size_t from, std::size_t to) const { return query(lo_, from, to, false); }
    double max(std::size_t from, std::size_t to) const { return query(hi_, from, to, true); }

private:
    static double query(const std::vector<std::vector<double>> &t, std::size_t from, std::size_t to, bool high)
    {
        std::size_t level = 0;
        while ((std::size_t{2} << level) <= to - from)
            ++level;
        const double a = t[level][from];
        const double b = t[level][to - (std::size_t{1} << level)];
        return high ? std::max(a, b) : std::min(a, b);
    }
    std::vector<std::vector<double>> lo_, hi_;
};

// Teams of one block differ only in the players not yet fixed. Their sorted costs and the range
// tables of their points bound every team of the block that the spending band lets through.
struct Completions {
    std::vector<double> cost; // ascending
    std::vector<double> ptsByCost;
    RangeTable pts;

    void build(std::vector<std::pair<double, double>> items)
    {
        std::sort(items.begin(), items.end());
        cost.clear();
        ptsByCost.clear();
        if (items.empty())
            return;
        for (const auto &[c, p] : items) {
            cost.push_back(c);
            ptsByCost.push_back(p);
        }
        pts.build(ptsByCost);
    }
};

// The most points that any completion costing less than a budget can add. Only completions that
// no cheaper one beats on points matter, so two such lists combine pair by pair.
struct Frontier {
    std::vector<double> cost; // ascending
    std::vector<double> best; // the most points of any completion costing cost[i] or less

    void build(std::vector<std::pair<double, double>> items)
    {
        std::sort(items.begin(), items.end());
        cost.clear();
        best.clear();
        for (const auto &[c, p] : items) {
            if (!best.empty() && p <= best.back())
                continue;
            if (!cost.empty() && cost.back() == c)
                best.back() = p;
            else {
                cost.push_back(c);
                best.push_back(p);
            }
        }
    }

    std::vector<std::pair<double, double>> points() const
    {
        std::vector<std::pair<double, double>> out;
        for (std::size_t i = 0; i < cost.size(); ++i)
            out.emplace_back(cost[i], best[i]);
        return out;
    }

    // None when no completion costs less than `budget`.
    std::optional<double> bestBelow(double budget) const
    {
        const auto n = std::lower_bound(cost.begin(), cost.end(), budget) - cost.begin();
        if (n == 0)
            return std::nullopt;
        return best[std::size_t(n - 1)];
    }
};

struct Extent {
    double minCost = 0, maxCost = 0, minPts = 0;
};

Extent extentOf(const std::vector<Group> &groups)
{
    Extent e{HUGE_VAL, -HUGE_VAL, HUGE_VAL};
    for (const Group &g : groups) {
        e.minCost = std::min(e.minCost, g.cost);
        e.maxCost = std::max(e.maxCost, g.cost);
        e.minPts = std::min(e.minPts, double(g.pts));
    }
    return e;
}

class FastSearch {
public:
    FastSearch(const CandidateTables &tables, SearchState &state, SearchHost &host)
        : s(state), host(host)
        , D(groupsOf(tables[Position::D], false)), W(groupsOf(tables[Position::W], true))
        , C(groupsOf(tables[Position::C], false)), G(groupsOf(tables[Position::G], false))
    {
        std::vector<std::pair<double, double>> cg, g;
        for (const Group &gg : G.groups)
            g.emplace_back(gg.cost, gg.pts);
        for (const Group &cc : C.groups)
            for (const Group &gg : G.groups)
                cg.emplace_back(cc.cost + gg.cost, double(cc.pts) + double(gg.pts));
        goalies.build(g);
        centresAndGoalie.build(cg);

        // Everything a Defence trio can be completed with: Wingers, Centres and a Goalie.
        Frontier wingers, rest;
        std::vector<std::pair<double, double>> w;
        for (const Group &ww : W.groups)
            w.emplace_back(ww.cost, ww.pts);
        wingers.build(w);
        rest.build(cg);
        std::vector<std::pair<double, double>> wcg;
        for (const auto &[wc, wp] : wingers.points())
            for (const auto &[rc, rp] : rest.points())
                wcg.emplace_back(wc + rc, wp + rp);
        afterDefence.build(wcg);
        const Extent ew = extentOf(W.groups), ec = extentOf(C.groups), eg = extentOf(G.groups);
        afterDefenceExtent = {ew.minCost + ec.minCost + eg.minCost, ew.maxCost + ec.maxCost + eg.maxCost,
                              ew.minPts + ec.minPts + eg.minPts};

        // Every sum is rounded a few times on its way to single precision; a margin of a
        // millionth of the largest possible magnitude covers all of it.
        double costScale = 0, ptsScale = 0;
        for (const GroupList *list : {&D, &W, &C, &G}) {
            double c = 0, p = 0;
            for (const Group &gr : list->groups) {
                c = std::max(c, std::fabs(gr.cost));
                p = std::max(p, std::fabs(double(gr.pts)));
            }
            costScale += c;
            ptsScale += p;
        }
        costMargin = 1e-6 * costScale + 1e-30;
        ptsMargin = 1e-6 * ptsScale + 1e-30;
        // Beyond this the margins would not be worth their name: leave it to the plain loops.
        usable = std::isfinite(costScale) && std::isfinite(ptsScale) && costScale < 1e9 && ptsScale < 1e9;
    }

    bool usable = false;

    void PickDefence()
    {
        for (const Group &d : D.groups) {
            if (s.StopRequested)
                return;
            for (int k = 0; k < 3; ++k)
                rows[6 + std::size_t(k)] = d.rows[std::size_t(k)];
            PickWingers(d, defenceCannotList(d));
        }
    }

private:
    // A Defence trio that cannot list a team still goes through its Winger combinations, with
    // their yields and Stop as the plain loops have them, counting the teams in bulk.
    void PickWingers(const Group &d, bool cannotList)
    {
        const qint64 perWingers = qint64(C.groups.size()) * qint64(G.groups.size());
        for (const Group &w : W.groups) {
            if (!yields(w.yieldsBefore))
                return;
            if (s.StopRequested)
                return;
            if (cannotList) {
                s.Examined += perWingers;
                continue;
            }
            for (int k = 0; k < 4; ++k)
                rows[2 + std::size_t(k)] = w.rows[std::size_t(k)];
            PickCentres(d, w);
        }
        yields(W.trailingYields);
    }

    bool yields(int count)
    {
        for (int i = 0; i < count; ++i) {
            if (s.StopRequested)
                return false;
            host.yieldToEvents();
        }
        return true;
    }

    void PickCentres(const Group &d, const Group &w)
    {
        const double costDW = d.cost + w.cost;
        const double ptsDW = double(d.pts) + double(w.pts);
        const qint64 teams = qint64(C.groups.size()) * qint64(G.groups.size());
        if (teams == 0)
            return;
        if (blockCannotList(centresAndGoalie, costDW, ptsDW)) {
            s.Examined += teams;
            return;
        }
        for (const Group &c : C.groups) {
            rows[0] = c.rows[0];
            rows[1] = c.rows[1];
            const double costDWC = costDW + c.cost;
            const double ptsDWC = ptsDW + double(c.pts);
            if (blockCannotList(goalies, costDWC, ptsDWC)) {
                s.Examined += qint64(G.groups.size());
                continue;
            }
            PickGoalie(d, w, c);
        }
    }

    // The same sums, in the same order, as the plain loops.
    void PickGoalie(const Group &d, const Group &w, const Group &c)
    {
        for (const Group &g : G.groups) {
            rows[9] = g.rows[0];
            ++s.Examined;
            const float TeamCost = static_cast<float>(((c.cost + w.cost) + d.cost) + g.cost);
            if (!(TeamCost < static_cast<float>(s.CashLimit)) || !(TeamCost > static_cast<float>(s.MinSpend)))
                continue;
            const float TeamPts = ((c.pts + w.pts) + d.pts) + g.pts;
            if (TeamPts > s.Target)
                host.listTeam(TeamPts, TeamCost, rows);
        }
    }

    // True when no team with this Defence trio can change the list.
    bool defenceCannotList(const Group &d)
    {
        const Extent &e = afterDefenceExtent;
        if (d.cost + e.minCost >= double(s.CashLimit) + costMargin || d.cost + e.maxCost <= double(s.MinSpend) - costMargin)
            return true;
        const auto best = afterDefence.bestBelow(double(s.CashLimit) + costMargin - d.cost);
        if (!best)
            return true;
        const double hi = double(d.pts) + *best + ptsMargin;
        if (hi <= double(s.Target))
            return true;
        const std::string_view key = host.noOpKey();
        if (key.empty())
            return false;
        const double lo = std::max(double(d.pts) + e.minPts - ptsMargin, double(s.Target));
        return noOps.covers(key, lo, hi);
    }

    // True when no team of the block, made of the fixed players (their cost and points summed)
    // and one of `rest`, can change the list.
    bool blockCannotList(const Completions &rest, double fixedCost, double fixedPts)
    {
        // Teams whose cost lies outside (MinSpend, CashLimit) for certain take no part.
        const double below = double(s.MinSpend) - costMargin - fixedCost;
        const double above = double(s.CashLimit) + costMargin - fixedCost;
        const auto from = std::size_t(std::upper_bound(rest.cost.begin(), rest.cost.end(), below) - rest.cost.begin());
        const auto to = std::size_t(std::lower_bound(rest.cost.begin(), rest.cost.end(), above) - rest.cost.begin());
        if (from >= to)
            return true;
        const double hi = fixedPts + rest.pts.max(from, to) + ptsMargin;
        if (hi <= double(s.Target))
            return true;
        const std::string_view key = host.noOpKey();
        if (key.empty())
            return false;
        const double lo = std::max(fixedPts + rest.pts.min(from, to) - ptsMargin, double(s.Target));
        return noOps.covers(key, lo, hi);
    }

    SearchState &s;
    SearchHost &host;
    GroupList D, W, C, G;
    Completions goalies, centresAndGoalie;
    Frontier afterDefence;
    Extent afterDefenceExtent;
    double costMargin = 0, ptsMargin = 0;
    NoOpRegion noOps;
    TeamRows rows{};
};

} // namespace

void PickDefenceReference(const CandidateTables &tables, SearchState &state, SearchHost &host)
{
    ReferenceSearch(tables, state, host).PickDefence();
}

void PickDefence(const CandidateTables &tables, SearchState &state, SearchHost &host)
{
    FastSearch fast(tables, state, host);
    if (fast.usable)
        fast.PickDefence();
    else
        PickDefenceReference(tables, state, host);
}

} // namespace search
