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
