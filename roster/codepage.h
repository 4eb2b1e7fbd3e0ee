// SPDX-License-Identifier: MIT
#pragma once
// Windows-1252, the code page of rosters and help files written on Windows: the one decoder for
// every file Korvane reads that is not UTF-8.

#include <QByteArrayView>
#include <QString>

namespace roster {

// One byte, one character. The typographic quotes and dashes of 0x80-0x9F read as such; the five
// codes the code page leaves unassigned keep their Latin-1 meaning (control characters).
QString fromWindows1252(QByteArrayView bytes);

// The index of the first half of a two-unit character at or after `from` that has no other half
// (what a cut inside such a character, or a stray \u word, leaves); -1 when there is none.
qsizetype loneSurrogateAt(const QString &text, qsizetype from = 0);

} // namespace roster
