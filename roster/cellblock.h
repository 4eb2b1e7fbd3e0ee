// SPDX-License-Identifier: MIT
#pragma once
// A block of roster cells as text, the way spreadsheets and web pages put a table on the
// clipboard: one line per row, columns split by tabs (or, in a CSV file's lines, commas).

#include "grid.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace roster {

// Rows of cell texts, top to bottom; a row may hold fewer values than another.
using CellBlock = QList<QStringList>;

// The most clipboard bytes a paste looks at: every cell of the tallest block, name, cost, points,
// games and the points for the week, holding TextWidth characters of up to four bytes each, with
// a separator after it. A clipboard beyond this cannot fit the roster, and is not decoded at all.
inline constexpr qsizetype MaxBlockBytes = qsizetype(NumCW) * 5 * (qsizetype(TextWidth) * 4 + 2);

// The cell a block's first column lands in: the columns after it land to its right, and those
// that land on the cost, points or games are the block's numbers.
enum class BlockColumn { Name = 0, Cost = 1, Points = 2, Games = 3, Rate = 4 };

struct CellBlockRead {
    CellBlock rows;            // at most maxRows rows of at most maxColumns values
    qsizetype rowCount = 0;    // the rows of the whole text, kept or not
    qsizetype columnCount = 0; // the values of its widest row, kept or not
    // The numbers that were written with a decimal comma and now hold a decimal point.
    qsizetype decimalCommas = 0;
};

// The clipboard's bytes as text, line by line as players.txt is read: a line that is UTF-8 is
// read as UTF-8, any other as Windows-1252, so that no byte turns silently into a replacement
// character. The line ends stay as they are.
QString decodeClipboard(QByteArrayView bytes);

// The rows of a clipboard text whose first column lands in `first`.
// - CR LF, a lone LF and a lone CR all end a row; a line end after the last row makes no
//   further row. No text gives no rows.
// - A text with a tab anywhere is tab-separated, and commas never split it.
// - A text with no tab is one value per line, commas and all (a column of "Last, First" names),
//   unless splitting every line at its commas gives the same number of values on every line and
//   each value that lands in a cost, points or games cell is a number: only then is it a CSV
//   file's lines, and blanks around its unquoted values are dropped ("Ng, 12, 1.5, 3").
// - A value is quoted only when it begins with a double quote (in a CSV line, after blanks)
//   and a closing one, with "" inside standing for one quote, is followed by the separator or
//   the line end. Such a value may run over line ends, as a spreadsheet writes a cell of several
//   lines. Any other double quote is part of the text: "Moose" Miller and "Unclosed stay as
//   they stand, and no stray quote swallows the rows after it.
// - The decimal mark is the block's own (decimalMarkShown): when the numbers landing in a
//   cost, points or games cell show a decimal comma and none shows a decimal point, each of
//   them written with a decimal comma gets the roster's point (1,09 -> 1.09, 1.234,5 -> 1234.5).
//   A block that shows neither (only values like 1,500) keeps its texts, commas and all.
// Only the first maxRows rows, and the first maxColumns values of each, are kept: a block larger
// than the roster is counted, not built.
CellBlockRead readCellBlock(const QString &text, BlockColumn first = BlockColumn::Name, qsizetype maxRows = NumCW,
                            qsizetype maxColumns = 5);

// Values split by tabs, each row ended by a line feed. A value holding a tab, a line end or a
// double quote is written inside double quotes, its own quotes doubled; any other value exactly as
// it stands. A block of two columns or more reads back as it was.
QString writeCellBlock(const CellBlock &block);

} // namespace roster
