#include "enumeration.h"

#include "format.h"
#include "noopregion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

namespace search {

using roster::Position;

namespace {

// ---------------------------------------------------------------------------------------------
// The plain nested loops. Defence outermost, then Wingers, Centres and the Goalie; group sums
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
// all lines that would go in first and be trimmed away at once. Skipped teams are counted all the
// same, the Winger-pair yields and Stop come where the loops have them, and every team that can
// change the list is handed over by the loops' own sums, so the list, Examined at every line and
// the yields are the plain loops'.
//
// Why a skip is exact:
// - A team's cost and points only grow when one part grows: each addition rounds to nearest,
//   which keeps the order. With the Goalies sorted by cost, the teams of a (Defence, Wingers,
//   Centres) block inside the band are one run of them, found by two binary searches on the
//   loops' own expression, and their best and worst points are the loops' sums with the run's
//   best and worst Goalie: exact bounds, no margin.
// - A line that sorts before the first line F, with "Only Show Top 35" ticked, 35 lines and a
//   target the trim would leave as it is, goes in first and is trimmed at once: nothing changes.
//   Lines compare as (points text, cost text, rows), each row as its text ("1" < "10" < ... <
//   "19" < "2" < "20" < "3" ...), Centres first, then Wingers, Defence, Goalie. Within one sign
//   and count of whole digits the texts follow the values (reversed when negative), so against
//   F's texts every value falls below, tied or above, by two float thresholds per run
//   (TextClasses). A block is skipped when, over its bounds, every team above the target has
//   points below F's, or tied points with a cost below F's, or tied points and cost with rows
//   before F's.
// - For a (Defence, Wingers) block the Centre x Goalie completions are split by their Centres
//   against F's (before, the same, after), each part sorted by cost with range extremes of its
//   points, rebuilt only when F's Centres change. Their sums come in another order than a team's
//   own, so when they are not provably exact (whole multiples of one power of two within 24 bits)
//   they carry a margin of a millionth of the largest magnitude.
// - Every verdict rests on the target, F, the box, PtsLen and the list's length, which only a
//   listed team or a yield can change: after each, F is read again and the verdicts are made
//   again.
//
// The bound: a (Defence, Wingers) block costs a few binary searches over at most 2,850
// completions; a full roster has 2.2 million of them. A block is walked Centre by Centre, and a
// Centre block Goalie by Goalie, only when its bounds do not settle it: when it holds a team that
// changes the list (each listed line is paid once), when its rows equal F's, when its points or
// costs straddle the end of a run of texts (9.99 against 10.) or lie within the margin of a
// class's end, or when a cost is written with an exponent (whose texts follow no order). The
// families that make the plain loops crawl (every player alike, all points 0, points priced by
// cost, the best team exactly at the target, ties across 10, all points negative) run a full
// roster in well under a second (bench/README.md); a roster built against the run ends can still
// make whole blocks go by the plain loops, exactly and more slowly.

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

