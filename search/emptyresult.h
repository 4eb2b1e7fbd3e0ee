#pragma once
// Why a search listed no team: the spending band against the teams the marks allow, and the best
// points inside the band against the target. Only facts that are exact and quick to get.

#include "candidates.h"
#include "enumeration.h"

#include <QString>
#include <chrono>
#include <optional>

namespace search {

// The cheapest and the dearest team the tables allow, each summed exactly as the search sums a
// team's cost. None when the tables allow no team at all.
struct TeamCostRange {
    float cheapest = 0;
    float dearest = 0;
};
std::optional<TeamCostRange> teamCostRange(const CandidateTables &tables);

// The most points of any team whose cost lies inside the band (MinSpend < cost < CashLimit),
// found by the search itself with the target raised to each better team, so that its bounds
// pass over everything that cannot beat it. Gives up when `budget` has run out.
struct BandBest {
    bool complete = false;     // every team was accounted for
    std::optional<float> best; // none when no team accounted for lies inside the band
};
BandBest bestInBand(const CandidateTables &tables, qint16 cashLimit, qint16 minSpend, std::chrono::milliseconds budget);

// One or two sentences for the user about a search that listed no team: `finished` is the state
// it ended with (the band, the target it started with, and whether it was stopped).
QString emptyResultExplanation(const CandidateTables &tables, const SearchState &finished,
                               std::chrono::milliseconds budget = std::chrono::seconds(1));

} // namespace search
