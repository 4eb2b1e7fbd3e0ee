// SPDX-License-Identifier: MIT
#include "cellblock.h"

#include "numbers.h"
#include "rosterfile.h"

#include <algorithm>

namespace roster {

namespace {

enum class Split { Tabs, Commas, Whole };

// What one pass over the text found. Only the first maxRows rows and maxColumns values of a row
// are kept; the rest are counted, so that a clipboard of a million short rows or a line of a
// million tabs takes no more memory than the block that can fit.
struct Scan {
    CellBlock rows;
    qsizetype rowCount = 0;
    qsizetype widest = 0;
    bool sameWidth = true;
    bool numbersWhereNeeded = true; // every value landing in a cost, points or games cell is a number
};

bool landsOnNumber(BlockColumn first, qsizetype j);

class BlockReader {
public:
    BlockReader(const QString &text, Split split) : text_(text), split_(split) {}

    Scan rows(BlockColumn first, qsizetype maxRows, qsizetype maxColumns)
    {
        Scan scan;
        QStringList row;
        qsizetype width = 0;
        const qsizetype n = text_.size();
        while (true) {
            QString value = field();
            if (landsOnNumber(first, width) && !IsNumericText(value))
                scan.numbersWhereNeeded = false;
            if (scan.rowCount < maxRows && width < maxColumns)
                row << std::move(value);
            ++width;
            if (pos_ < n && isSeparator(pos_)) {
                ++pos_;
                continue;
            }
            if (scan.rowCount > 0 && width != scan.widest)
                scan.sameWidth = false;
            scan.widest = std::max(scan.widest, width);
            if (scan.rowCount++ < maxRows)
                scan.rows << row;
            row.clear();
            width = 0;
            pos_ += lineEndLength(pos_);
            if (pos_ >= n)
                return scan;
        }
    }

private:
    bool isSeparator(qsizetype at) const
    {
        return split_ == Split::Tabs ? text_[at] == u'\t' : split_ == Split::Commas && text_[at] == u',';
    }
    bool trims() const { return split_ == Split::Commas; }

    qsizetype lineEndLength(qsizetype at) const
    {
        if (at >= text_.size())
            return 0;
        if (text_[at] == u'\r')
            return at + 1 < text_.size() && text_[at + 1] == u'\n' ? 2 : 1;
        return text_[at] == u'\n' ? 1 : 0;
    }

    bool endsValue(qsizetype at) const { return at >= text_.size() || isSeparator(at) || lineEndLength(at) > 0; }

    qsizetype skipBlanks(qsizetype at) const
    {
        if (trims())
            while (at < text_.size() && text_[at] == u' ')
                ++at;
        return at;
    }

    // Where the value after a quoted value's closing quote ends, when the quote opening at `open`
    // begins a quoted value; -1 when it does not. The first lone quote after the opening one is
    // the only one that can close it: the scan never goes further.
    qsizetype quotedEnd(qsizetype open, qsizetype *close) const
    {
        for (qsizetype i = open + 1; i < text_.size(); ++i) {
            if (text_[i] != u'"')
                continue;
            if (i + 1 < text_.size() && text_[i + 1] == u'"') {
                ++i;
                continue;
            }
            const qsizetype after = skipBlanks(i + 1);
            if (!endsValue(after))
                return -1;
            *close = i;
            return after;
        }
        return -1;
    }

    QString field()
    {
        pos_ = skipBlanks(pos_);
        if (pos_ < text_.size() && text_[pos_] == u'"') {
            qsizetype close = -1;
            if (const qsizetype end = quotedEnd(pos_, &close); end >= 0) {
                QString value = text_.mid(pos_ + 1, close - pos_ - 1).replace(QStringLiteral("\"\""), QStringLiteral("\""));
                pos_ = end;
                return value;
            }
        }
        const qsizetype start = pos_;
        while (!endsValue(pos_))
            ++pos_;
        qsizetype end = pos_;
        if (trims())
            while (end > start && text_[end - 1] == u' ')
                --end;
        return text_.mid(start, end - start);
    }

    const QString &text_;
    Split split_;
    qsizetype pos_ = 0;
};

bool needsQuotes(const QString &value)
{
    for (QChar c : value)
        if (c == u'\t' || c == u'\n' || c == u'\r' || c == u'"')
            return true;
    return false;
}

// True when the block's column `j` lands in a cost, points or games cell.
bool landsOnNumber(BlockColumn first, qsizetype j)
{
    const qsizetype column = qsizetype(first) + j;
    return column >= qsizetype(BlockColumn::Cost) && column <= qsizetype(BlockColumn::Games);
}

// The numbers that land in cost, points or games cells get the roster's decimal point when the
// block writes decimals with commas; a block that shows no mark, or both, is left as it is.
qsizetype convertDecimalCommas(CellBlock &rows, BlockColumn first)
{
    bool comma = false;
    for (const QStringList &row : rows)
        for (qsizetype j = 0; j < row.size(); ++j) {
            if (!landsOnNumber(first, j))
                continue;
            const DecimalMark mark = decimalMarkShown(row[j]);
            if (mark == DecimalMark::Point)
                return 0;
            comma = comma || mark == DecimalMark::Comma;
        }
    if (!comma)
        return 0;
    qsizetype converted = 0;
    for (QStringList &row : rows)
        for (qsizetype j = 0; j < row.size(); ++j)
            if (landsOnNumber(first, j))
                if (std::optional<QString> plain = decimalCommaToPoint(row[j])) {
                    row[j] = *plain;
                    ++converted;
                }
    return converted;
}

} // namespace

QString decodeClipboard(QByteArrayView bytes)
{
    // A single line is decoded straight into the text; more lines are gathered in one buffer.
    if (std::none_of(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; }))
        return decodeRosterLine(bytes);
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0;
    while (start <= bytes.size()) {
        const auto end = std::find_if(bytes.begin() + start, bytes.end(), [](char c) { return c == '\r' || c == '\n'; });
        const qsizetype stop = end - bytes.begin();
        text += decodeRosterLine(bytes.sliced(start, stop - start));
        if (stop == bytes.size())
            break;
        text += QLatin1Char(bytes[stop]);
        start = stop + 1;
    }
    return text;
}

CellBlockRead readCellBlock(const QString &text, BlockColumn first, qsizetype maxRows, qsizetype maxColumns)
{
    CellBlockRead read;
    if (text.isEmpty())
        return read;
    Scan scan;
    if (text.contains(u'\t')) {
        scan = BlockReader(text, Split::Tabs).rows(first, maxRows, maxColumns);
    } else {
        // A CSV file's lines: each line the same number of values, and a number in every cell
        // that takes one. Commas split it, so none of its numbers can hold a decimal comma.
        scan = BlockReader(text, Split::Commas).rows(first, maxRows, maxColumns);
        const bool commaSeparated = scan.widest > 1 && scan.sameWidth && scan.numbersWhereNeeded;
        if (!commaSeparated)
            scan = BlockReader(text, Split::Whole).rows(first, maxRows, maxColumns);
    }
    read.rows = std::move(scan.rows);
    read.rowCount = scan.rowCount;
    read.columnCount = scan.widest;
    read.decimalCommas = convertDecimalCommas(read.rows, first);
    return read;
}

QString writeCellBlock(const CellBlock &block)
{
    QString text;
    for (const QStringList &row : block) {
        QStringList values;
        for (const QString &value : row)
            values << (needsQuotes(value)
                           ? u'"' + QString(value).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"'
                           : value);
        text += values.join(u'\t') + u'\n';
    }
    return text;
}

} // namespace roster