    void build(std::vector<std::pair<double, double>> items, bool sorted = false)
    {
        if (!sorted)
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
        if (!std::isfinite(g.cost))
            continue;
        e.minCost = std::min(e.minCost, g.cost);
        e.maxCost = std::max(e.maxCost, g.cost);
        e.minPts = std::min(e.minPts, double(g.pts));
    }
    return e;
}

// The next float up or down from a finite one.
float nextUp(float f)
{
    if (f == 0)
        return std::numeric_limits<float>::denorm_min();
    const auto u = std::bit_cast<std::uint32_t>(f);
    return std::bit_cast<float>(f > 0 ? u + 1 : u - 1);
}

float nextDown(float f) { return -nextUp(-f); }

float floatDown(double x)
{
    const float f = static_cast<float>(x);
    return double(f) > x && std::isfinite(f) ? nextDown(f) : f;
}

float floatUp(double x)
{
    const float f = static_cast<float>(x);
    return double(f) < x && std::isfinite(f) ? nextUp(f) : f;
}

// Sums of these values are exact, in any order and in single precision, when every value is a
// whole multiple of one power of two and the largest sum stays within 24 bits of it.
bool sumsAreExact(const std::vector<double> &values, double scale)
{
    int bits = 0;
    for (double v : values) {
        int k = 0;
        while (k <= 30 && std::ldexp(v, k) != std::nearbyint(std::ldexp(v, k)))
            ++k;
        if (k > 30)
            return false;
        bits = std::max(bits, k);
    }
    return std::ldexp(scale, bits) <= 16777216.0;
}

// How a team's rows compare with the first line's, as the list compares them.
enum class RowsOrder { Less, Equal, Greater };

RowsOrder compareRanks(const int *a, const int *b, int n)
{
    for (int i = 0; i < n; ++i)
        if (a[i] != b[i])
            return a[i] < b[i] ? RowsOrder::Less : RowsOrder::Greater;
    return RowsOrder::Equal;
}

class FastSearch {
public:
    FastSearch(const CandidateTables &tables, SearchState &state, SearchHost &host)
        : s(state),
          host(host),
          D(groupsOf(tables[Position::D], false)),
          W(groupsOf(tables[Position::W], true)),
          C(groupsOf(tables[Position::C], false)),
          G(groupsOf(tables[Position::G], false))
    {
        // Row numbers as the list orders them: "1" < "10" < ... < "19" < "2" < "20" < "3" ...
        std::vector<std::string> texts;
        for (int r = 0; r <= MaxRows; ++r)
            texts.push_back(std::to_string(r));
        for (int r = 0; r <= MaxRows; ++r)
            for (int q = 0; q <= MaxRows; ++q)
                rank[std::size_t(r)] += texts[std::size_t(q)] < texts[std::size_t(r)];

        // Goalies by cost, for the exact band window of a block.
        for (std::size_t i = 0; i < G.groups.size(); ++i)
            goaliesByCost.push_back(i);
        std::sort(goaliesByCost.begin(), goaliesByCost.end(),
                  [&](std::size_t a, std::size_t b) { return G.groups[a].cost < G.groups[b].cost; });
        {
            std::vector<double> pts;
            for (std::size_t i : goaliesByCost) {
                goalieCost.push_back(G.groups[i].cost);
                pts.push_back(G.groups[i].pts);
            }
            if (!pts.empty())
                goaliePts.build(pts);
        }

        // Centre pairs in the list's order of their rows.
        for (std::size_t i = 0; i < C.groups.size(); ++i)
            centresByRank.push_back(i);
        std::sort(centresByRank.begin(), centresByRank.end(), [&](std::size_t a, std::size_t b) {
            const auto ra = centreRanks(a), rb = centreRanks(b);
            return ra < rb;
        });
        centreRankPos.resize(C.groups.size());
        for (std::size_t p = 0; p < centresByRank.size(); ++p)
            centreRankPos[centresByRank[p]] = p;

        std::vector<std::pair<double, double>> cg, g;
        for (const Group &gg : G.groups)
            if (std::isfinite(gg.cost))
                g.emplace_back(gg.cost, gg.pts);
        for (const Group &cc : C.groups)
            for (const Group &gg : G.groups)
                if (std::isfinite(cc.cost + gg.cost))
                    cg.emplace_back(cc.cost + gg.cost, double(cc.pts) + double(gg.pts));
        goalies.build(g);
        centresAndGoalie.build(cg);
        for (std::size_t ci = 0; ci < C.groups.size(); ++ci)
            for (const Group &gg : G.groups)
                if (std::isfinite(C.groups[ci].cost + gg.cost))
                    completionsByCost.push_back(
                        {C.groups[ci].cost + gg.cost, double(C.groups[ci].pts) + double(gg.pts), centreRankPos[ci]});
        std::sort(completionsByCost.begin(), completionsByCost.end(), [](const Completion &a, const Completion &b) {
            return std::tie(a.cost, a.pts) < std::tie(b.cost, b.pts);
        });

        // Everything a Defence trio can be completed with: Wingers, Centres and a Goalie.
        Frontier wingers, rest;
        std::vector<std::pair<double, double>> w;
        for (const Group &ww : W.groups)
            if (std::isfinite(ww.cost))
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

        // The bounds of a block come from sums made in another order than the team's own. When
        // those sums are exact they are the team's sums; otherwise every sum is rounded a few
        // times on its way to single precision, and a millionth of the largest magnitude covers
        // all of it. A cost that no sum can hold (endless) leaves the band in every team.
        double costScale = 0, ptsScale = 0;
        std::vector<double> costs, points;
        for (const GroupList *list : {&D, &W, &C, &G}) {
            double c = 0, p = 0;
            for (const Group &gr : list->groups) {
                if (std::isfinite(gr.cost)) {
                    c = std::max(c, std::fabs(gr.cost));
                    costs.push_back(gr.cost);
                }
                p = std::max(p, std::fabs(double(gr.pts)));
                points.push_back(gr.pts);
            }
            costScale += c;
            ptsScale += p;
        }
        costMargin = sumsAreExact(costs, costScale) ? 0 : 1e-6 * costScale + 1e-30;
        ptsMargin = sumsAreExact(points, ptsScale) ? 0 : 1e-6 * ptsScale + 1e-30;
        boundsUsable = std::isfinite(costScale) && std::isfinite(ptsScale) && ptsScale < 1e37;
    }

