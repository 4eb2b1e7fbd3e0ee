#include "noopregion.h"

#include "format.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace search {

namespace {

// Non-negative floats are ordered as their bit patterns.
std::uint32_t bitsOf(float v) { return std::bit_cast<std::uint32_t>(v); }
float floatOf(std::uint32_t b) { return std::bit_cast<float>(b); }

int wholeDigits(float v)
{
    const std::string text = pointsText(v);
    return static_cast<int>(text.find('.'));
}

// The smallest float in [from, to) for which `reaches` holds (it holds for all after it), or `to`.
template <class Pred>
float firstWhere(float from, float to, Pred reaches)
{
    std::uint32_t lo = bitsOf(from), hi = bitsOf(to);
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (reaches(floatOf(mid)))
            hi = mid;
        else
            lo = mid + 1;
    }
    return floatOf(lo);
}

} // namespace

NoOpRegion::NoOpRegion()
{
    const float top = 1e10f;
    classStart_[0] = 0;
    for (int j = 1; j <= Classes; ++j)
        classStart_[static_cast<std::size_t>(j)] =
            firstWhere(classStart_[static_cast<std::size_t>(j - 1)], top, [j](float v) { return wholeDigits(v) >= j; });
}

float NoOpRegion::threshold(int digits)
{
    const auto j = static_cast<std::size_t>(digits);
    if (!known_[j]) {
        threshold_[j] = firstWhere(classStart_[j], classStart_[j + 1],
                                   [this](float v) { return pointsText(v) + ' ' >= key_; });
        known_[j] = true;
    }
    return threshold_[j];
}

bool NoOpRegion::covers(std::string_view key, double lo, double hi)
{
    if (!(lo >= 0) || !(hi >= lo) || !(hi < 1e9))
        return false;
    if (key != key_) {
        key_ = std::string(key);
        known_.fill(false);
    }
    float a = static_cast<float>(lo);
    if (double(a) > lo)
        a = std::nextafter(a, 0.0f);
    float b = static_cast<float>(hi);
    if (double(b) < hi)
        b = std::nextafter(b, 1e30f);
    int j = 0;
    while (j + 1 < Classes && classStart_[static_cast<std::size_t>(j + 1)] <= a)
        ++j;
    return b < classStart_[static_cast<std::size_t>(j + 1)] && b < threshold(j);
}

} // namespace search
