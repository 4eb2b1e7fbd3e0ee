#pragma once
// The result list's lines in ascending order of character codes. A million lines must list in
// a second or two, so the lines are kept compact: blocks of a few hundred lines, each block's
// texts side by side in one buffer and its order as a small array of places in that buffer.
// Inserting moves a few kilobytes, and a search touches one block's buffer, not a million
// scattered strings.

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

    // Inserts the line at its sorted place, after any equal lines.
    void insert(std::string_view line);
    // Inserts many lines at once, as if one by one in the order given: sorted, then merged
    // into each block in a single pass, so that a batch costs one walk over the blocks.
    void insertBatch(std::vector<std::string_view> batch);
    void removeAt(std::size_t index);
    void removeFirst() { removeAt(0); }
    void clear();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view at(std::size_t index) const;
    std::string_view first() const { return blocks_.front().line(0); }
    // The longest line inserted since the last clear (the first of that length).
    std::string_view longestLine() const { return longest_; }

    // The insertions and removals since the last call, in order, so that a view of the list can
    // follow the lines it shows; none (nullopt) after a clear or too many changes to keep.
    std::optional<std::vector<Change>> takeChanges();

private:
    struct Place {
        std::uint32_t offset;
        std::uint32_t length;
    };
    struct Block {
        std::string text;          // the lines' characters, in the order they arrived
        std::vector<Place> places; // the lines in sorted order
        std::size_t unused = 0;    // characters of removed lines still in `text`

        std::string_view line(std::size_t i) const { return {text.data() + places[i].offset, places[i].length}; }
        std::string_view last() const { return line(places.size() - 1); }
        void append(std::string_view line, std::size_t at);
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
    std::vector<Change> changes_;
    bool changesLost_ = false;
};

} // namespace search
