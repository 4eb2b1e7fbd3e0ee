// SPDX-License-Identifier: MIT
// The production search: the teams of the plain nested loops, listed in the same order with the
// same sums, skipping every block of teams that provably holds none the list would take.
//
// What is bounded. Each position's combinations are listed once, in the loops' order and with
// the loops' sums (groups.h); the search walks Defence x Wingers x Centres x Goalie. For a block
// of teams that share their first positions, an upper bound on the points of its teams inside
// the spending band: for one Defence trio, over every Winger, Centre and Goalie choice; for one
// (Defence, Wingers) block, over its Centre-and-Goalie completions, whose costs sorted in classes
// give the band as one run each (bounds.h); for one (Defence, Wingers, Centres) block, over its
// Goalies, exactly, since a team's cost and points grow with the Goalie's and the Goalies sorted
// by cost give the band's run by the loops' own expression.
//
// Why skipping is exact. A team is listed only when its cost is inside the band and its points
// exceed the target. The target never falls during a search: it is raised only to the points of
// the weakest kept line, and every kept line beat the target of its time. So a block whose bound
// is at or below the target now holds no team that is listed, now or later, whatever the user
// clicks: its teams are counted into Examined at once and nothing else happens, exactly as in the
// loops. The Winger-pair yields and Stop come where the loops have them, and each bound is
// checked again after every yield and every listed team, the only moments the target can change.
//
// Why the work is small. A bound is never below the best team it covers, and exceeds it by at most
// the rounding margin (bounds.h). So a block is walked only when it holds a team that beats the
// target, which is listed unless a team of the same block listed before it raised the target, or
// when its best team lies within the margin above the target. The walk of a (Defence, Wingers)
// block costs one Goalie check per Centre pair (two binary searches over 15 Goalies), and a block
// is checked again after each line it lists, so the work is (Defence trios x Winger combinations)
// bound checks of a few binary searches each, plus about (lines that enter the list + blocks within
// a margin of the target) x (Centre pairs), plus building the tables once. The margin is 0 when the
// roster's values make every sum exact; otherwise a few parts in 10^7 of the team's own magnitude,
// and a second bound in the loops' own single-precision order (the best Centre pair and the best
// Goalie of the band, added as a team adds them) settles blocks of equal teams exactly.

#include "bounds.h"
#include "enumeration.h"
#include "groups.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace search {

using roster::Position;

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// A value a team can never be listed with (a NaN sum is never above the target) counts as -inf.
double rankable(double v) { return std::isnan(v) ? -Infinity : v; }

class FastSearch {
public:
    FastSearch(const CandidateTables &tables, SearchState &state, SearchHost &host)
        : state_(state),
          host_(host),
          defence_(groupsOf(tables[Position::D], false)),
          wingers_(groupsOf(tables[Position::W], true)),
          centres_(groupsOf(tables[Position::C], false)),
          goalies_(groupsOf(tables[Position::G], false))
    {
        decideExactness();
        prepareGoalies();
        prepareCompletions();
        prepareDefenceBound();
    }

    void PickDefence()
    {
        for (const Group &d : defence_) {
            if (state_.StopRequested)
                return;
            place(Position::D, d);
            PickWingers(d);
        }
    }

private:
    // A group's rows into the team's rows of its position.
    void place(Position p, const Group &g)
    {
        const TeamSlots seats = teamSlots(p);
        std::copy_n(g.rows.begin(), seats.count, rows_.begin() + std::ptrdiff_t(seats.first));
    }

    // Sums are exact in any order when every value is a whole multiple of one power of two and
    // the largest sum fits the precision; the band's limits take part in the cost sums.
    void decideExactness()
    {
        std::vector<double> costs, points;
        double costScale = 32768, ptsScale = 0;
        for (const std::vector<Group> *list : {&defence_, &wingers_, &centres_, &goalies_}) {
            double c = 0, p = 0;
            for (const Group &g : *list) {
                costs.push_back(g.cost);
                points.push_back(g.pts);
                c = std::max(c, std::fabs(g.cost));
                p = std::max(p, std::fabs(double(g.pts)));
            }
            costScale += c;
            ptsScale += p;
        }
        costsExact_ = sumsAreExact(costs, costScale, 53);
        pointsExact_ = sumsAreExact(points, ptsScale, 24);
    }

    double costMargin(double magnitude) const { return search::costMargin(magnitude, costsExact_); }
    double pointsKey(float a, int aRoundings, float b, int bRoundings) const
    {
        return pointsUpperKey(a, aRoundings, b, bRoundings, pointsExact_);
    }

