// SPDX-License-Identifier: MIT
#pragma once
// The result list's rules: each passing team becomes a line at its ranked place, weakest first;
// with "Only Show Top 35" the weakest line is dropped and the target raised to the exact points
// of the line that is then weakest, so that from then on only a team stronger than the 35th best
// so far is listed.

#include "enumeration.h"
#include "sortedlines.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace search {

inline constexpr std::size_t TopLines = 35;
// A list holds at most this many result lines; a search that would add more stops as Stop does.
inline constexpr std::size_t MaxResultLines = 1'000'000;

// "Only Show Top 35" ticked with 36 team lines or more: drop the weakest until 35 remain.
void cutToTop35(SortedLines &lines);

// The search's side of the list: what happens to each team the enumeration hands over.
class ResultList : public SearchHost {
public:
    ResultList(SortedLines &lines, SearchState &state);

    std::function<bool()> top35Ticked = [] { return true; };
    std::function<void()> yield = [] {};        // process pending window events
    std::function<void()> linesChanged = [] {}; // repaint the list
    std::function<void()> pairYield;            // defaults to `yield`
    std::size_t capacity = MaxResultLines;
    // With "Only Show Top 35" unticked, lines may wait in a batch until mergePending(), which
    // the owner must call before the window handles any event or paints, and when the search
    // ends: the list is then exactly as if each line had gone in at once.
    bool batchLines = false;
    void mergePending();

    void listTeam(float teamPts, float teamCost, const TeamRows &rows) override;
    void yieldToEvents() override;

    // Drops the weakest line and raises the target; no lines may be waiting in the batch.
    void TrimToTop35();
    bool full() const { return full_; }

private:
    std::size_t listedCount() const { return lines_.teamCount() + pending_.size(); }

    SortedLines &lines_;
    SearchState &state_;
    bool full_ = false;
    static constexpr std::size_t MaxPendingLines = 8192;
    std::string pendingText_;
    struct Pending {
        float points;
        std::uint32_t offset, length;
    };
    std::vector<Pending> pending_;
};

} // namespace search
