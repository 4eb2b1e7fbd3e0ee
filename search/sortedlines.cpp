// SPDX-License-Identifier: MIT
#include "sortedlines.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <utility>

namespace search {

namespace {

// The characters of a team line after its points, in character-code order. With the end of the
// text below them all, they are sixteen codes of four bits each.
constexpr std::string_view LineAlphabet = " +-.0123456789E";
static_assert(LineAlphabet.size() == 15);

// Each character's code: its place in the alphabet plus one, or for a character outside it, the
// number of the alphabet's characters below it with the top bit set.
constexpr std::array<std::uint8_t, 256> tieCodes()
{
    std::array<std::uint8_t, 256> codes{};
    for (unsigned c = 0; c < 256; ++c) {
        unsigned below = 0;
        bool inside = false;
        for (std::size_t i = 0; i < LineAlphabet.size(); ++i) {
            below += std::uint8_t(LineAlphabet[i]) < c;
            inside = inside || std::uint8_t(LineAlphabet[i]) == c;
        }
        codes[c] = std::uint8_t(inside ? below + 1 : 0x80 | below);
    }
    return codes;
}
constexpr std::array<std::uint8_t, 256> TieCodes = tieCodes();

constexpr std::uint32_t ChunkSize = 1u << 20;

// A run this long takes no more merges, so that no merge holds the window back for long: with
// the window's batches a merge writes a few megabytes at most.
constexpr std::size_t FullRun = std::size_t(1) << 17;

} // namespace

// The tie key holds the first sixteen characters after the points, four bits each, so that keys
// compare as the texts do wherever they differ. A character outside the alphabet takes the code of
// the alphabet's characters below it and fills the rest of the key with the highest code: then a
// key is never above the key of a text that comes later, and equal keys fall back to the texts.
SortedLines::Rank SortedLines::Rank::of(float points, std::string_view text)
{
    const std::size_t head = text.find(" -- ");
    const std::string_view rest = head == std::string_view::npos ? text : text.substr(head + 4);
    std::uint64_t key = 0;
    std::size_t i = 0;
    for (; i < 16 && i < rest.size(); ++i) {
        const std::uint8_t code = TieCodes[std::uint8_t(rest[i])];
        if (code & 0x80) {
            key = key << 4 | (code & 0x0f);
            ++i;
            for (; i < 16; ++i)
                key = key << 4 | 0x0f;
            break;
        }
        key = key << 4 | code;
    }
    for (; i < 16; ++i)
        key <<= 4;
    return {points, std::uint32_t(key >> 32), std::uint32_t(key)};
}

// Negative when (rank, line) ranks before b, zero when it is b's line, positive after.
int SortedLines::compare(const Rank &rank, std::string_view line, const Place &b) const
{
    if (rank.points != b.rank.points)
        return rank.points < b.rank.points ? -1 : 1;
    if (rank.tieHigh != b.rank.tieHigh)
        return rank.tieHigh < b.rank.tieHigh ? -1 : 1;
    if (rank.tieLow != b.rank.tieLow)
        return rank.tieLow < b.rank.tieLow ? -1 : 1;
    return line.compare(text(b));
}

bool SortedLines::before(const Place &a, const Place &b) const { return compare(a.rank, text(a), b) < 0; }

SortedLines::Place SortedLines::store(float points, std::string_view line)
{
    line = line.substr(0, ChunkSize); // a line is a few dozen characters; a chunk holds any
    if ((used_ & (ChunkSize - 1)) + line.size() > ChunkSize)
        used_ = ((used_ >> ChunkBits) + 1) << ChunkBits;
    if ((used_ >> ChunkBits) == chunks_.size())
        chunks_.push_back(std::make_unique<char[]>(ChunkSize));
    std::memcpy(chunks_[used_ >> ChunkBits].get() + (used_ & (ChunkSize - 1)), line.data(), line.size());
    const Place place{Rank::of(points, line), used_, std::uint32_t(line.size())};
    used_ += std::uint32_t(line.size());
    liveChars_ += line.size();
    return place;
}

// Writes the kept lines' texts into fresh chunks, once the removed ones outweigh them.
void SortedLines::compactText()
{
    std::vector<std::unique_ptr<char[]>> old = std::move(chunks_);
    chunks_.clear();
    used_ = 0;
    liveChars_ = 0;
    removedChars_ = 0;
    for (Run &run : runs_) {
        run.places.erase(run.places.begin(), run.places.begin() + std::ptrdiff_t(run.first));
        run.first = 0;
        for (Place &p : run.places) {
            const std::string_view line(old[p.offset >> ChunkBits].get() + (p.offset & (ChunkSize - 1)), p.length);
            p.offset = store(p.rank.points, line).offset;
        }
    }
}

// A new run of sorted places; then the newest two runs merge while the older is not full and the
// newer is at least half as long. A full run is never followed by one that is not, and each run
// that is not full is more than twice as long as the next.
void SortedLines::addRun(std::vector<Place> places)
{
    runs_.push_back(Run{std::move(places), 0});
    while (runs_.size() >= 2 && runs_[runs_.size() - 2].size() < FullRun
           && runs_[runs_.size() - 2].size() <= 2 * runs_.back().size()) {
        const Run &older = runs_[runs_.size() - 2];
        const Run &newer = runs_.back();
        std::vector<Place> merged;
        merged.reserve(older.size() + newer.size());
        // Equal lines keep the older run's first, as a line read from the runs does.
        std::merge(older.places.begin() + std::ptrdiff_t(older.first), older.places.end(),
                   newer.places.begin() + std::ptrdiff_t(newer.first), newer.places.end(), std::back_inserter(merged),
                   [this](const Place &a, const Place &b) { return before(a, b); });
        runs_.pop_back();
        runs_.back() = Run{std::move(merged), 0};
    }
}

void SortedLines::changing(Change change)
{
    if (change_ == Change::None && beforeChange)
        beforeChange();
    if (change_ != Change::Cleared)
        change_ = change;
    cursor_.reset();
}

void SortedLines::insert(float points, std::string_view line)
{
    changing(Change::Some);
    if (line.size() > longest_.size())
        longest_ = line;
    addRun({store(points, line)});
    ++teamCount_;
}

void SortedLines::insertBatch(const std::vector<TeamLine> &batch)
{
    if (batch.empty())
        return;
    changing(Change::Some);
    std::vector<Place> places;
    places.reserve(batch.size());
    for (const TeamLine &line : batch) {
        if (line.text.size() > longest_.size()) // the first of the longest, in the order they came
            longest_ = line.text;
        places.push_back(store(line.points, line.text));
    }
    std::stable_sort(places.begin(), places.end(), [this](const Place &a, const Place &b) { return before(a, b); });
    addRun(std::move(places));
    teamCount_ += batch.size();
}

// The run whose first line is the weakest; of equal lines, the older run's.
std::size_t SortedLines::weakestRun() const
{
    std::size_t weakest = 0;
    for (std::size_t r = 1; r < runs_.size(); ++r)
        if (before(runs_[r].places[runs_[r].first], runs_[weakest].places[runs_[weakest].first]))
            weakest = r;
    return weakest;
}

float SortedLines::firstPoints() const
{
    const Run &run = runs_[weakestRun()];
    return run.places[run.first].rank.points;
}

void SortedLines::removeFirst()
{
    if (teamCount_ == 0)
        return;
    changing(Change::Some);
    const std::size_t r = weakestRun();
    Run &run = runs_[r];
    const std::uint32_t length = run.places[run.first].length;
    removedChars_ += length;
    liveChars_ -= length;
    ++run.first;
    --teamCount_;
    if (run.size() == 0) {
        runs_.erase(runs_.begin() + std::ptrdiff_t(r));
    } else if (run.first > run.places.size() / 2) { // give back the memory of removed places
        run.places.erase(run.places.begin(), run.places.begin() + std::ptrdiff_t(run.first));
        run.first = 0;
    }
    if (removedChars_ > 2 * liveChars_ + ChunkSize)
        compactText();
}

void SortedLines::appendClosing(std::string_view line)
{
    changing(Change::Some);
    if (line.size() > longest_.size())
        longest_ = line;
    closing_.emplace_back(line);
}

void SortedLines::clear()
{
    changing(Change::Cleared);
    runs_.clear();
    teamCount_ = 0;
    chunks_.clear();
    used_ = 0;
    removedChars_ = liveChars_ = 0;
    longest_.clear();
    closing_.clear();
}

SortedLines::Change SortedLines::takeChange() { return std::exchange(change_, Change::None); }

// The lines of run `r` read before the line (rank, line) of run `owner`: equal lines are read
// older run first, so of an older run the equal ones count too.
std::size_t SortedLines::countBeforeIn(std::size_t r, const Rank &rank, std::string_view line, std::size_t owner) const
{
    const Run &run = runs_[r];
    const auto first = run.places.begin() + std::ptrdiff_t(run.first);
    const int least = r < owner ? 0 : 1; // a place is read before when compare() is at least this
    return std::size_t(
        std::partition_point(first, run.places.end(), [&](const Place &p) { return compare(rank, line, p) >= least; })
        - first);
}

SortedLines::Cursor SortedLines::cursorAt(std::size_t r, std::size_t i, std::size_t index) const
{
    Cursor cursor{index, std::vector<std::size_t>(runs_.size())};
    const Place &p = runs_[r].places[runs_[r].first + i];
    for (std::size_t s = 0; s < runs_.size(); ++s)
        cursor.inRuns[s] = s == r ? i : countBeforeIn(s, p.rank, text(p), r);
    return cursor;
}

// The run that holds the cursor's line: of the runs' next lines, the weakest (older run first).
std::size_t SortedLines::cursorRun(const Cursor &cursor) const
{
    std::size_t best = runs_.size();
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        if (cursor.inRuns[r] >= runs_[r].size())
            continue;
        if (best == runs_.size()
            || before(runs_[r].places[runs_[r].first + cursor.inRuns[r]],
                      runs_[best].places[runs_[best].first + cursor.inRuns[best]]))
            best = r;
    }
    return best;
}

