#include "format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

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
    if (static_cast<int>(all.size()) < lead + decimals + 1)
        all.append(static_cast<std::size_t>(lead + decimals + 1) - all.size(), '0');
    std::string kept = all.substr(0, static_cast<std::size_t>(lead + decimals));
    const bool roundUp = all[static_cast<std::size_t>(lead + decimals)] >= '5';
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

std::string pointsText(float points)
{
    if (std::isnan(points))
        return "nan";
    if (std::isinf(points))
        return points > 0 ? "inf" : "-inf";
    const Rounded r = roundDecimal(points, 7, 2);
    std::string text = r.negative ? "-" : "";
    text += r.whole;
    text += '.';
    std::string decimals = r.decimals;
    while (!decimals.empty() && decimals.back() == '0')
        decimals.pop_back();
    return text + decimals;
}

std::string costText(float cost)
{
    if (!std::isfinite(cost))
        return std::isnan(cost) ? "nan" : (cost > 0 ? "inf" : "-inf");
    if (cost == 0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(cost));
    std::string text = buf;
    std::string exponent;
    if (const auto e = text.find('e'); e != std::string::npos) {
        const int x = std::atoi(text.c_str() + e + 1);
        char eb[16];
        std::snprintf(eb, sizeof eb, "E%c%02d", x < 0 ? '-' : '+', std::abs(x));
        exponent = eb;
        text.resize(e);
    }
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    return text + exponent;
}

std::string resultLine(float teamPts, float teamCost, const TeamRows &rows)
{
    return resultLine(pointsText(teamPts) + ' ', teamCost, rows);
}

std::string resultLine(std::string line, float teamCost, const TeamRows &r)
{
    line += "-- ";
    line += costText(teamCost);
    line += " -- ";
    // Centres, Wingers, Defence, Goalie: groups of 2, 4, 3 and 1 rows.
    static constexpr int groupEnd[] = {2, 6, 9, 10};
    int g = 0;
    for (int i = 0; i < 10; ++i) {
        if (i > 0)
            line += (i == groupEnd[g]) ? " - " : " ";
        if (i == groupEnd[g])
            ++g;
        line += std::to_string(r[static_cast<std::size_t>(i)]);
    }
    return line;
}

} // namespace search

namespace search {

std::optional<TeamRows> rowsOfLine(const std::string &line)
{
    const auto rowsAt = line.rfind(" -- ");
    if (rowsAt == std::string::npos)
        return std::nullopt;
    std::istringstream in(line.substr(rowsAt + 4));
    TeamRows rows{};
    std::string word;
    std::size_t n = 0;
    while (in >> word) {
        if (word == "-")
            continue;
        if (n == rows.size() || word.find_first_not_of("0123456789") != std::string::npos || word.size() > 3)
            return std::nullopt;
        rows[n++] = std::stoi(word);
    }
    if (n != rows.size())
        return std::nullopt;
    return rows;
}

} // namespace search
