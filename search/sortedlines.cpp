#include "sortedlines.h"

#include <algorithm>
#include <iterator>

namespace search {

void SortedLines::insert(std::string line)
{
    if (blocks_.empty()) {
        blocks_.emplace_back();
        blocks_.back().push_back(std::move(line));
        ++size_;
        return;
    }
    // The first block whose last line sorts after the new one takes it; else the last block.
    auto block = std::upper_bound(blocks_.begin(), blocks_.end(), line,
                                  [](const std::string &l, const std::vector<std::string> &b) { return l < b.back(); });
    if (block == blocks_.end())
        block = std::prev(blocks_.end());
    auto at = std::upper_bound(block->begin(), block->end(), line);
    block->insert(at, std::move(line));
    ++size_;
    if (block->size() > 2 * BlockSize) {
        std::vector<std::string> upper(std::make_move_iterator(block->begin() + BlockSize),
                                       std::make_move_iterator(block->end()));
        block->resize(BlockSize);
        blocks_.insert(std::next(block), std::move(upper));
    }
}

void SortedLines::removeAt(std::size_t index)
{
    for (auto b = blocks_.begin(); b != blocks_.end(); ++b) {
        if (index < b->size()) {
            b->erase(b->begin() + static_cast<std::ptrdiff_t>(index));
            if (b->empty())
                blocks_.erase(b);
            --size_;
            return;
        }
        index -= b->size();
    }
}

void SortedLines::clear()
{
    blocks_.clear();
    size_ = 0;
}

const std::string &SortedLines::at(std::size_t index) const
{
    for (const auto &b : blocks_) {
        if (index < b.size())
            return b[index];
        index -= b.size();
    }
    static const std::string none;
    return none;
}

} // namespace search
