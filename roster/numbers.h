// SPDX-License-Identifier: MIT
#pragma once
// Numbers live as text in the roster; these are the rules for reading and writing them.
// The decimal separator is always "." and the digit-group separator ",".

#include <QString>
#include <QtGlobal>
#include <optional>

namespace roster {

// A blank, as numbers and the roster file's fields may have around them: a space or a tab.
inline bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

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

// Shortest general form with at most 15 significant digits; E notation from 1E+15 and below 1E-04.
// Zero, negative zero included, is "0". NaN and infinities, which no product of roster texts
// reaches, come out as "NaN", "Infinity" and "-Infinity", none of which reads back as a number.
QString numberToText(double value);

// A block pasted from a spreadsheet shows its decimal mark in its own numbers, as a spreadsheet's
// text import decides it: a number with a comma followed by other than three digits ("1,09",
// "10,5"), or with a dot before its last comma ("1.234,5"), writes decimals with commas; one with
// a dot followed by other than three digits ("1.09"), or a comma before its last dot ("1,234.5"),
// writes them with points. "1,500" and "12" show neither. Only texts made of an optional sign,
// digits, dots and commas show anything.
enum class DecimalMark { None, Comma, Point };
DecimalMark decimalMarkShown(const QString &text);

// A number written with a decimal comma and dots between groups of three ("1.234,5", "1,09",
// "-0,5") in the roster's own form ("1234.5", "1.09", "-0.5"), blanks around it dropped. No value
// for any other text, and none for a text with no comma or dot, which needs no change.
std::optional<QString> decimalCommaToPoint(const QString &text);

// The width rule: text assigned to a field keeps its first `width` characters. A negative width
// keeps the whole text; a character of two UTF-16 units is dropped whole rather than split.
QString cutToWidth(const QString &text, int width);

} // namespace roster
