// SPDX-License-Identifier: MIT
#include "bounds.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace search {

namespace {
// A value whose binary fraction runs longer than this is taken as inexact: a safe answer, as
// it only adds the rounding margin, and one that ends the search for its power of two.
constexpr int MaxFractionBits = 60;
} // namespace

bool sumsAreExact(const std::vector<double> &values, double scale, int precisionBits)
{
    int bits = 0;
    for (double v : values) {
        if (!std::isfinite(v))
            return false;
        int k = 0;
        while (std::ldexp(v, k) != std::nearbyint(std::ldexp(v, k)))
            if (++k > MaxFractionBits)
                return false;
        bits = std::max(bits, k);
    }
    return std::isfinite(scale) && std::ldexp(scale, bits) <= std::ldexp(1.0, precisionBits);
}

double pointsUpperKey(float a, int aRoundings, float b, int bRoundings, bool exact)
{
    const double sum = double(a) + double(b);
    if (std::isnan(sum))
        return -std::numeric_limits<double>::infinity();
    if (exact)
        return sum;
    return sum + PointsRounding * (aRoundings * std::fabs(double(a)) + bRoundings * std::fabs(double(b))) + PointsSubnormal;
}

void RangeMax::build(const std::vector<double> &values)
{
    const std::size_t n = values.size();
    table_.assign(1, values);
    for (std::size_t width = 1; 2 * width <= n; width *= 2) {
        const auto &prev = table_.back();
        std::vector<double> next(n - 2 * width + 1);
        for (std::size_t i = 0; i + 2 * width <= n; ++i)
            next[i] = std::max(prev[i], prev[i + width]);
        table_.push_back(std::move(next));
    }
}

double RangeMax::max(std::size_t from, std::size_t to) const
{
    std::size_t level = 0;
    while ((std::size_t{2} << level) <= to - from)
        ++level;
    return std::max(table_[level][from], table_[level][to - (std::size_t{1} << level)]);
}

void CompletionTable::build(const std::vector<Item> &items, bool costsExact)
{
    costsExact_ = costsExact;
    classes_.clear();
    // Classes by the binary magnitude of the costs: within one, the margin is that of its largest.
    std::map<int, std::vector<Item>> byClass;
    for (const Item &item : items) {
        if (!std::isfinite(item.cost)) // an endless cost leaves the band in every team
            continue;
        const int k = costsExact || item.costMag < 1 ? 0 : std::ilogb(item.costMag);
        byClass[k].push_back(item);
    }
    for (auto &[k, list] : byClass) {
        std::sort(list.begin(), list.end(), [](const Item &a, const Item &b) { return a.cost < b.cost; });
        Class c;
        c.magLimit = std::ldexp(1.0, k + 1);
        std::vector<double> key, first, second;
        for (const Item &item : list) {
            c.cost.push_back(item.cost);
            key.push_back(item.ptsKey);
            first.push_back(item.bestFirst);
            second.push_back(item.bestSecond);
        }
        c.key.build(key);
        c.first.build(first);
        c.second.build(second);
        classes_.push_back(std::move(c));
    }
}

std::optional<CompletionTable::Best> CompletionTable::bestInBand(double fixedCost, double fixedMag, double minSpend,
                                                                 double cashLimit) const
{
    std::optional<Best> best;
    for (const Class &c : classes_) {
        const double margin = costMargin(c.magLimit + fixedMag, costsExact_);
        const double below = minSpend - fixedCost - margin;
        const double above = cashLimit - fixedCost + margin;
        const auto from = std::size_t(std::upper_bound(c.cost.begin(), c.cost.end(), below) - c.cost.begin());
        const auto to = std::size_t(std::lower_bound(c.cost.begin(), c.cost.end(), above) - c.cost.begin());
        if (from >= to)
            continue;
        const Best here{c.key.max(from, to), float(c.first.max(from, to)), float(c.second.max(from, to))};
        if (!best)
            best = here;
        else
            best = Best{std::max(best->ptsKey, here.ptsKey), std::max(best->first, here.first),
                        std::max(best->second, here.second)};
    }
    return best;
}

void Frontier::build(std::vector<std::pair<double, double>> items)
{
    std::sort(items.begin(), items.end());
    points_.clear();
    for (const auto &[cost, pts] : items) {
        if (!points_.empty() && !(pts > points_.back().second))
            continue;
        if (!points_.empty() && points_.back().first == cost)
            points_.back().second = pts;
        else
            points_.emplace_back(cost, pts);
    }
}

std::optional<double> Frontier::bestBelow(double budget) const
{
    const auto n = std::lower_bound(points_.begin(), points_.end(), budget,
                                    [](const std::pair<double, double> &p, double b) { return p.first < b; })
                   - points_.begin();
    if (n == 0)
        return std::nullopt;
    return points_[std::size_t(n - 1)].second;
}

} // namespace search