    void prepareGoalies()
    {
        for (std::size_t i = 0; i < goalies_.size(); ++i)
            goaliesByCost_.push_back(i);
        std::stable_sort(goaliesByCost_.begin(), goaliesByCost_.end(),
                         [&](std::size_t a, std::size_t b) { return goalies_[a].cost < goalies_[b].cost; });
        std::vector<double> pts;
        for (std::size_t i : goaliesByCost_)
            pts.push_back(rankable(goalies_[i].pts));
        if (!pts.empty())
            goaliePts_.build(pts);
    }

    void prepareCompletions()
    {
        std::vector<CompletionTable::Item> items;
        items.reserve(centres_.size() * goalies_.size());
        for (const Group &c : centres_)
            for (const Group &g : goalies_)
                items.push_back({c.cost + g.cost, std::fabs(c.cost) + std::fabs(g.cost), pointsKey(c.pts, 3, g.pts, 1),
                                 float(rankable(c.pts)), float(rankable(g.pts))});
        centresAndGoalie_.build(items, costsExact_);
    }

    // Everything a Defence trio can be completed with: Wingers, Centres and a Goalie, as pairs of
    // (a cost no completion's team cost can be below, the most points it can add).
    void prepareDefenceBound()
    {
        std::vector<std::pair<double, double>> w, cg;
        double wHigh = -Infinity, cgHigh = -Infinity;
        for (const Group &g : wingers_) {
            const double mag = std::fabs(g.cost);
            w.emplace_back(g.cost - costMargin(mag), pointsKey(g.pts, 3, 0, 0));
            wHigh = std::max(wHigh, g.cost + costMargin(mag));
        }
        for (const Group &c : centres_)
            for (const Group &g : goalies_) {
                const double mag = std::fabs(c.cost) + std::fabs(g.cost);
                cg.emplace_back((c.cost + g.cost) - costMargin(mag), pointsKey(c.pts, 3, g.pts, 1));
                cgHigh = std::max(cgHigh, (c.cost + g.cost) + costMargin(mag));
            }
        mostCostAfterDefence_ = wHigh + cgHigh;
        Frontier wf, cgf;
        wf.build(std::move(w));
        cgf.build(std::move(cg));
        // Each list keeps only the completions no cheaper one beats; on a usual roster a few dozen.
        if (double(wf.points().size()) * double(cgf.points().size()) > 4e6)
            return;
        std::vector<std::pair<double, double>> all;
        for (const auto &[wc, wp] : wf.points())
            for (const auto &[cc, cp] : cgf.points())
                all.emplace_back(wc + cc, wp + cp);
        afterDefence_.build(std::move(all));
        defenceBound_ = true;
    }

    // A team's points are a float: at or below the target when below the next float above it.
    bool atOrBelowTarget(double bound) const
    {
        return bound < double(std::nextafter(state_.Target, std::numeric_limits<float>::infinity()));
    }

    // True when no team with this Defence trio can be listed.
    bool defenceCannotList(const Group &d) const
    {
        if (!defenceBound_)
            return false;
        const double mag = std::fabs(d.cost);
        if (d.cost + costMargin(mag) + mostCostAfterDefence_ <= double(state_.MinSpend))
            return true;
        const auto best = afterDefence_.bestBelow(double(state_.CashLimit) - d.cost + costMargin(mag));
        if (!best)
            return true;
        return atOrBelowTarget(*best + pointsKey(d.pts, 2, 0, 0));
    }

    // A Defence trio that cannot list a team still goes through its Winger combinations, with
    // their yields and Stop as the plain loops have them, counting the teams in bulk.
    void PickWingers(const Group &d)
    {
        const qint64 perWingers = qint64(centres_.size()) * qint64(goalies_.size());
        bool cannotList = defenceCannotList(d);
        for (const Group &w : wingers_) {
            if (w.yieldsBefore > 0) {
                if (!yields(w.yieldsBefore))
                    return;
                cannotList = defenceCannotList(d);
            }
            if (state_.StopRequested)
                return;
            if (cannotList) {
                state_.Examined += perWingers;
                continue;
            }
            place(Position::W, w);
            const std::uint64_t before = hostCalls_;
            PickCentres(d, w);
            if (hostCalls_ != before)
                cannotList = defenceCannotList(d);
        }
    }

    bool yields(int count)
    {
        for (int i = 0; i < count; ++i) {
            if (state_.StopRequested)
                return false;
            host_.yieldToEvents();
            ++hostCalls_;
        }
        return true;
    }

