#pragma once
// The result list's lines in ascending order of character codes. Kept in blocks of a few hundred
// lines, so inserting into a list of a million lines moves a few hundred strings, not a million.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace search {

class SortedLines {
public:
    // Inserts the line at its sorted place, after any equal lines.
    void insert(std::string line);
    void removeAt(std::size_t index);
    void removeFirst() { removeAt(0); }
    void clear();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const std::string &at(std::size_t index) const;
    const std::string &first() const { return blocks_.front().front(); }

private:
    static constexpr std::size_t BlockSize = 512;
    std::vector<std::vector<std::string>> blocks_;
    std::size_t size_ = 0;
};

} // namespace search
