// SPDX-License-Identifier: MIT
#pragma once
// The result list's lines, weakest team first: ranked by the team's points (the single-precision
// sum the line shows), and lines of equal points by their text in character codes, so that the
// order never depends on when a line arrived. After the team lines come the closing lines, in the
// order they were added. A million lines must list in a second or two, so the lines are kept
// compact: blocks of a few hundred lines, each block's texts side by side in one buffer and its
// order as a small array of places in that buffer. Inserting moves a few kilobytes, and a search
// touches one block's buffer, not a million scattered strings.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace search {

class SortedLines {
public:
    // One change since the last takeChanges(): a line put at `index`, or the line at `index` removed.
    struct Change {
        std::uint32_t index;
        bool inserted;
    };

    struct TeamLine {
        float points;
        std::string_view text;
    };

    // Inserts a team's line at its ranked place, after any equal lines.
    void insert(float points, std::string_view line);
    // Inserts many lines at once, as if one by one in the order given: sorted, then merged
    // into each block in a single pass, so that a batch costs one walk over the blocks.
    void insertBatch(std::vector<TeamLine> batch);
    // Removes the team line at `index` (a closing line stays).
    void removeAt(std::size_t index);
    void removeFirst() { removeAt(0); }
    // Adds a line after every line, team lines to come included: the counts that close a search.
    void appendClosing(std::string_view line);
    void clear();

    // Every line, closing lines included.
    std::size_t size() const { return size_ + closing_.size(); }
    bool empty() const { return size() == 0; }
    std::size_t teamCount() const { return size_; }
    std::string_view at(std::size_t index) const;
    // The weakest team's points; the list must hold a team line.
    float firstPoints() const { return blocks_.front().places.front().points; }
    // The longest line inserted since the last clear (the first of that length).
    std::string_view longestLine() const { return longest_; }

    // The insertions and removals since the last call, in order, so that a view of the list can
    // follow the lines it shows; none (nullopt) after a clear or too many changes to keep.
    std::optional<std::vector<Change>> takeChanges();

private:
    struct Place {
        std::uint32_t offset;
        std::uint32_t length;
        float points;
    };
    struct Block {
        std::string text;          // the lines' characters, in the order they arrived
        std::vector<Place> places; // the lines in sorted order
        std::size_t unused = 0;    // characters of removed lines still in `text`

        std::string_view line(std::size_t i) const { return {text.data() + places[i].offset, places[i].length}; }
        // True when the team line (points, text) ranks before line i.
        bool ranksBefore(float points, std::string_view text, std::size_t i) const
        {
            return points < places[i].points || (points == places[i].points && text < line(i));
        }
        void append(float points, std::string_view line, std::size_t at);
        void compact();
    };

    void note(std::size_t index, bool inserted);
    void splitLargeBlocks();

    static constexpr std::size_t BlockSize = 512;
    static constexpr std::size_t MaxChanges = 1 << 20;
    std::vector<Block> blocks_;
    std::size_t size_ = 0;
    std::string longest_;
    std::vector<std::uint32_t> starts_; // the index of each block's first line
    std::vector<std::string> closing_;
    std::vector<Change> changes_;
    bool changesLost_ = false;
};

} // namespace search
