// SPDX-License-Identifier: MIT
#include "sortedlines.h"

#include <algorithm>
#include <iterator>

namespace search {

void SortedLines::Block::append(float points, std::string_view line, std::size_t at)
{
    const Place place{std::uint32_t(text.size()), std::uint32_t(line.size()), points};
    text.append(line);
    places.insert(places.begin() + std::ptrdiff_t(at), place);
}

// Drops the characters of removed lines once they are as many as the kept ones.
void SortedLines::Block::compact()
{
    std::string kept;
    kept.reserve(text.size() - unused);
    for (Place &p : places) {
        const std::uint32_t offset = std::uint32_t(kept.size());
        kept.append(text, p.offset, p.length);
        p.offset = offset;
    }
    text = std::move(kept);
    unused = 0;
}

void SortedLines::insert(float points, std::string_view line)
{
    if (line.size() > longest_.size())
        longest_ = line;
    if (blocks_.empty()) {
        blocks_.emplace_back();
        starts_.assign(1, 0);
        blocks_.back().append(points, line, 0);
        ++size_;
        note(0, true);
        return;
    }
    // The first block whose last line ranks after the new one takes it; else the last block.
    auto block = std::partition_point(blocks_.begin(), blocks_.end(),
                                      [&](const Block &b) { return !b.ranksBefore(points, line, b.places.size() - 1); });
    if (block == blocks_.end())
        block = std::prev(blocks_.end());
    std::size_t lo = 0, hi = block->places.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (block->ranksBefore(points, line, mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    block->append(points, line, lo);
    ++size_;
    const std::size_t b = std::size_t(block - blocks_.begin());
    note(starts_[b] + lo, true);
    for (std::size_t later = b + 1; later < starts_.size(); ++later)
        ++starts_[later];
    if (block->places.size() > 2 * BlockSize) {
        Block upper;
        for (std::size_t i = BlockSize; i < block->places.size(); ++i)
            upper.append(block->places[i].points, block->line(i), upper.places.size());
        block->places.resize(BlockSize);
        block->compact();
        blocks_.insert(std::next(block), std::move(upper));
        starts_.insert(starts_.begin() + std::ptrdiff_t(b + 1), std::uint32_t(starts_[b] + BlockSize));
    }
}

void SortedLines::insertBatch(std::vector<TeamLine> batch)
{
    if (batch.empty())
        return;
    for (const TeamLine &line : batch) // the first of the longest, in the order they came
        if (line.text.size() > longest_.size())
            longest_ = line.text;
    std::stable_sort(batch.begin(), batch.end(), [](const TeamLine &a, const TeamLine &b) {
        return a.points < b.points || (a.points == b.points && a.text < b.text);
    });
    if (blocks_.empty()) {
        blocks_.emplace_back();
        starts_.assign(1, 0);
    }
    // The batch goes in ascending order, so each line's place is its place in the finished list,
    // the block that takes it never moves back, and within a block it goes after the last one.
    std::vector<Place> merged;
    std::size_t added = 0; // batch lines put into the blocks before the current one
    std::size_t next = 0;
    for (std::size_t b = 0; b < blocks_.size() && next < batch.size(); ++b) {
        Block &block = blocks_[b];
        const bool lastBlock = b + 1 == blocks_.size();
        std::size_t end = next;
        if (lastBlock) {
            end = batch.size();
        } else {
            const std::size_t last = block.places.size() - 1;
            while (end < batch.size() && block.ranksBefore(batch[end].points, batch[end].text, last))
                ++end;
        }
        if (end == next)
            continue;
        const std::size_t oldCount = block.places.size();
        merged.clear();
        merged.reserve(oldCount + (end - next));
        std::size_t from = 0;
        for (std::size_t i = next; i < end; ++i) {
            const auto [points, line] = batch[i];
            std::size_t lo = from, hi = oldCount;
            while (lo < hi) {
                const std::size_t mid = (lo + hi) / 2;
                if (block.ranksBefore(points, line, mid))
                    hi = mid;
                else
                    lo = mid + 1;
            }
            merged.insert(merged.end(), block.places.begin() + std::ptrdiff_t(from),
                          block.places.begin() + std::ptrdiff_t(lo));
            from = lo;
            note(starts_[b] + added + merged.size(), true);
            merged.push_back(Place{std::uint32_t(block.text.size()), std::uint32_t(line.size()), points});
            block.text.append(line);
        }
        merged.insert(merged.end(), block.places.begin() + std::ptrdiff_t(from), block.places.end());
        block.places.swap(merged);
        added += end - next;
        next = end;
    }
    size_ += batch.size();
    splitLargeBlocks();
}

// Blocks grown past twice their size part into blocks of the usual size, and the index of each
// block's first line is counted again.
void SortedLines::splitLargeBlocks()
{
    std::vector<Block> blocks;
    blocks.reserve(blocks_.size());
    for (Block &block : blocks_) {
        if (block.places.size() <= 2 * BlockSize) {
            blocks.push_back(std::move(block));
            continue;
        }
        for (std::size_t first = 0; first < block.places.size(); first += BlockSize) {
            // The last part takes the remainder, so that no part is small.
            const std::size_t end = block.places.size() - first < 2 * BlockSize ? block.places.size() : first + BlockSize;
            Block part;
            for (std::size_t i = first; i < end; ++i)
                part.append(block.places[i].points, block.line(i), part.places.size());
            blocks.push_back(std::move(part));
            first = end - BlockSize;
        }
    }
    blocks_ = std::move(blocks);
    starts_.resize(blocks_.size());
    std::uint32_t start = 0;
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        starts_[b] = start;
        start += std::uint32_t(blocks_[b].places.size());
    }
}

void SortedLines::removeAt(std::size_t index)
{
    if (index >= size_)
        return;
    note(index, false);
    const std::size_t b = std::size_t(std::upper_bound(starts_.begin(), starts_.end(), index) - starts_.begin()) - 1;
    Block &block = blocks_[b];
    const std::size_t local = index - starts_[b];
    block.unused += block.places[local].length;
    block.places.erase(block.places.begin() + std::ptrdiff_t(local));
    for (std::size_t later = b + 1; later < starts_.size(); ++later)
        --starts_[later];
    if (block.places.empty()) {
        blocks_.erase(blocks_.begin() + std::ptrdiff_t(b));
        starts_.erase(starts_.begin() + std::ptrdiff_t(b));
    } else if (block.unused > block.text.size() / 2) {
        block.compact();
    }
    --size_;
}

void SortedLines::appendClosing(std::string_view line)
{
    if (line.size() > longest_.size())
        longest_ = line;
    closing_.emplace_back(line);
    note(size() - 1, true);
}

void SortedLines::clear()
{
    closing_.clear();
    blocks_.clear();
    starts_.clear();
    size_ = 0;
    longest_.clear();
    changes_.clear();
    changesLost_ = true;
}

std::string_view SortedLines::at(std::size_t index) const
{
    if (index >= size_)
        return index - size_ < closing_.size() ? std::string_view(closing_[index - size_]) : std::string_view();
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), index);
    const std::size_t block = std::size_t(after - starts_.begin()) - 1;
    return blocks_[block].line(index - starts_[block]);
}

void SortedLines::note(std::size_t index, bool inserted)
{
    if (changesLost_)
        return;
    if (changes_.size() >= MaxChanges) {
        changes_.clear();
        changesLost_ = true;
        return;
    }
    changes_.push_back(Change{std::uint32_t(index), inserted});
}

std::optional<std::vector<SortedLines::Change>> SortedLines::takeChanges()
{
    std::optional<std::vector<Change>> out;
    if (!changesLost_)
        out = std::move(changes_);
    changes_.clear();
    changesLost_ = false;
    return out;
}

} // namespace search
