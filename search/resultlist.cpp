#include "resultlist.h"

#include "format.h"

#include <cmath>
#include <cstdlib>

namespace search {

int measurePtsLen(const std::string &firstLine, int previous)
{
    for (int k = 1; k <= 6 && k <= static_cast<int>(firstLine.size()); ++k)
        if (firstLine[static_cast<std::size_t>(k - 1)] == ' ')
            return k - 1;
    return previous;
}

float targetFromLine(const std::string &firstLine, int ptsLen, float current)
{
    if (ptsLen <= 0 || static_cast<std::size_t>(ptsLen) > firstLine.size())
        return current;
    const std::string head = firstLine.substr(0, static_cast<std::size_t>(ptsLen));
    char *end = nullptr;
    const double value = std::strtod(head.c_str(), &end);
    if (end == head.c_str() || *end != '\0' || !std::isfinite(value))
        return current;
    return static_cast<float>(std::nearbyint(value)); // the default rounding mode: halves to even
}

void cutToTop35(SortedLines &lines)
{
    while (lines.size() > TopLines)
        lines.removeFirst();
}

ResultList::ResultList(SortedLines &lines, SearchState &state, int &ptsLen)
    : lines_(lines)
    , state_(state)
    , ptsLen_(ptsLen)
{
    refreshNoOpKey();
}

void ResultList::listTeam(float teamPts, float teamCost, const TeamRows &rows)
{
    // A line that would go in first and be trimmed away at once leaves the list, the length and
    // the target as they were: skip the round trip.
    std::string line = pointsText(teamPts) + ' ';
    if (!noOpKey_.empty() && line < noOpKey_)
        return;
    line = resultLine(std::move(line), teamCost, rows);
    if (lines_.size() >= capacity) {
        full_ = true;
        state_.StopRequested = true;
        return;
    }
    lines_.insert(std::move(line));
    ++inserted_;
    linesChanged();
    yield();
    if (top35Ticked() && lines_.size() > TopLines)
        TrimToTop35();
    refreshNoOpKey();
}

void ResultList::TrimToTop35()
{
    lines_.removeFirst();
    linesChanged();
    yield();
    if (lines_.empty())
        return;
    ptsLen_ = measurePtsLen(lines_.first(), ptsLen_);
    state_.Target = targetFromLine(lines_.first(), ptsLen_, state_.Target);
}

void ResultList::yieldToEvents()
{
    (pairYield ? pairYield : yield)();
    refreshNoOpKey();
}

void ResultList::refreshNoOpKey()
{
    noOpKey_.clear();
    if (lines_.size() != TopLines || !top35Ticked())
        return;
    const std::string &first = lines_.first();
    const int len = measurePtsLen(first, ptsLen_);
    if (len != ptsLen_ || targetFromLine(first, len, state_.Target) != state_.Target)
        return;
    const auto space = first.find(' ');
    if (space == std::string::npos)
        return;
    noOpKey_ = first.substr(0, space + 1);
}

} // namespace search