    // True when no team of the (Defence, Wingers) block can be listed: none of its completions
    // is inside the band, or the best of them is at or below the target by either bound.
    bool blockCannotList(const Group &d, const Group &w) const
    {
        const double fixedCost = d.cost + w.cost;
        const auto best = centresAndGoalie_.bestInBand(fixedCost, std::fabs(d.cost) + std::fabs(w.cost),
                                                       double(state_.MinSpend), double(state_.CashLimit));
        if (!best)
            return true;
        const float inLoopOrder = ((best->first + w.pts) + d.pts) + best->second;
        return atOrBelowTarget(best->ptsKey + pointsKey(w.pts, 3, d.pts, 2)) || inLoopOrder <= state_.Target;
    }

    // Once begun, the Centre and Goalie loops run to their ends, even after Stop, as the plain
    // loops do.
    void PickCentres(const Group &d, const Group &w)
    {
        const std::size_t nC = centres_.size(), nG = goalies_.size();
        if (nC == 0 || nG == 0)
            return;
        // An endless cost takes every team of the block out of the band.
        if (!std::isfinite(d.cost + w.cost) || blockCannotList(d, w)) {
            state_.Examined += qint64(nC * nG);
            return;
        }
        for (std::size_t i = 0; i < nC; ++i) {
            const Group &c = centres_[i];
            place(Position::C, c);
            const std::uint64_t before = hostCalls_;
            pickGoalieBlock(d, w, c);
            if (hostCalls_ != before && i + 1 < nC && blockCannotList(d, w)) {
                state_.Examined += qint64((nC - i - 1) * nG);
                return;
            }
        }
    }

    // One (Defence, Wingers, Centres) block: the Goalies by cost give the exact band window, and
    // team points only grow with the Goalie's (each rounding to nearest keeps the order), so the
    // window's best Goalie gives the block's best team exactly.
    void pickGoalieBlock(const Group &d, const Group &w, const Group &c)
    {
        const std::size_t nG = goalies_.size();
        const double partial = (c.cost + w.cost) + d.cost;
        const auto inBandFrom = [&](std::size_t i) {
            return !(static_cast<float>(partial + goalies_[i].cost) > static_cast<float>(state_.MinSpend));
        };
        const auto belowLimit = [&](std::size_t i) {
            return static_cast<float>(partial + goalies_[i].cost) < static_cast<float>(state_.CashLimit);
        };
        const auto lo = std::size_t(std::partition_point(goaliesByCost_.begin(), goaliesByCost_.end(), inBandFrom)
                                    - goaliesByCost_.begin());
        const auto hi = std::size_t(std::partition_point(goaliesByCost_.begin(), goaliesByCost_.end(), belowLimit)
                                    - goaliesByCost_.begin());
        if (!std::isfinite(partial) || lo >= hi) {
            state_.Examined += qint64(nG);
            return;
        }
        const float partialPts = (c.pts + w.pts) + d.pts;
        if (partialPts + float(goaliePts_.max(lo, hi)) <= state_.Target) {
            state_.Examined += qint64(nG);
            return;
        }
        PickGoalie(d, w, c);
    }

    // The same sums, in the same order, as the plain loops.
    void PickGoalie(const Group &d, const Group &w, const Group &c)
    {
        for (const Group &g : goalies_) {
            place(Position::G, g);
            ++state_.Examined;
            const float TeamCost = static_cast<float>(((c.cost + w.cost) + d.cost) + g.cost);
            if (!(TeamCost < static_cast<float>(state_.CashLimit)) || !(TeamCost > static_cast<float>(state_.MinSpend)))
                continue;
            const float TeamPts = ((c.pts + w.pts) + d.pts) + g.pts;
            if (TeamPts > state_.Target) {
                host_.listTeam(TeamPts, TeamCost, rows_);
                ++hostCalls_;
            }
        }
    }

    SearchState &state_;
    SearchHost &host_;
    std::vector<Group> defence_, wingers_, centres_, goalies_;
    bool costsExact_ = false, pointsExact_ = false;
    std::vector<std::size_t> goaliesByCost_;
    RangeMax goaliePts_;
    CompletionTable centresAndGoalie_;
    Frontier afterDefence_;
    double mostCostAfterDefence_ = Infinity;
    bool defenceBound_ = false;
    std::uint64_t hostCalls_ = 0; // every call that may change the list, the target or the box
    TeamRows rows_{};
};

} // namespace

void PickDefence(const CandidateTables &tables, SearchState &state, SearchHost &host)
{
    FastSearch(tables, state, host).PickDefence();
}

} // namespace search