    void PickDefence()
    {
        for (const Group &d : D.groups) {
            if (s.StopRequested)
                return;
            for (int k = 0; k < 3; ++k)
                rows[6 + std::size_t(k)] = d.rows[std::size_t(k)];
            PickWingers(d);
        }
    }

private:
    std::array<int, 2> centreRanks(std::size_t i) const
    {
        const auto &r = C.groups[i].rows;
        return {rank[std::size_t(r[0])], rank[std::size_t(r[1])]};
    }

    // A Defence trio that cannot list a team still goes through its Winger combinations, with
    // their yields and Stop as the plain loops have them, counting the teams in bulk. Whether it
    // can list rests on the target, the list and the Top 35 box, which the user may change at
    // any yield, and on the list after every team listed: it is decided again after each.
    void PickWingers(const Group &d)
    {
        const qint64 perWingers = qint64(C.groups.size()) * qint64(G.groups.size());
        bool cannotList = defenceCannotList(d);
        for (const Group &w : W.groups) {
            if (w.yieldsBefore > 0) {
                if (!yields(w.yieldsBefore))
                    return;
                cannotList = defenceCannotList(d);
            }
            if (s.StopRequested)
                return;
            if (cannotList) {
                s.Examined += perWingers;
                continue;
            }
            for (int k = 0; k < 4; ++k)
                rows[2 + std::size_t(k)] = w.rows[std::size_t(k)];
            const std::uint64_t before = hostCalls;
            PickCentres(d, w);
            if (hostCalls != before)
                cannotList = defenceCannotList(d);
        }
        yields(W.trailingYields);
    }

    bool yields(int count)
    {
        for (int i = 0; i < count; ++i) {
            if (s.StopRequested)
                return false;
            host.yieldToEvents();
            ++hostCalls;
        }
        return true;
    }

    // What the first line says now, when a team sorting before it changes nothing.
    bool readFirstLine()
    {
        const std::string_view line = host.noOpLine();
        if (line.empty())
            return false;
        if (line != first.line) {
            first.line = std::string(line);
            const auto a = first.line.find(" -- ");
            const auto b = first.line.find(" -- ", a + 4);
            const auto teamRows = rowsOfLine(first.line);
            if (a == std::string::npos || b == std::string::npos || !teamRows) {
                first.valid = false;
                return false;
            }
            first.valid = true;
            ptsClasses.setKey(first.line.substr(0, a));
            costClasses.setKey(first.line.substr(a + 4, b - a - 4));
            for (std::size_t i = 0; i < 10; ++i)
                first.ranks[i] = (*teamRows)[i] >= 0 && (*teamRows)[i] <= MaxRows ? rank[std::size_t((*teamRows)[i])] : -1;
            // Centre pairs before the first line's, in the list's order.
            const std::array<int, 2> fc{first.ranks[0], first.ranks[1]};
            first.centresBefore = std::size_t(
                std::lower_bound(centresByRank.begin(), centresByRank.end(), fc,
                                 [&](std::size_t i, const std::array<int, 2> &v) { return centreRanks(i) < v; })
                - centresByRank.begin());
            first.sameCentres = first.centresBefore < centresByRank.size()
                                && centreRanks(centresByRank[first.centresBefore]) == fc;
            first.parts = {};
        }
        return first.valid;
    }

