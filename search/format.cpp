// SPDX-License-Identifier: MIT
#include "format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace search {

namespace {

// Decimal digits of |value| rounded half away from zero to `decimals` places, as the whole
// part's digits and the decimals' digits, starting from the value's 7 significant digits.
struct Rounded {
    bool negative = false;
    std::string whole;    // without leading zeros; empty for 0
    std::string decimals; // exactly `decimals` digits
};

Rounded roundDecimal(double value, int significant, int decimals)
{
    Rounded out;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, value);
    // buf: [-]d.dddddde[+-]xx
    const char *p = buf;
    if (*p == '-') {
        out.negative = true;
        ++p;
    }
    std::string digits;
    for (; *p && *p != 'e'; ++p)
        if (*p != '.')
            digits += *p;
    const int exponent = std::atoi(p + 1);
    // Place the point: digits[0] has weight 10^exponent.
    const int pointAt = exponent + 1; // number of digits before the point
    std::string all = digits;
    int lead = pointAt;
    if (lead < 0) {
        all.insert(0, static_cast<std::size_t>(-lead), '0');
        lead = 0;
    }
    const int keptLength = lead + decimals; // the digits kept; the one after them decides the rounding
    if (static_cast<int>(all.size()) < keptLength + 1)
        all.append(static_cast<std::size_t>(keptLength) + 1 - all.size(), '0');
    std::string kept = all.substr(0, static_cast<std::size_t>(keptLength));
    const bool roundUp = all[static_cast<std::size_t>(keptLength)] >= '5';
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
            kept[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0)
            ++kept[static_cast<std::size_t>(i)];
        else {
            kept.insert(kept.begin(), '1');
            ++lead;
        }
    }
    out.whole = kept.substr(0, static_cast<std::size_t>(lead));
    out.decimals = kept.substr(static_cast<std::size_t>(lead));
    const auto nonZero = out.whole.find_first_not_of('0');
    out.whole = nonZero == std::string::npos ? std::string() : out.whole.substr(nonZero);
    if (out.whole.empty() && out.decimals.find_first_not_of('0') == std::string::npos)
        out.negative = false; // no "-0"
    return out;
}

QString grouped(const std::string &digits)
{
    QString out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += QLatin1Char(digits[static_cast<std::size_t>(i)]);
    }
    return out;
}

} // namespace

QString groupedNumber(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    const double rounded = std::round(value); // halves away from zero
    const bool negative = rounded < 0;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f", std::fabs(rounded));
    QString text = grouped(buf);
    return negative ? QLatin1Char('-') + text : text;
}

QString oneDecimal(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0.0");
    // Work from 15 significant digits so that 0.05 rounds up as it reads.
    const Rounded r = roundDecimal(value, 15, 1);
    QString text = QString::fromStdString(r.whole.empty() ? std::string("0") : r.whole);
    text += QLatin1Char('.') + QString::fromStdString(r.decimals);
    return r.negative ? QLatin1Char('-') + text : text;
}

namespace {

char *copyText(char *out, std::string_view text) { return std::copy(text.begin(), text.end(), out); }

char *writeWhole(char *out, std::uint64_t value) { return std::to_chars(out, out + 24, value).ptr; }

// "##.##" the slow way, from the decimal string, for values too large for the fast way.
char *writePointsSlowly(char *out, float points)
{
    const Rounded r = roundDecimal(points, 7, 2);
    if (r.negative)
        *out++ = '-';
    out = copyText(out, r.whole);
    *out++ = '.';
    std::string_view decimals = r.decimals;
    while (!decimals.empty() && decimals.back() == '0')
        decimals.remove_suffix(1);
    return copyText(out, decimals);
}

// The points text: the 7 significant digits come from the exact shortest-free conversion, then
// are rounded to hundredths in whole numbers, halves away from zero.
char *writePoints(char *out, float points)
{
    if (std::isnan(points))
        return copyText(out, "nan");
    if (std::isinf(points))
        return copyText(out, points > 0 ? "inf" : "-inf");
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, double(points), std::chars_format::scientific, 6);
    const char *p = digits;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    std::uint64_t mantissa = 0; // the 7 significant digits as a whole number
    for (; p != end && *p != 'e'; ++p)
        if (*p != '.')
            mantissa = mantissa * 10 + std::uint64_t(*p - '0');
    int exponent = 0;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
    // value = mantissa * 10^(exponent - 6); hundredths = mantissa * 10^(exponent - 4)
    const int shift = exponent - 4;
    if (shift > 10)
        return writePointsSlowly(out, points);
    std::uint64_t hundredths = 0;
    if (shift >= 0) {
        hundredths = mantissa;
        for (int i = 0; i < shift; ++i)
            hundredths *= 10;
    } else if (shift >= -7) {
        std::uint64_t unit = 1;
        for (int i = 0; i < -shift; ++i)
            unit *= 10;
        hundredths = mantissa / unit;
        if ((mantissa % unit) * 2 >= unit)
            ++hundredths;
    }
    if (negative && hundredths != 0)
        *out++ = '-';
    if (hundredths >= 100)
        out = writeWhole(out, hundredths / 100);
    *out++ = '.';
    const unsigned decimals = unsigned(hundredths % 100);
    if (decimals != 0) {
        *out++ = char('0' + decimals / 10);
        if (decimals % 10 != 0)
            *out++ = char('0' + decimals % 10);
    }
    return out;
}

