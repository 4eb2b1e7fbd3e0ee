#include "noopregion.h"

#include "format.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

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
        classStart_[static_cast<std::size_t>(j)] = firstWhere(classStart_[static_cast<std::size_t>(j - 1)], top,
                                                              [j](float v) { return wholeDigits(v) >= j; });
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

namespace search {

namespace {

// Floats in value order as unsigned keys: -FLT_MAX ... -0, +0 ... FLT_MAX.
std::uint32_t orderKey(float v)
{
    const std::uint32_t u = std::bit_cast<std::uint32_t>(v);
    return (u & 0x80000000u) ? ~u : (u | 0x80000000u);
}

float floatOfKey(std::uint32_t k) { return std::bit_cast<float>((k & 0x80000000u) ? (k & 0x7FFFFFFFu) : ~k); }

const std::uint32_t lowestKey = orderKey(-std::numeric_limits<float>::max());
const std::uint32_t highestKey = orderKey(std::numeric_limits<float>::max());

// The first key in [from, to) at which `reached` holds (it holds for every later key), or `to`.
template <class Pred>
std::uint32_t firstKey(std::uint32_t from, std::uint32_t to, Pred reached)
{
    while (from < to) {
        const std::uint32_t mid = from + (to - from) / 2;
        if (reached(mid))
            to = mid;
        else
            from = mid + 1;
    }
    return from;
}

} // namespace

int pointsTextShape(const std::string &text)
{
    const int point = static_cast<int>(text.find('.'));
    return text[0] == '-' ? -2 * point : 2 * point;
}

int costTextShape(const std::string &text)
{
    if (text == "0")
        return 0;
    const bool negative = text[0] == '-';
    const auto e = text.find('E');
    int base = 0, odd = 0;
    if (e != std::string::npos) {
        const int exponent = std::atoi(text.c_str() + e + 1);
        base = exponent < 0 ? 50 + exponent : 100 + exponent;
        odd = 1; // "1.5E-05" sorts before "1E-05"
    } else {
        const auto point = text.find('.');
        base = 60 + static_cast<int>((point == std::string::npos ? text.size() : point) - (negative ? 1 : 0));
    }
    const int shape = 2 * base + odd;
    return negative ? -shape : shape;
}

void TextClasses::setKey(const std::string &key)
{
    if (key == key_)
        return;
    key_ = key;
    ++keyVersion_;
}

int TextClasses::shapeAt(std::uint32_t k) const { return shape_(text_(floatOfKey(k))); }

const TextClasses::Run &TextClasses::runAt(std::uint32_t k)
{
    auto it = std::upper_bound(runs_.begin(), runs_.end(), k, [](std::uint32_t key, const Run &r) { return key < r.from; });
    if (it != runs_.begin() && k < std::prev(it)->to)
        return *std::prev(it);
    Run run;
    run.shape = shapeAt(k);
    run.from = firstKey(lowestKey, k, [&](std::uint32_t m) { return shapeAt(m) >= run.shape; });
    run.to = firstKey(k + 1, highestKey + 1, [&](std::uint32_t m) { return shapeAt(m) > run.shape; });
    return *runs_.insert(it, run);
}

TextClass TextClasses::classOf(Run &run, std::uint32_t k)
{
    if (run.keyVersion != keyVersion_) {
        // Texts grow with the value in an ascending run and shrink in a descending one; either
        // way the tied stretch is where the text equals the key.
        const bool ascending = run.shape >= 0;
        auto after = [&](std::uint32_t m, bool orTie) {
            const std::string t = text_(floatOfKey(m));
            return ascending ? (orTie ? t >= key_ : t > key_) : (orTie ? t <= key_ : t < key_);
        };
        run.tieFrom = firstKey(run.from, run.to, [&](std::uint32_t m) { return after(m, true); });
        run.tieTo = firstKey(run.tieFrom, run.to, [&](std::uint32_t m) { return after(m, false); });
        run.keyVersion = keyVersion_;
    }
    if (k >= run.tieFrom && k < run.tieTo)
        return TextClass::Tie;
    const bool beforeStretch = k < run.tieFrom;
    return (run.shape >= 0) == beforeStretch ? TextClass::Below : TextClass::Above;
}

TextClass TextClasses::highest(float lo, float hi)
{
    if (!(lo <= hi))
        return TextClass::Below;
    std::uint32_t k = orderKey(lo);
    const std::uint32_t last = orderKey(hi);
    TextClass result = TextClass::Below;
    for (;;) {
        const std::size_t index = static_cast<std::size_t>(&runAt(k) - runs_.data());
        Run &run = runs_[index];
        if (run.shape % 2 != 0)
            return TextClass::Unknown;
        const std::uint32_t end = std::min(last, run.to - 1);
        // Within a run the class only grows in the direction the texts grow.
        result = std::max(result, classOf(run, run.shape >= 0 ? end : k));
        if (end == last)
            return result;
        k = run.to;
    }
}

} // namespace search
