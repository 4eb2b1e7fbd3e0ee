#include "cellblock.h"

#include <algorithm>

namespace roster {

namespace {

enum class Split { Tabs, Commas, Whole };

class BlockReader {
public:
    BlockReader(const QString &text, Split split) : text_(text), split_(split) {}

    CellBlock rows()
    {
        CellBlock rows;
        QStringList row;
        const qsizetype n = text_.size();
        while (true) {
            row << field();
            if (pos_ < n && text_[pos_] == separator()) {
                ++pos_;
                continue;
            }
            rows << row;
            row.clear();
            pos_ += lineEndLength(pos_);
            if (pos_ >= n)
                return rows;
        }
    }

private:
    QChar separator() const { return split_ == Split::Tabs ? u'\t' : split_ == Split::Commas ? u',' : QChar(); }
    bool trims() const { return split_ == Split::Commas; }

    qsizetype lineEndLength(qsizetype at) const
    {
        if (at >= text_.size())
            return 0;
        if (text_[at] == u'\r')
            return at + 1 < text_.size() && text_[at + 1] == u'\n' ? 2 : 1;
        return text_[at] == u'\n' ? 1 : 0;
    }

    bool endsValue(qsizetype at) const
    {
        return at >= text_.size() || (split_ != Split::Whole && text_[at] == separator()) || lineEndLength(at) > 0;
    }

    // The closing quote of a quoted value that opens at `open`, or -1 when it is never closed.
    qsizetype closingQuote(qsizetype open) const
    {
        for (qsizetype i = open + 1; i < text_.size(); ++i) {
            if (text_[i] != u'"')
                continue;
            if (i + 1 < text_.size() && text_[i + 1] == u'"')
                ++i;
            else
                return i;
        }
        return -1;
    }

    QString field()
    {
        if (trims())
            while (pos_ < text_.size() && text_[pos_] == u' ')
                ++pos_;
        QString value;
        if (pos_ < text_.size() && text_[pos_] == u'"') {
            if (const qsizetype close = closingQuote(pos_); close >= 0) {
                value = text_.mid(pos_ + 1, close - pos_ - 1).replace(QStringLiteral("\"\""), QStringLiteral("\""));
                pos_ = close + 1;
            }
        }
        const qsizetype start = pos_;
        while (!endsValue(pos_))
            ++pos_;
        QString rest = text_.mid(start, pos_ - start);
        if (trims())
            while (rest.endsWith(u' '))
                rest.chop(1);
        return value + rest;
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

} // namespace

CellBlock readCellBlock(const QString &text)
{
    if (text.isEmpty())
        return {};
    if (text.contains(u'\t'))
        return BlockReader(text, Split::Tabs).rows();
    CellBlock rows = BlockReader(text, Split::Commas).rows();
    if (rows.size() > 1)
        return rows;
    return BlockReader(text, Split::Whole).rows();
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

qsizetype columnCount(const CellBlock &block)
{
    qsizetype widest = 0;
    for (const QStringList &row : block)
        widest = std::max(widest, row.size());
    return widest;
}

} // namespace roster