char *writeCost(char *out, float cost)
{
    if (!std::isfinite(cost))
        return copyText(out, std::isnan(cost) ? "nan" : (std::signbit(cost) ? "-inf" : "inf"));
    if (cost == 0)
        return copyText(out, "0");
    // Whole costs below ten million are written exactly as their digits: the common case.
    if (cost == std::trunc(cost) && std::fabs(cost) < 1e7f) {
        if (cost < 0)
            *out++ = '-';
        return writeWhole(out, std::uint64_t(std::fabs(cost)));
    }
    // The general form of 7 significant digits drops trailing zeros and a bare point, as %g does.
    char text[32];
    char *end = std::to_chars(text, text + sizeof text, double(cost), std::chars_format::general, 7).ptr;
    char *exponentAt = std::find(text, end, 'e');
    out = std::copy(text, exponentAt, out);
    if (exponentAt != end) {
        int x = 0;
        std::from_chars(exponentAt + (exponentAt[1] == '+' ? 2 : 1), end, x);
        *out++ = 'E';
        *out++ = x < 0 ? '-' : '+';
        x = std::abs(x);
        if (x < 10)
            *out++ = '0';
        out = writeWhole(out, std::uint64_t(x));
    }
    return out;
}

char *writeRow(char *out, int row)
{
    if (row >= 0 && row < 100) {
        if (row >= 10)
            *out++ = char('0' + row / 10);
        *out++ = char('0' + row % 10);
        return out;
    }
    return std::to_chars(out, out + 12, row).ptr;
}

} // namespace

void LineText::startWithPoints(float teamPts)
{
    char *end = writePoints(text_, teamPts);
    *end++ = ' ';
    size_ = std::size_t(end - text_);
}

void LineText::finish(float teamCost, const TeamRows &rows)
{
    char *out = text_ + size_;
    out = copyText(out, "-- ");
    out = writeCost(out, teamCost);
    out = copyText(out, " -- ");
    // Position by position, the rows of one position apart by spaces, the positions by " - ".
    for (roster::Position p : roster::AllPositions) {
        const TeamSlots seats = teamSlots(p);
        if (seats.first > 0)
            out = copyText(out, " - ");
        for (std::size_t i = seats.first; i < seats.first + seats.count; ++i) {
            if (i > seats.first)
                *out++ = ' ';
            out = writeRow(out, rows[i]);
        }
    }
    size_ = std::size_t(out - text_);
}

std::string pointsText(float points)
{
    char text[LineText::Capacity];
    return std::string(text, writePoints(text, points));
}

std::string costText(float cost)
{
    char text[LineText::Capacity];
    return std::string(text, writeCost(text, cost));
}

std::string resultLine(float teamPts, float teamCost, const TeamRows &rows)
{
    LineText line;
    line.startWithPoints(teamPts);
    line.finish(teamCost, rows);
    return std::string(line.text());
}

} // namespace search

namespace search {

std::optional<TeamRows> rowsOfLine(std::string_view line)
{
    const auto rowsAt = line.rfind(" -- ");
    if (rowsAt == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = line.substr(rowsAt + 4);
    TeamRows rows{};
    std::size_t n = 0;
    while (!rest.empty()) {
        const auto space = rest.find(' ');
        const std::string_view word = rest.substr(0, space);
        rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
        if (word.empty() || word == "-")
            continue;
        if (n == rows.size() || word.size() > 3 || word.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        std::from_chars(word.data(), word.data() + word.size(), rows[n++]);
    }
    if (n != rows.size())
        return std::nullopt;
    return rows;
}

} // namespace search
