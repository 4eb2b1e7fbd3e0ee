#pragma once
// A block of roster cells as text, the way spreadsheets and web pages put a table on the
// clipboard: one line per row, columns split by tabs (or commas), quoted fields as spreadsheets
// write them.

#include <QList>
#include <QString>
#include <QStringList>

namespace roster {

// Rows of cell texts, top to bottom; a row may hold fewer values than another.
using CellBlock = QList<QStringList>;

// The rows of a clipboard text.
// - CR LF, a lone LF and a lone CR all end a row; a line end after the last row makes no
//   further row. No text gives no rows.
// - Columns are split by tabs when the text holds a tab. A text of several rows without a tab is
//   comma-separated, and blanks around an unquoted value are dropped ("Ng, 12, 1.5, 3"). A text
//   of one row without a tab is one value, commas and all: a name such as Ng, JJ stays whole.
// - A value that begins with a double quote (after those blanks) runs to its closing quote, over
//   separators and line ends, and "" inside it stands for one quote; anything between the closing
//   quote and the next separator is kept as it stands. A quote that is never closed is taken as
//   a plain character, so that it cannot swallow the rows after it.
CellBlock readCellBlock(const QString &text);

// Values split by tabs, each row ended by a line feed. A value holding a tab, a line end or a
// double quote is written inside double quotes, its own quotes doubled; any other value exactly as
// it stands. A block of two columns or more reads back as it was.
QString writeCellBlock(const CellBlock &block);

// The number of values in the widest row.
qsizetype columnCount(const CellBlock &block);

} // namespace roster
