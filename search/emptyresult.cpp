// SPDX-License-Identifier: MIT
#include "emptyresult.h"

#include "format.h"
#include "groups.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace search {

using roster::Position;

namespace {

void sortUnique(std::vector<double> &values)
{
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
}

// The distinct costs of each position's groups, C, W, D, G; empty when the tables allow no team.
std::array<std::vector<double>, 4> groupCosts(const CandidateTables &tables)
{
    std::array<std::vector<double>, 4> groups;
    for (Position p : roster::AllPositions) {
        auto &costs = groups[std::size_t(roster::index(p))];
        for (const Group &g : groupsOf(tables[p], false))
            costs.push_back(g.cost);
        if (costs.empty())
            return {};
        sortUnique(costs);
    }
    return groups;
}

// Every distinct cost a team can have, summed in the search's order and stored in single
// precision. Costs of a few distinct values (whole numbers, halves) keep these sets small; none
// when working them out would not be quick.
std::optional<std::vector<float>> teamCosts(const std::array<std::vector<double>, 4> &groups)
{
    constexpr std::size_t MostPairs = 1'000'000;
    std::vector<double> sums = groups[0];
    for (std::size_t k = 1; k < groups.size(); ++k) {
        if (sums.size() * groups[k].size() > MostPairs)
            return std::nullopt;
        std::vector<double> next;
        next.reserve(sums.size() * groups[k].size());
        for (double a : sums)
            for (double b : groups[k])
                next.push_back(a + b);
        sortUnique(next);
        sums = std::move(next);
    }
    std::vector<float> costs;
    costs.reserve(sums.size());
    for (double sum : sums)
        costs.push_back(static_cast<float>(sum));
    costs.erase(std::unique(costs.begin(), costs.end()), costs.end());
    return costs;
}

// The engine's own contract does the work: it hands over only teams inside the band that beat the
// target, and skips whatever its bounds show cannot. Raising the target to each team handed over
// leaves, at the end, the best team inside the band.
class BandProbe : public SearchHost {
public:
    BandProbe(SearchState &state, std::chrono::milliseconds budget, const std::function<void()> &yield,
              const bool *stopRequested)
        : state_(state),
          deadline_(std::chrono::steady_clock::now() + budget),
          yield_(yield),
          stopRequested_(stopRequested)
    {}

    void listTeam(float teamPts, float, const TeamRows &) override
    {
        best = teamPts;
        state_.Target = teamPts;
    }

    void yieldToEvents() override
    {
        if (yield_)
            yield_();
        if ((stopRequested_ && *stopRequested_) || std::chrono::steady_clock::now() >= deadline_) {
            timedOut = true;
            state_.StopRequested = true;
        }
    }

    std::optional<float> best;
    bool timedOut = false;

private:
    SearchState &state_;
    std::chrono::steady_clock::time_point deadline_;
    const std::function<void()> &yield_;
    const bool *stopRequested_;
};

QString number(float value) { return QString::fromStdString(costText(value)); }

// The cheapest and the dearest team the tables allow, each summed exactly as the search sums a
// team's cost. None when the tables allow no team at all.
struct TeamCostRange {
    float cheapest = 0;
    float dearest = 0;
};

std::optional<TeamCostRange> teamCostRange(const CandidateTables &tables)
{
    const auto groups = groupCosts(tables);
    if (groups[0].empty())
        return std::nullopt;
    // Adding in double precision and rounding to single are both monotone, so the cheapest team
    // is made of each position's cheapest group, summed in the search's order: Centres, Wingers,
    // Defence, then the Goalie.
    const auto &[c, w, d, g] = groups;
    return TeamCostRange{static_cast<float>(((c.front() + w.front()) + d.front()) + g.front()),
                         static_cast<float>(((c.back() + w.back()) + d.back()) + g.back())};
}

} // namespace

BandBest bestInBand(const CandidateTables &tables, qint16 cashLimit, qint16 minSpend, std::chrono::milliseconds budget,
                    const std::function<void()> &yield, const bool *stopRequested)
{
    SearchState state;
    state.CashLimit = cashLimit;
    state.MinSpend = minSpend;
    state.Target = -std::numeric_limits<float>::infinity();
    BandProbe probe(state, budget, yield, stopRequested);
    PickDefence(tables, state, probe);
    return BandBest{!probe.timedOut, probe.best};
}

QString emptyResultExplanation(const CandidateTables &tables, const SearchState &finished,
                               const std::function<void()> &yield, std::chrono::milliseconds budget)
{
    if (finished.StopRequested)
        return QStringLiteral("The search was stopped before it listed any team.");

    const QString floor = QString::number(finished.MinSpend);
    const QString limit = QString::number(finished.CashLimit);
    const QString target = number(finished.Target);
    const QString band = QStringLiteral("the spending band (above %1 and below %2)").arg(floor, limit);

    const auto costs = teamCostRange(tables);
    if (!costs)
        return QStringLiteral("The include boxes allow no team at all.");
    if (finished.MinSpend >= finished.CashLimit)
        return QStringLiteral("No team can cost more than %1 and less than %2: the minimum percentage asks for "
                              "more than the money.")
            .arg(floor, limit);
    const QString noTeamInBand = QStringLiteral("No team's cost lies inside %1").arg(band);
    if (!(costs->cheapest < float(finished.CashLimit)))
        return noTeamInBand + QStringLiteral(": the cheapest possible team costs %1.").arg(number(costs->cheapest));
    if (!(costs->dearest > float(finished.MinSpend)))
        return noTeamInBand + QStringLiteral(": the dearest possible team costs %1.").arg(number(costs->dearest));

    // The band may fall between two possible costs (above 60 and below 61 with whole-number costs).
    if (const auto possible = teamCosts(groupCosts(tables))) {
        const auto above = std::upper_bound(possible->begin(), possible->end(), float(finished.MinSpend));
        if (above != possible->begin() && above != possible->end() && !(*above < float(finished.CashLimit)))
            return noTeamInBand
                   + QStringLiteral(": the nearest possible teams cost %1 and %2.")
                         .arg(number(*std::prev(above)), number(*above));
    }

    const BandBest inBand = bestInBand(tables, finished.CashLimit, finished.MinSpend, budget, yield,
                                       &finished.StopRequested);
    if (finished.StopRequested)
        return QStringLiteral("The search was stopped before it listed any team.");
    if (inBand.best && inBand.complete)
        return QStringLiteral("The best team inside %1 scores %2, not above the target %3.")
            .arg(band, number(*inBand.best), target);
    if (inBand.best)
        return QStringLiteral("Some teams lie inside %1, but none of them scores above the target %2.").arg(band, target);
    if (inBand.complete)
        return noTeamInBand
               + QStringLiteral(", though the possible teams cost from %1 to %2.")
                     .arg(number(costs->cheapest), number(costs->dearest));
    return QStringLiteral("No team inside %1 scores above the target %2.").arg(band, target);
}

} // namespace search
