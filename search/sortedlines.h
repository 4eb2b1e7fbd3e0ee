// SPDX-License-Identifier: MIT
#pragma once
// The result list's lines, weakest team first: ranked by the team's points (the single-precision
// sum the line shows), and lines of equal points by their text in character codes, so that the
// order never depends on when a line arrived. After the team lines come the closing lines, in the
// order they were added.
//
// A million lines must list in a fraction of a second while the window shows them as they come,
// so the list is kept as sorted runs rather than one sorted array: inserting into one array moves
// half of it for every line, or all of it for every batch. New lines form a run of their own; the
// newest two runs merge, in one pass over contiguous memory, while the older is shorter than a
// full run (2^17 lines) and the newer at least half as long. So, as lines are added:
// - the full runs come first, and each later run is more than twice as long as the next: n lines
//   lie in at most n / 2^17 + 18 runs (removing lines only shortens runs; the next addition
//   merges what became short);
// - each time a line is copied, its run either grows by half or takes in the run before it, of
//   which at most 18 are not full: a line is copied fewer than 18 + log1.5(2^17) < 48 times, and
//   never once its run is full; in batches of 8192 lines, about log2(n / 8192) times;
// - with batches of at most 2^17 lines, no merge writes 2^19 places or more.
// Reading line i: in sequence (as a view paints) one step of a cursor, one comparison per run;
// at random a binary search in each run, counting the lines before a candidate in the others.

// A team line begins with its points written out and " -- ", the same characters for the same
// points: lines of equal points begin alike, and their text order is the order of what follows.
// The first sixteen characters of that rest are kept beside the points as one number (the tie
// key), so that most ties, even among a million lines of a few hundred distinct points, are
// settled without reading the texts.
//
// Views follow their lines by what they show, not by row: before the first change after
// takeChange(), beforeChange lets them note the lines at their rows (anchorAt), and afterwards
// rowOf tells where each line stands.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace search {

class SortedLines {
public:
    // A team line: its text begins with its points written out, then " -- ".
    struct TeamLine {
        float points;
        std::string_view text;
    };

    // Inserts a team's line at its ranked place.
    void insert(float points, std::string_view line);
    // Inserts many lines at once, as if one by one.
    void insertBatch(const std::vector<TeamLine> &batch);
    // Removes the weakest team line (a closing line stays).
    void removeFirst();
    // Adds a line after every line, team lines to come included: the counts that close a search.
    void appendClosing(std::string_view line);
    void clear();

    // Every line, closing lines included.
    std::size_t size() const { return teamCount_ + closing_.size(); }
    bool empty() const { return size() == 0; }
    std::size_t teamCount() const { return teamCount_; }
    std::string_view at(std::size_t index) const;
    // The weakest team's points; the list must hold a team line.
    float firstPoints() const;
    // The longest line inserted since the last clear (the first of that length).
    std::string_view longestLine() const { return longest_; }

    // What a line is, for finding it again after changes.
    struct Anchor {
        float points = 0;
        std::string text;
        std::optional<std::size_t> closing; // the closing line's number among the closing lines
    };
    Anchor anchorAt(std::size_t index) const;
    // The row the anchored line stands at now; nullopt when it is gone, with `where` set to the
    // row of the line that took its place.
    std::optional<std::size_t> rowOf(const Anchor &anchor, std::size_t *where = nullptr) const;

    enum class Change { None, Some, Cleared };
    // What happened since the last call: nothing, changes, or a clear (maybe among other changes).
    Change takeChange();
    // Called once before the first change after takeChange(), while the lines are still as
    // they were.
    std::function<void()> beforeChange;

private:
    struct Rank {
        float points;
        std::uint32_t tieHigh, tieLow; // the tie key in two halves, so that a place packs in 20 bytes

        static Rank of(float points, std::string_view text);
    };
    struct Place {
        Rank rank;
        std::uint32_t offset; // in the text store
        std::uint32_t length;
    };
    struct Run {
        std::vector<Place> places;
        std::size_t first = 0; // places before it are removed
        std::size_t size() const { return places.size() - first; }
    };
    // Where a line lies: a run and a place in it.
    struct Cursor {
        std::size_t index;               // the line's row
        std::vector<std::size_t> inRuns; // per run: the number of its lines before the row
    };

    // Texts of team lines, side by side in chunks that never move, so that adding a line never
    // copies the others.
    static constexpr std::uint32_t ChunkBits = 20;
    std::string_view text(const Place &p) const
    {
        return {chunks_[p.offset >> ChunkBits].get() + (p.offset & ((1u << ChunkBits) - 1)), p.length};
    }
    Place store(float points, std::string_view line);
    void compactText();

    int compare(const Rank &rank, std::string_view line, const Place &b) const;
    bool before(const Place &a, const Place &b) const;
    void addRun(std::vector<Place> places);
    std::size_t weakestRun() const;
    std::size_t countBeforeIn(std::size_t r, const Rank &rank, std::string_view line, std::size_t owner) const;
    Cursor cursorAt(std::size_t r, std::size_t i, std::size_t index) const;
    std::size_t cursorRun(const Cursor &cursor) const;
    const Place &placeAt(std::size_t index) const;
    void changing(Change change);

    std::vector<Run> runs_; // oldest (longest) first
    std::size_t teamCount_ = 0;
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::uint32_t used_ = 0;       // characters written into the chunks, counted from the start
    std::size_t removedChars_ = 0; // characters of removed lines still in the chunks
    std::size_t liveChars_ = 0;
    std::string longest_;
    std::vector<std::string> closing_;
    Change change_ = Change::None;
    mutable std::optional<Cursor> cursor_; // the last line read, for reading in sequence
};

} // namespace search
