#pragma once
// The result list's rules: each passing team becomes a line at its sorted place; with
// "Only Show Top 35" the weakest line is dropped and the target raised to the points of the
// line that is now first.

#include "enumeration.h"
#include "sortedlines.h"

#include <functional>
#include <string>

namespace search {

inline constexpr std::size_t TopLines = 35;
// A list holds at most this many result lines; a search that would add more stops as Stop does.
inline constexpr std::size_t MaxResultLines = 1'000'000;

// The length of the points text at the head of `firstLine`: one less than the position of the
// first space among its first six characters; `previous` when there is none.
int measurePtsLen(const std::string &firstLine, int previous);

// The first `ptsLen` characters of the first line as a whole number (halves to even). Gives
// `current` when they cannot be read as a number (no length measured yet).
float targetFromLine(const std::string &firstLine, int ptsLen, float current);

// "Only Show Top 35" ticked with 36 lines or more: drop lines from the top until 35 remain.
void cutToTop35(SortedLines &lines);

// The search's side of the list: what happens to each team the enumeration hands over.
class ResultList : public SearchHost {
public:
    ResultList(SortedLines &lines, SearchState &state, int &ptsLen);

    std::function<bool()> top35Ticked = [] { return true; };
    std::function<void()> yield = [] {};         // process pending window events
    std::function<void()> linesChanged = [] {};  // repaint the list
    std::function<void()> pairYield;             // defaults to `yield`
    std::size_t capacity = MaxResultLines;

    void listTeam(float teamPts, float teamCost, const TeamRows &rows) override;
    void yieldToEvents() override;
    std::string_view noOpKey() const override { return noOpKey_; }

    void TrimToTop35();
    bool full() const { return full_; }
    // Lines really inserted so far (a skipped round trip is not one).
    std::size_t inserted() const { return inserted_; }

private:
    void refreshNoOpKey();

    SortedLines &lines_;
    SearchState &state_;
    int &ptsLen_;
    bool full_ = false;
    std::size_t inserted_ = 0;
    std::string noOpKey_;
};

} // namespace search