    // True when no team whose points lie in [lo, hi] and whose cost lies in [costLo, costHi]
    // (all inside the band) changes the list: each is at or below the target or sorts before the
    // first line, its rows comparing as `order` says.
    bool inert(double lo, double hi, double costLo, double costHi, RowsOrder order)
    {
        if (hi <= double(s.Target))
            return true;
        if (!first.active)
            return false;
        const float a = std::max(floatDown(lo), nextUp(s.Target));
        const float b = floatUp(hi);
        if (!std::isfinite(a) || !std::isfinite(b))
            return false;
        const TextClass points = ptsClasses.highest(a, b);
        if (points == TextClass::Below)
            return true;
        if (points != TextClass::Tie || order == RowsOrder::Equal)
            return false;
        const float ca = std::max(floatDown(costLo), nextUp(float(s.MinSpend)));
        const float cb = std::min(floatUp(costHi), nextDown(float(s.CashLimit)));
        if (!std::isfinite(ca) || !std::isfinite(cb))
            return false;
        const TextClass cost = costClasses.highest(ca, cb);
        return cost == TextClass::Below || (cost == TextClass::Tie && order == RowsOrder::Less);
    }

    // The Centre pairs of one Winger combination, in their order, skipping those whose teams
    // cannot change the list. The verdicts rest on the first line and the target, so they are
    // made again whenever a team has been listed.
    void PickCentres(const Group &d, const Group &w)
    {
        const std::size_t nC = C.groups.size(), nG = G.groups.size();
        if (nC == 0 || nG == 0)
            return;
        const double costDW = d.cost + w.cost;
        if (!std::isfinite(costDW)) { // an endless cost: every team leaves the band
            s.Examined += qint64(nC * nG);
            return;
        }
        const double ptsDW = double(d.pts) + double(w.pts);
        std::size_t next = 0; // the next Centre pair, in the order of the loops
        while (next < nC) {
            const std::uint64_t calls = hostCalls;
            first.active = readFirstLine();
            Verdicts v = blockVerdicts(d, w, costDW, ptsDW);
            if (v.all) {
                s.Examined += qint64((nC - next) * nG);
                return;
            }
            bool redecide = false;
            for (; next < nC; ++next) {
                if (v.skips(centreRankPos[next])) {
                    s.Examined += qint64(nG);
                    continue;
                }
                const Group &c = C.groups[next];
                rows[0] = c.rows[0];
                rows[1] = c.rows[1];
                PickGoalieBlock(d, w, c);
                if (hostCalls != calls) {
                    ++next;
                    redecide = true;
                    break;
                }
            }
            if (!redecide)
                return;
        }
    }

    struct Verdicts {
        bool all = false;                    // no team of the block can change the list
        bool before = false, after = false;  // nor any with Centres before / after the first line's
        bool same = false;                   // nor any with the first line's Centres
        std::size_t split = 0, splitEnd = 0; // rank positions: before < split <= same < splitEnd <= after
        bool skips(std::size_t rankPos) const { return rankPos < split ? before : rankPos < splitEnd ? same : after; }
    };

    // Bounds over the completions of one (Defence, Wingers) block whose Centres lie in a range
    // of the list's order.
    struct Part {
        Completions table;
    };

    Part &partFor(std::size_t from, std::size_t to)
    {
        const auto key = std::make_pair(from, to);
        auto it = parts.find(key);
        if (it != parts.end())
            return it->second;

        Part &part = parts[key];
        std::vector<std::pair<double, double>> items;
        for (const Completion &c : completionsByCost)
            if (c.rankPos >= from && c.rankPos < to)
                items.emplace_back(c.cost, c.pts);
        part.table.build(std::move(items), true);
        return part;
    }

    // Bounds of the teams made of the fixed players (cost and points summed) and one completion
    // of `rest`, over those that the band may let through.
    struct Bounds {
        bool empty = true;
        double lo = 0, hi = 0, costLo = 0, costHi = 0;
    };

