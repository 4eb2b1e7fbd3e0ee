#pragma once
// Numbers live as text in the roster; these are the rules for reading and writing them.
// The decimal separator is always "." and the digit-group separator ",".

#include <QString>
#include <QtGlobal>
#include <optional>

namespace roster {

// True when the text reads as a number: optional blanks around, an optional sign, digits with
// at most one decimal point (group separators allowed between digits), an optional exponent.
bool IsNumericText(const QString &text);

// Conversions; each gives no value when the text is not numeric, or when the number is too
// large for the type (1E400 is numeric text, yet no double holds it). A number too small to
// hold becomes 0. Correctly rounded, whatever the user's locale.
std::optional<double> toDouble(const QString &text);
std::optional<float> toSingle(const QString &text);
// Rounded to the nearest whole number, halves to the even neighbour; no value outside -32768..32767.
std::optional<qint16> toInt16(const QString &text);
std::optional<qint16> roundToInt16(double value);
double roundHalfEven(double value);

// Shortest general form with at most 15 significant digits; E notation from 1E+15 and below 1E-04.
// Zero, negative zero included, is "0". NaN and infinities, which no product of roster texts
// reaches, come out as "NaN", "Infinity" and "-Infinity", none of which reads back as a number.
QString numberToText(double value);

// The width rule: text assigned to a field keeps its first `width` characters. A negative width
// keeps the whole text; a character of two UTF-16 units is dropped whole rather than split.
QString cutToWidth(const QString &text, int width);

} // namespace roster