// The place of team line `index`. Reading the next line steps the cursor past the current one;
// any other line is found by a binary search in each run for the line with `index` lines before it.
const SortedLines::Place &SortedLines::placeAt(std::size_t index) const
{
    if (cursor_ && cursor_->index + 1 == index) {
        ++cursor_->inRuns[cursorRun(*cursor_)];
        cursor_->index = index;
    } else if (!cursor_ || cursor_->index != index) {
        cursor_.reset();
        for (std::size_t r = 0; r < runs_.size() && !cursor_; ++r) {
            const Run &run = runs_[r];
            std::size_t lo = 0, hi = run.size();
            while (lo < hi) { // the first line of the run with at least `index` lines before it
                const std::size_t mid = (lo + hi) / 2;
                const Place &p = run.places[run.first + mid];
                std::size_t row = mid;
                for (std::size_t s = 0; s < runs_.size(); ++s)
                    row += s == r ? 0 : countBeforeIn(s, p.rank, text(p), r);
                if (row < index)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            if (lo < run.size()) {
                Cursor cursor = cursorAt(r, lo, index);
                std::size_t row = 0;
                for (std::size_t n : cursor.inRuns)
                    row += n;
                if (row == index)
                    cursor_ = std::move(cursor);
            }
        }
    }
    const std::size_t r = cursorRun(*cursor_);
    return runs_[r].places[runs_[r].first + cursor_->inRuns[r]];
}

std::string_view SortedLines::at(std::size_t index) const
{
    if (index >= teamCount_)
        return index - teamCount_ < closing_.size() ? std::string_view(closing_[index - teamCount_]) : std::string_view();
    return text(placeAt(index));
}

SortedLines::Anchor SortedLines::anchorAt(std::size_t index) const
{
    if (index >= teamCount_)
        return {0, std::string(at(index)), index - teamCount_};
    const Place &p = placeAt(index);
    return {p.rank.points, std::string(text(p)), std::nullopt};
}

std::optional<std::size_t> SortedLines::rowOf(const Anchor &anchor, std::size_t *where) const
{
    if (anchor.closing) {
        const bool kept = *anchor.closing < closing_.size();
        if (where)
            *where = kept ? teamCount_ + *anchor.closing : size();
        return kept ? std::optional(teamCount_ + *anchor.closing) : std::nullopt;
    }
    const Rank rank = Rank::of(anchor.points, anchor.text);
    std::size_t row = 0;
    bool kept = false;
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        const std::size_t before = countBeforeIn(r, rank, anchor.text, 0); // strictly before
        const Run &run = runs_[r];
        kept = kept || (before < run.size() && compare(rank, anchor.text, run.places[run.first + before]) == 0);
        row += before;
    }
    if (where)
        *where = row;
    return kept ? std::optional(row) : std::nullopt;
}

} // namespace search
