// SPDX-License-Identifier: MIT
#pragma once
// Why a search listed no team: the spending band against the teams the marks allow, and the best
// points inside the band against the target. Only facts that are exact and quick to get.

#include "candidates.h"
#include "enumeration.h"

#include <QString>
#include <chrono>
#include <functional>
#include <optional>

namespace search {

// The most points of any team whose cost lies inside the band (MinSpend < cost < CashLimit),
// found by the search itself with the target raised to each better team, so that its bounds
// pass over everything that cannot beat it. Gives up when `budget` has run out.
struct BandBest {
    bool complete = false;     // every team was accounted for
    std::optional<float> best; // none when no team accounted for lies inside the band
};
// `yield` is called at every Winger-pair yield of that search, and it gives up as soon as
// `stopRequested` turns true there.
BandBest bestInBand(const CandidateTables &tables, qint16 cashLimit, qint16 minSpend, std::chrono::milliseconds budget,
                    const std::function<void()> &yield = {}, const bool *stopRequested = nullptr);

// One or two sentences for the user about a search that listed no team: `finished` is the state
// it ended with (the band, the target it started with, and whether it was stopped). Working out
// the best team inside the band is a search of its own: it yields to the window's events with
// `yield`, as the search does, and a Stop (finished.StopRequested set meanwhile) ends it.
QString emptyResultExplanation(const CandidateTables &tables, const SearchState &finished,
                               const std::function<void()> &yield = {},
                               std::chrono::milliseconds budget = std::chrono::seconds(5));

} // namespace search
