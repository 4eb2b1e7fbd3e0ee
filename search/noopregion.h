#pragma once
// Which points values give a line that sorts before the list's first line. Lines compare as
// text, so "10.5" sorts before "9.75": within one count of whole-part digits the text order is the
// numeric order, and across counts it is not. The region is therefore one run of values per
// count of digits, each found once by bisection over the floats.

#include <array>
#include <string>
#include <string_view>

namespace search {

class NoOpRegion {
public:
    NoOpRegion();
    // True when every single-precision value in [lo, hi] has a points key ("##.##" text and a
    // space) that sorts strictly before `key`.
    bool covers(std::string_view key, double lo, double hi);

private:
    static constexpr int Classes = 11; // whole parts of 0 to 10 digits
    float threshold(int digits);

    std::array<float, Classes + 1> classStart_{}; // smallest value whose text has that many digits
    std::array<float, Classes> threshold_{};      // smallest value of the class not sorting before
    std::array<bool, Classes> known_{};
    std::string key_;
};

} // namespace search

#include <cstdint>
#include <vector>

namespace search {

// Where the text of a value falls against a given text, compared as the list compares lines:
// before it, the same text, or after it. Unknown where the texts do not follow the values.
enum class TextClass { Below, Tie, Above, Unknown };

// The points and cost texts of a line follow their values in runs: within one run every text
// has the same sign and the same count of whole digits, so the texts sort as the values do (or,
// for negative values, the other way round), and each class is one stretch of the run. The runs
// and the two ends of the tied stretch are found once by bisection over the floats and kept.
class TextClasses {
public:
    using TextOf = std::string (*)(float);
    // A run's shape: grows with the value; 0 and above for runs whose texts grow with the value,
    // below 0 for runs whose texts shrink as it grows; odd for a run whose texts follow no order.
    using ShapeOf = int (*)(const std::string &);
    TextClasses(TextOf text, ShapeOf shape) : text_(text), shape_(shape) {}

    void setKey(const std::string &key);
    // The highest class of any float in [lo, hi] (both finite); Below when lo > hi.
    TextClass highest(float lo, float hi);

private:
    struct Run {
        std::uint32_t from = 0, to = 0; // keys of the floats in the run: [from, to)
        int shape = 0;
        std::uint64_t keyVersion = 0; // the key the two stretch ends below belong to
        std::uint32_t tieFrom = 0, tieTo = 0;
    };
    const Run &runAt(std::uint32_t k);
    TextClass classOf(Run &run, std::uint32_t k);
    int shapeAt(std::uint32_t k) const;

    TextOf text_;
    ShapeOf shape_;
    std::string key_;
    std::uint64_t keyVersion_ = 1;
    std::vector<Run> runs_; // disjoint, in order of `from`
};

// Run shapes of the points text ("##.##") and of the cost text.
int pointsTextShape(const std::string &text);
int costTextShape(const std::string &text);

} // namespace search