    Bounds boundsOf(const Completions &rest, double fixedCost, double fixedPts) const
    {
        Bounds out;
        if (rest.cost.empty())
            return out;
        const double below = double(s.MinSpend) - costMargin - fixedCost;
        const double above = double(s.CashLimit) + costMargin - fixedCost;
        const auto from = std::size_t(std::upper_bound(rest.cost.begin(), rest.cost.end(), below) - rest.cost.begin());
        const auto to = std::size_t(std::lower_bound(rest.cost.begin(), rest.cost.end(), above) - rest.cost.begin());
        if (from >= to)
            return out;
        out.empty = false;
        out.hi = fixedPts + rest.pts.max(from, to) + ptsMargin;
        out.lo = fixedPts + rest.pts.min(from, to) - ptsMargin;
        out.costLo = fixedCost + rest.cost[from] - costMargin;
        out.costHi = fixedCost + rest.cost[to - 1] + costMargin;
        return out;
    }

    bool partInert(const Bounds &b, RowsOrder order) { return b.empty || inert(b.lo, b.hi, b.costLo, b.costHi, order); }

    bool partInert(const Completions &rest, double fixedCost, double fixedPts, RowsOrder order)
    {
        return partInert(boundsOf(rest, fixedCost, fixedPts), order);
    }

    // True when the best points above the target tie with the first line's.
    bool tiedAtBest(const Bounds &b)
    {
        if (b.empty)
            return false;
        const float lo = std::max(floatDown(b.lo), nextUp(s.Target));
        const float hi = floatUp(b.hi);
        return std::isfinite(lo) && std::isfinite(hi) && ptsClasses.highest(lo, hi) == TextClass::Tie;
    }

    Verdicts blockVerdicts(const Group &d, const Group &w, double costDW, double ptsDW)
    {
        Verdicts v;
        const std::size_t nC = C.groups.size();
        v.split = v.splitEnd = nC;
        if (!boundsUsable)
            return v;
        if (!first.active) {
            v.all = partInert(centresAndGoalie, costDW, ptsDW, RowsOrder::Equal);
            return v;
        }
        // The Wingers' and Defence's rows against the first line's decide for its own Centres.
        std::array<int, 7> wd{};
        for (std::size_t i = 0; i < 4; ++i)
            wd[i] = rank[std::size_t(w.rows[i])];
        for (std::size_t i = 0; i < 3; ++i)
            wd[4 + i] = rank[std::size_t(d.rows[i])];
        // Points below the first line's, or tied with a cost below it, settle the whole block
        // whatever its rows.
        // While blocks keep tying with the first line, go straight to the parts.
        if (!lastBlockTied) {
            const Bounds whole = boundsOf(centresAndGoalie, costDW, ptsDW);
            v.all = partInert(whole, RowsOrder::Greater);
            if (v.all)
                return v;
            // Only tied points leave the rows to decide; otherwise the Centres go one by one.
            if (!tiedAtBest(whole))
                return v;
        }
        const RowsOrder sameOrder = compareRanks(wd.data(), first.ranks.data() + 2, 7);
        v.split = first.centresBefore;
        v.splitEnd = first.sameCentres ? v.split + 1 : v.split;
        if (!first.parts[0]) {
            if (parts.size() > 24) // first lines long gone
                parts.clear();
            first.parts[0] = &partFor(0, v.split).table;
            first.parts[1] = &partFor(v.splitEnd, nC).table;
            first.parts[2] = &partFor(v.split, v.splitEnd).table;
        }
        v.before = partInert(*first.parts[0], costDW, ptsDW, RowsOrder::Less);
        v.after = partInert(*first.parts[1], costDW, ptsDW, RowsOrder::Greater);
        v.same = v.splitEnd == v.split || partInert(*first.parts[2], costDW, ptsDW, sameOrder);
        v.all = v.before && v.after && v.same;
        lastBlockTied = v.all;
        return v;
    }

