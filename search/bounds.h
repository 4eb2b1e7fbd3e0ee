// SPDX-License-Identifier: MIT
#pragma once
// Upper bounds on the points of the teams a block of the search could still list, and the
// rounding margins that make them safe.
//
// A team's points are ((C + W) + D) + G in single precision, C, W, D and G being the positions'
// own sums: three roundings to nearest, each off by at most 2^-24 of its result, and each partial
// result at most the sum of the magnitudes in it (times 1 + 2^-24 per rounding before it). C and
// W are in all three partial results, D in two, G in one, so the team's points lie within
// 2^-24 * (3|C| + 3|W| + 2|D| + |G|) of the exact sum, and more than that by a few subnormal steps
// at most. A bound made of exact sums in another order plus that much of the team's own
// magnitudes is never below the points the loops compute; and since those points are a single-
// precision value, a bound below the next float above the target proves them at or below it. The
// margin belongs to each team, so one huge value widens the bounds of the teams that hold it and
// of no other.
//
// A team's cost is the same four sums in double precision before it is rounded to single, and
// the band compares that single value with the money plus one and the minimum spend, two whole
// numbers that single precision holds: rounding never carries a value across one of them, so the
// double sum lies inside the band too, and the exact sum within 3 * 2^-53 of the magnitudes of it.
// The margins below allow more than three roundings, to cover the bound's own sums as well.
//
// When every value is a whole multiple of one power of two and the largest sum stays within the
// precision, every sum is exact in any order and the margins are 0.

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace search {

inline constexpr double PointsRounding = 1.001 * 0x1p-24; // per unit of weighted magnitude
inline constexpr double PointsSubnormal = 1e-43;          // four subnormal steps, and more
inline constexpr double CostRounding = 8 * 0x1p-53;

// The most points two of a team's sums can add, with the margin of their magnitudes, each weighted
// by the roundings it takes part in (3 for the Centres and Wingers, 2 for the Defence, 1 for the
// Goalie); no margin when the sums are exact. -inf for a pair that only a NaN team can hold.
double pointsUpperKey(float a, int aRoundings, float b, int bRoundings, bool exact);
// How far a cost sum of this magnitude can lie from the exact sum, the bound's own sums included.
inline double costMargin(double magnitude, bool exact) { return exact ? 0 : CostRounding * magnitude + 1e-300; }

// True when sums of these values, in any order and any grouping, are exact in a format with
// `precisionBits` bits: all are whole multiples of one power of two and the largest possible
// sum of magnitudes, `scale`, fits in the precision at that power.
bool sumsAreExact(const std::vector<double> &values, double scale, int precisionBits);

// Range minimum or maximum over a fixed array, in constant time.
class RangeMax {
public:
    void build(const std::vector<double> &values);
    // Over [from, to), which must not be empty.
    double max(std::size_t from, std::size_t to) const;

private:
    std::vector<std::vector<double>> table_;
};

// The completions of a block: pairs of groups of the positions not yet fixed (a Centre pair and
// a Goalie), each with its cost sum and an upper key of its points (the points sum plus its own
// margin). They are kept in classes of cost magnitude, each sorted by cost, so that the band,
// widened by the margin of that class, is one run of each class, and the run's best key bounds
// every completion the band lets through.
class CompletionTable {
public:
    struct Item {
        double cost;     // exact-order sum of the completion's costs
        double costMag;  // the sum of their magnitudes
        double ptsKey;   // points sum plus its margin: never below what the completion adds
        float bestFirst; // the completion's own first and second sums, for the monotone bound
        float bestSecond;
    };
    void build(const std::vector<Item> &items, bool costsExact);
    bool empty() const { return classes_.empty(); }

    // The best of the completions that a team with the fixed part's cost `fixedCost` (of
    // magnitude `fixedMag`) may take inside the band (minSpend, cashLimit): their highest points
    // key and the highest first and second sums. None when no completion can be in the band.
    struct Best {
        double ptsKey = 0;
        float first = 0, second = 0;
    };
    std::optional<Best> bestInBand(double fixedCost, double fixedMag, double minSpend, double cashLimit) const;

private:
    struct Class {
        double magLimit = 0; // every completion of the class has costMag below this
        std::vector<double> cost;
        RangeMax key, first, second;
    };
    std::vector<Class> classes_;
    bool costsExact_ = false;
};

// The most points that any completion costing less than a budget can add, from lists of
// (cost lower key, points upper key) pairs. Only completions that no cheaper one beats on points
// matter, so two such lists combine pair by pair.
class Frontier {
public:
    void build(std::vector<std::pair<double, double>> items);
    const std::vector<std::pair<double, double>> &points() const { return points_; }
    // None when no completion's cost key lies below `budget`.
    std::optional<double> bestBelow(double budget) const;

private:
    std::vector<std::pair<double, double>> points_; // ascending in both
};

} // namespace search
