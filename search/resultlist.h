#pragma once
// The result list's rules: each passing team becomes a line at its sorted place; with
// "Only Show Top 35" the weakest line is dropped and the target raised to the points of the
// line that is now first.

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

// The length of the points text at the head of `firstLine`: one less than the position of the
// first space among its first six characters; `previous` when there is none.
int measurePtsLen(std::string_view firstLine, int previous);

// The first `ptsLen` characters of the first line as a whole number (halves to even). Gives
// `current` when they cannot be read as a number (no length measured yet).
float targetFromLine(std::string_view firstLine, int ptsLen, float current);

// "Only Show Top 35" ticked with 36 lines or more: drop lines from the top until 35 remain.
void cutToTop35(SortedLines &lines);

// The search's side of the list: what happens to each team the enumeration hands over.
class ResultList : public SearchHost {
public:
    ResultList(SortedLines &lines, SearchState &state, int &ptsLen);

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
    std::string_view noOpKey() const override { return noOpKey_; }
    std::string_view noOpLine() const override { return noOpLine_; }

    void TrimToTop35();
    bool full() const { return full_; }
    // Lines really inserted so far (a skipped round trip is not one).
    std::size_t inserted() const { return inserted_; }

private:
    void refreshNoOpKey();
    std::size_t listedCount() const { return lines_.size() + pendingPlaces_.size(); }

    SortedLines &lines_;
    SearchState &state_;
    int &ptsLen_;
    bool full_ = false;
    std::size_t inserted_ = 0;
    std::string noOpKey_;
    std::string noOpLine_;
    static constexpr std::size_t MaxPendingLines = 8192;
    std::string pendingText_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pendingPlaces_; // offset, length
};

} // namespace search