    // One (Defence, Wingers, Centres) block: the Goalies by cost give the exact band window, and
    // team points only grow with the Goalie's (each rounding to nearest keeps the order), so the
    // window's best and worst teams bound the rest exactly.
    void PickGoalieBlock(const Group &d, const Group &w, const Group &c)
    {
        const std::size_t nG = G.groups.size();
        const double partial = (c.cost + w.cost) + d.cost;
        if (!std::isfinite(partial)) { // an endless cost: every team leaves the band
            s.Examined += qint64(nG);
            return;
        }
        const float partialPts = (c.pts + w.pts) + d.pts;
        const auto costAt = [&](std::size_t i) { return static_cast<float>(partial + goalieCost[i]); };
        const auto lo = std::size_t(std::partition_point(goaliesByCost.begin(), goaliesByCost.end(),
                                                         [&](std::size_t i) {
                                                             return !(static_cast<float>(partial + G.groups[i].cost)
                                                                      > static_cast<float>(s.MinSpend));
                                                         })
                                    - goaliesByCost.begin());
        const auto hi = std::size_t(std::partition_point(goaliesByCost.begin(), goaliesByCost.end(),
                                                         [&](std::size_t i) {
                                                             return static_cast<float>(partial + G.groups[i].cost)
                                                                    < static_cast<float>(s.CashLimit);
                                                         })
                                    - goaliesByCost.begin());
        if (lo >= hi) {
            s.Examined += qint64(nG);
            return;
        }
        if (std::isfinite(partialPts)) {
            const float best = partialPts + float(goaliePts.max(lo, hi));
            const float worst = partialPts + float(goaliePts.min(lo, hi));
            if (std::isfinite(best) && std::isfinite(worst)) {
                if (best <= s.Target) {
                    s.Examined += qint64(nG);
                    return;
                }
                RowsOrder order = RowsOrder::Equal;
                if (first.active) {
                    std::array<int, 9> cwd{};
                    for (std::size_t i = 0; i < 2; ++i)
                        cwd[i] = rank[std::size_t(c.rows[i])];
                    for (std::size_t i = 0; i < 4; ++i)
                        cwd[2 + i] = rank[std::size_t(w.rows[i])];
                    for (std::size_t i = 0; i < 3; ++i)
                        cwd[6 + i] = rank[std::size_t(d.rows[i])];
                    order = compareRanks(cwd.data(), first.ranks.data(), 9);
                }
                if (inert(worst, best, costAt(lo), costAt(hi - 1), order)) {
                    s.Examined += qint64(nG);
                    return;
                }
            }
        }
        PickGoalie(d, w, c);
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
            if (TeamPts > s.Target) {
                host.listTeam(TeamPts, TeamCost, rows);
                ++hostCalls;
            }
        }
    }

    // True when no team with this Defence trio can change the list.
    bool defenceCannotList(const Group &d)
    {
        if (!boundsUsable)
            return false;
        if (!std::isfinite(d.cost))
            return true;
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

    SearchState &s;
    SearchHost &host;
    GroupList D, W, C, G;
    std::array<int, MaxRows + 1> rank{};
    std::vector<std::size_t> goaliesByCost;
    std::vector<double> goalieCost;
    RangeTable goaliePts;
    std::vector<std::size_t> centresByRank, centreRankPos;
    std::map<std::pair<std::size_t, std::size_t>, Part> parts;
    struct Completion {
        double cost, pts;
        std::size_t rankPos; // of its Centres
    };
    std::vector<Completion> completionsByCost;
    Completions goalies, centresAndGoalie;
    Frontier afterDefence;
    Extent afterDefenceExtent;
    double costMargin = 0, ptsMargin = 0;
    bool boundsUsable = false;
    NoOpRegion noOps;
    TextClasses ptsClasses{pointsText, pointsTextShape};
    TextClasses costClasses{costText, costTextShape};
    struct FirstLine {
        std::string line;
        bool valid = false, active = false;
        std::array<int, 10> ranks{};
        std::size_t centresBefore = 0;
        bool sameCentres = false;
        std::array<const Completions *, 3> parts{}; // Centres before, after and the same as F's
    } first;
    bool lastBlockTied = false;
    std::uint64_t hostCalls = 0; // every call that may change the list, the target or the box
    TeamRows rows{};
};

} // namespace

void PickDefenceReference(const CandidateTables &tables, SearchState &state, SearchHost &host)
{
    ReferenceSearch(tables, state, host).PickDefence();
}

void PickDefence(const CandidateTables &tables, SearchState &state, SearchHost &host)
{
    FastSearch(tables, state, host).PickDefence();
}

} // namespace search
