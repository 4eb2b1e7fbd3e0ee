// SPDX-License-Identifier: MIT
#include "numbers.h"

#include <QList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace roster {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The text of a numeric value, trimmed and without group separators or a plus sign, as the
// standard conversions want it. Empty when the text is not numeric.
std::string plainNumber(const QString &text)
{
    if (!IsNumericText(text))
        return {};
    std::string plain;
    plain.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        if (isBlank(c) || c == u',' || c == u'+')
            continue;
        plain.push_back(static_cast<char>(c.unicode()));
    }
    return plain;
}

// The decimal exponent of the leading significant digit of a plain number: 1 for 12, -3 for
// 0.005, 6 for 1E6. Asked only when a conversion fell out of range, to tell a value too large
// to hold from one so small that it rounds to zero; clamping the exponent cannot blur that.
long long leadingExponent(const std::string &plain)
{
    const std::size_t start = (!plain.empty() && plain[0] == '-') ? 1 : 0;
    const std::size_t e = std::min(plain.find_first_of("eE"), plain.size());
    const std::size_t point = std::min(plain.find('.', start), e);

    long long lead = 0;
    const std::size_t firstNonZero = plain.find_first_not_of("0.", start);
    if (firstNonZero == std::string::npos || firstNonZero >= e)
        return 0; // all zeros: never out of range
    if (firstNonZero < point)
        lead = static_cast<long long>(point - firstNonZero) - 1;
    else
        lead = -static_cast<long long>(firstNonZero - point);

    long long exponent = 0;
    bool negative = false;
    std::size_t j = e + 1;
    if (j < plain.size() && (plain[j] == '-' || plain[j] == '+'))
        negative = plain[j++] == '-';
    for (; j < plain.size(); ++j) {
        if (exponent < 1'000'000)
            exponent = exponent * 10 + (plain[j] - '0');
    }
    return lead + (negative ? -exponent : exponent);
}

// Correctly rounded decimal-to-binary conversion in the C conventions, whatever the user's
// locale. A value too large for the type gives no value; one too small to hold becomes zero.
template <typename Real>
std::optional<Real> parseReal(const QString &text)
{
    const std::string plain = plainNumber(text);
    if (plain.empty())
        return std::nullopt;
    Real value{};
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (leadingExponent(plain) >= 0)
            return std::nullopt;
        return plain[0] == '-' ? -Real(0) : Real(0);
    }
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

bool IsNumericText(const QString &text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text[i]))
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;

    bool anyDigit = false;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            anyDigit = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else if (c == u',' && i > 0 && isDigit(text[i - 1]) && i + 1 < n && isDigit(text[i + 1])) {
            // a group separator stands between two digits
        } else {
            break;
        }
    }
    if (!anyDigit)
        return false;

    if (i < n && (text[i] == u'E' || text[i] == u'e')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        const qsizetype exponentStart = i;
        while (i < n && isDigit(text[i]))
            ++i;
        if (i == exponentStart)
            return false;
    }

    while (i < n && isBlank(text[i]))
        ++i;
    return i == n;
}

std::optional<double> toDouble(const QString &text) { return parseReal<double>(text); }

// Rounded from the decimal text straight to single precision: going through double first
// could round twice and land one step away from the nearest single.
std::optional<float> toSingle(const QString &text) { return parseReal<float>(text); }

namespace {

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double lower = std::floor(value);
    if (lower == value)
        return value;
    // Exact: value and its floor lie within one unit of each other.
    const double fraction = value - lower;
    if (fraction < 0.5)
        return lower;
    if (fraction > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

} // namespace

std::optional<qint16> roundToInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double whole = roundHalfEven(value);
    if (whole < -32768.0 || whole > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(whole);
}

std::optional<qint16> toInt16(const QString &text)
{
    const std::optional<double> value = toDouble(text);
    if (!value)
        return std::nullopt;
    return roundToInt16(*value);
}

QString numberToText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return std::signbit(value) ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    if (value == 0.0)
        return QStringLiteral("0");

