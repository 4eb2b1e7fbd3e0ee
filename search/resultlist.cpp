// SPDX-License-Identifier: MIT
#include "resultlist.h"

#include "format.h"

#include <algorithm>

namespace search {

void cutToTop35(SortedLines &lines)
{
    while (lines.teamCount() > TopLines)
        lines.removeFirst();
}

ResultList::ResultList(SortedLines &lines, SearchState &state) : lines_(lines), state_(state) {}

void ResultList::listTeam(float teamPts, float teamCost, const TeamRows &rows)
{
    if (listedCount() >= capacity) {
        full_ = true;
        state_.StopRequested = true;
        return;
    }
    LineText line;
    line.startWithPoints(teamPts);
    line.finish(teamCost, rows);
    if (batchLines && !top35Ticked()) {
        // Nothing is trimmed: the line can wait for the next merge. A batch of a few thousand
        // lines merges in a few milliseconds, so waiting lines never hold back the next event pass.
        pending_.push_back({teamPts, std::uint32_t(pendingText_.size()), std::uint32_t(line.text().size())});
        pendingText_.append(line.text());
        if (pending_.size() >= MaxPendingLines)
            mergePending();
    } else {
        mergePending();
        lines_.insert(teamPts, line.text());
    }
    linesChanged();
    yield();
    if (top35Ticked()) { // ticked during the yield by a caller that did not merge first
        mergePending();
        if (lines_.teamCount() > TopLines)
            TrimToTop35();
    }
}

void ResultList::mergePending()
{
    if (pending_.empty())
        return;
    std::vector<SortedLines::TeamLine> batch;
    batch.reserve(pending_.size());
    for (const Pending &p : pending_)
        batch.push_back({p.points, std::string_view(pendingText_.data() + p.offset, p.length)});
    lines_.insertBatch(batch);
    pending_.clear();
    pendingText_.clear();
    // Lines wait only while the box is unticked. Ticked now, it cut the list to 35 while they
    // waited, and that cut is theirs too: the list is then the best 35 of every line listed.
    if (top35Ticked())
        cutToTop35(lines_);
}

// The target becomes the weakest kept team's points exactly: from then on a team is listed only
// when it beats them, so every team listed is, when listed, one of the best 35 so far. Every kept
// line beat the target of its time, so the target never falls, which the search's skips rely on.
void ResultList::TrimToTop35()
{
    lines_.removeFirst();
    linesChanged();
    yield();
    if (lines_.teamCount() == 0)
        return;
    state_.Target = std::max(state_.Target, lines_.firstPoints());
}

void ResultList::yieldToEvents() { (pairYield ? pairYield : yield)(); }

} // namespace search
