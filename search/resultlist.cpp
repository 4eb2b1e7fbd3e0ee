#include "resultlist.h"

#include "format.h"

#include <cmath>
#include <cstdlib>

namespace search {

int measurePtsLen(std::string_view firstLine, int previous)
{
    for (int k = 1; k <= 6 && k <= static_cast<int>(firstLine.size()); ++k)
        if (firstLine[static_cast<std::size_t>(k - 1)] == ' ')
            return k - 1;
    return previous;
}

float targetFromLine(std::string_view firstLine, int ptsLen, float current)
{
    if (ptsLen <= 0 || static_cast<std::size_t>(ptsLen) > firstLine.size())
        return current;
    const std::string head(firstLine.substr(0, static_cast<std::size_t>(ptsLen)));
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

ResultList::ResultList(SortedLines &lines, SearchState &state, int &ptsLen) : lines_(lines), state_(state), ptsLen_(ptsLen)
{
    refreshNoOpKey();
}

void ResultList::listTeam(float teamPts, float teamCost, const TeamRows &rows)
{
    // A line that would go in first and be trimmed away at once leaves the list, the length and
    // the target as they were: skip the round trip.
    LineText line;
    line.startWithPoints(teamPts);
    if (!noOpKey_.empty() && line.text() < noOpKey_)
        return;
    line.finish(teamCost, rows);
    if (!noOpLine_.empty() && line.text() < noOpLine_)
        return;
    if (listedCount() >= capacity) {
        full_ = true;
        state_.StopRequested = true;
        return;
    }
    if (batchLines && !top35Ticked()) {
        // Nothing is trimmed: the line can wait for the next merge. A batch of a few thousand
        // lines merges in a few milliseconds, so waiting lines never hold back the next event pass.
        pendingPlaces_.emplace_back(std::uint32_t(pendingText_.size()), std::uint32_t(line.text().size()));
        pendingText_.append(line.text());
        if (pendingPlaces_.size() >= MaxPendingLines)
            mergePending();
    } else {
        mergePending();
        lines_.insert(line.text());
    }
    ++inserted_;
    linesChanged();
    yield();
    if (top35Ticked()) { // ticked during the yield by a caller that did not merge first
        mergePending();
        if (lines_.size() > TopLines)
            TrimToTop35();
    }
    refreshNoOpKey();
}

void ResultList::mergePending()
{
    if (pendingPlaces_.empty())
        return;
    std::vector<std::string_view> batch;
    batch.reserve(pendingPlaces_.size());
    for (const auto &[offset, length] : pendingPlaces_)
        batch.emplace_back(pendingText_.data() + offset, length);
    lines_.insertBatch(std::move(batch));
    pendingPlaces_.clear();
    pendingText_.clear();
    // Lines wait only while the box is unticked. Ticked now, it cut the list to 35 while they
    // waited, and that cut is theirs too: the list is then the best 35 of every line listed.
    if (top35Ticked())
        cutToTop35(lines_);
}

void ResultList::TrimToTop35()
{
    mergePending();
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
    noOpLine_.clear();
    if (lines_.size() != TopLines || !top35Ticked())
        return;
    const std::string_view first = lines_.first();
    const int len = measurePtsLen(first, ptsLen_);
    if (len != ptsLen_ || targetFromLine(first, len, state_.Target) != state_.Target)
        return;
    const auto space = first.find(' ');
    if (space == std::string_view::npos)
        return;
    noOpKey_ = first.substr(0, space + 1);
    noOpLine_ = first;
}

} // namespace search