    // 15 significant digits, rounded once: d.dddddddddddddde±XX
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));

    const bool negative = scientific.front() == '-';
    const std::size_t mantissaStart = negative ? 1 : 0;
    const std::size_t e = scientific.find('e');
    std::string digits;
    for (std::size_t i = mantissaStart; i < e; ++i) {
        if (scientific[i] != '.')
            digits.push_back(scientific[i]);
    }
    while (digits.back() == '0') // the leading digit of a value other than 0 is not 0
        digits.pop_back();
    int exponent = 0;
    std::from_chars(scientific.data() + e + (scientific[e + 1] == '+' ? 2 : 1), scientific.data() + scientific.size(),
                    exponent);

    std::string text = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        text += digits.front();
        if (digits.size() > 1) {
            text += '.';
            text.append(digits, 1);
        }
        text += exponent < 0 ? "E-" : "E+";
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            text += '0';
        text += std::to_string(magnitude);
    } else if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            text += digits;
            text.append(integerDigits - digits.size(), '0');
        } else {
            text.append(digits, 0, integerDigits);
            text += '.';
            text.append(digits, integerDigits);
        }
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

// The text without blanks around it and without a leading sign, when all that is left are
// digits, dots and commas with at least one digit; else empty.
QStringView numberBody(const QString &text, QChar *sign = nullptr)
{
    QStringView body = QStringView(text).trimmed();
    if (!body.isEmpty() && (body.front() == u'+' || body.front() == u'-')) {
        if (sign)
            *sign = body.front();
        body = body.sliced(1);
    }
    bool digit = false;
    for (QChar c : body) {
        if (isDigit(c))
            digit = true;
        else if (c != u'.' && c != u',')
            return {};
    }
    return digit ? body : QStringView();
}

// True when some `mark` in the body is followed by other than exactly three digits up to the
// next mark or the end.
bool markEndsGroupOfOtherThanThree(QStringView body, QChar mark)
{
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body[i] != mark)
            continue;
        qsizetype digits = 0;
        while (i + 1 + digits < body.size() && isDigit(body[i + 1 + digits]))
            ++digits;
        if (digits != 3)
            return true;
    }
    return false;
}

} // namespace

DecimalMark decimalMarkShown(const QString &text)
{
    const QStringView body = numberBody(text);
    if (body.isEmpty())
        return DecimalMark::None;
    const qsizetype comma = body.lastIndexOf(u',');
    const qsizetype dot = body.lastIndexOf(u'.');
    if (comma >= 0 && dot >= 0)
        return comma > dot ? DecimalMark::Comma : DecimalMark::Point;
    if (comma >= 0 && markEndsGroupOfOtherThanThree(body, u','))
        return DecimalMark::Comma;
    if (dot >= 0 && markEndsGroupOfOtherThanThree(body, u'.'))
        return DecimalMark::Point;
    return DecimalMark::None;
}

std::optional<QString> decimalCommaToPoint(const QString &text)
{
    QChar sign;
    const QStringView body = numberBody(text, &sign);
    if (body.isEmpty() || body.count(u',') > 1 || (!body.contains(u',') && !body.contains(u'.')))
        return std::nullopt;
    const qsizetype comma = body.indexOf(u',');
    const QStringView whole = comma >= 0 ? body.first(comma) : body;
    const QStringView fraction = comma >= 0 ? body.sliced(comma + 1) : QStringView();
    if (comma >= 0 && (fraction.isEmpty() || fraction.contains(u'.')))
        return std::nullopt;
    // Dots only between groups of three digits, the first group of one to three.
    const QList<QStringView> groups = whole.split(u'.');
    for (qsizetype g = 0; g < groups.size(); ++g) {
        const qsizetype n = groups[g].size();
        if (groups.size() > 1 && (g == 0 ? (n < 1 || n > 3) : n != 3))
            return std::nullopt;
    }
    QString plain;
    if (!sign.isNull())
        plain += sign;
    for (QStringView group : groups)
        plain += group;
    if (comma >= 0)
        plain += u'.' + fraction.toString();
    return plain;
}

QString cutToWidth(const QString &text, int width)
{
    if (width < 0 || text.size() <= width)
        return text;
    qsizetype keep = width;
    // Never keep half of a character that takes two UTF-16 units.
    if (keep > 0 && text[keep - 1].isHighSurrogate() && text[keep].isLowSurrogate())
        --keep;
    return text.left(keep);
}

} // namespace roster
