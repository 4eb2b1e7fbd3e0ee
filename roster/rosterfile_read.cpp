// SPDX-License-Identifier: MIT
// Reading players.txt: the file streamed line by line, each line decoded as UTF-8 or
// Windows-1252, and the values scanned from the lines the way the writer lays them out.
#include "rosterfile.h"

#include "codepage.h"
#include "grid.h"
#include "numbers.h"

#include <QBuffer>
#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace roster {

namespace {

// Bytes of one line kept for its values: a value of TextWidth characters takes at most four
// bytes a character. Whatever lies beyond in the same line is looked through, never kept.
constexpr qsizetype KeptLineBytes = 4 * qsizetype(TextWidth);
constexpr qint64 ChunkBytes = 64 * 1024;

// Tells whether a line is UTF-8 as the bytes stream past: no stray or missing continuation
// byte, no overlong form, no surrogate, nothing beyond U+10FFFF.
class Utf8Check {
public:
    void add(QByteArrayView bytes)
    {
        for (const char byte : bytes) {
            const auto b = static_cast<uchar>(byte);
            if (needed_ > 0) {
                if (b < low_ || b > high_) {
                    valid_ = false;
                    return;
                }
                low_ = 0x80;
                high_ = 0xBF;
                --needed_;
            } else if (b >= 0x80) {
                if (b >= 0xC2 && b <= 0xDF) {
                    needed_ = 1;
                } else if (b >= 0xE0 && b <= 0xEF) {
                    needed_ = 2;
                    low_ = b == 0xE0 ? 0xA0 : 0x80;
                    high_ = b == 0xED ? 0x9F : 0xBF;
                } else if (b >= 0xF0 && b <= 0xF4) {
                    needed_ = 3;
                    low_ = b == 0xF0 ? 0x90 : 0x80;
                    high_ = b == 0xF4 ? 0x8F : 0xBF;
                } else {
                    valid_ = false;
                    return;
                }
            }
        }
    }
    bool valid() const { return valid_ && needed_ == 0; }
    bool failed() const { return !valid_; }

private:
    int needed_ = 0;
    uchar low_ = 0x80;
    uchar high_ = 0xBF;
    bool valid_ = true;
};

// Stateful: a character cut off where a long line was cut short is left out, not half shown.
// ConvertInitialBom: the file's own mark is dropped before the first line; any other is content.
QString decodeLine(QByteArrayView line, bool utf8)
{
    if (!utf8)
        return fromWindows1252(line);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(line);
}

struct RosterLine {
    QString text;       // decoded, from at most KeptLineBytes bytes of the line
    bool ended = false; // false for a last line with no line end
};

// players.txt line by line as it streams in, in chunks, never beyond MaxFileBytes. CR LF, a
// lone LF and a lone CR all end a line, so rosters edited on any system load.
class RosterLines {
public:
    explicit RosterLines(QIODevice &device) : device_(device)
    {
        // A byte-order mark is the file's, not the money's.
        if (device_.peek(3) == "\xEF\xBB\xBF")
            skip_ = 3;
    }

    std::optional<RosterLine> next()
    {
        QByteArray kept;
        Utf8Check utf8;
        bool any = false;
        while (pos_ < chunk_.size() || fill()) {
            any = true;
            const char *begin = chunk_.constData() + pos_;
            const char *end = chunk_.constData() + chunk_.size();
            const char *stop = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
            const QByteArrayView piece(begin, stop - begin);
            kept += piece.first(std::min(piece.size(), KeptLineBytes - kept.size()));
            if (!utf8.failed())
                utf8.add(piece);
            pos_ += piece.size();
            if (stop != end) {
                ++pos_;
                if (*stop == '\r' && (pos_ < chunk_.size() || fill()) && chunk_[pos_] == '\n')
                    ++pos_;
                return RosterLine{decodeLine(kept, utf8.valid()), true};
            }
        }
        if (!any)
            return std::nullopt;
        return RosterLine{decodeLine(kept, utf8.valid()), false};
    }

    // Reading stopped at MaxFileBytes with more of the file left.
    bool stoppedAtLimit() const { return stoppedAtLimit_; }
    bool anyRead() const { return total_ > 0; }
    QString error() const { return error_; }

private:
    bool fill()
    {
        chunk_.clear();
        pos_ = 0;
        if (total_ >= MaxFileBytes) {
            stoppedAtLimit_ = !device_.atEnd();
            return false;
        }
        // A small file is read in one chunk of its own size.
        chunk_.resize(std::min({ChunkBytes, MaxFileBytes - total_, std::max<qint64>(device_.bytesAvailable(), 1)}));
        const qint64 read = device_.read(chunk_.data(), chunk_.size());
        if (read < 0)
            error_ = device_.errorString();
        chunk_.resize(std::max<qint64>(read, 0));
        total_ += chunk_.size();
        pos_ = std::min<qsizetype>(skip_, chunk_.size());
        skip_ -= pos_;
        return pos_ < chunk_.size();
    }

    QIODevice &device_;
    QByteArray chunk_;
    qsizetype pos_ = 0;
    qint64 total_ = 0;
    qsizetype skip_ = 0;
    bool stoppedAtLimit_ = false;
    QString error_;
};

// Reads players.txt the way Save writes it and saved rosters rely on: names as whole lines, every
// other value as a comma- or line-delimited field. A read never spans two lines and never steps
// back, so any bytes at all load in one pass.
class RosterScanner {
public:
    explicit RosterScanner(RosterLines &lines) : lines_(lines) {}

    // No value when the file ended before this read.
    std::optional<QString> wholeLine()
    {
        if (!openLine())
            return std::nullopt;
        QString value = line_.text.sliced(pos_);
        closeLine();
        return value;
    }

    std::optional<QString> field()
    {
        if (!openLine())
            return std::nullopt;
        const QString &text = line_.text;
        while (pos_ < text.size() && isBlank(text[pos_]))
            ++pos_;
        if (pos_ == text.size()) {
            closeLine();
            return QString();
        }
        if (text[pos_] == u'"')
            return quotedField();

        const qsizetype start = pos_;
        while (pos_ < text.size() && text[pos_] != u',')
            ++pos_;
        qsizetype end = pos_;
        while (end > start && isBlank(text[end - 1]))
            --end;
        const QString value = text.sliced(start, end - start);
        skipDelimiter();

        // Numbers come back in their shortest form (007.50 reads as 7.5). A number too large
        // to hold stays as it was written rather than turning into something else, and so
        // does one at the very top of the range, whose 15 digits round up past the largest
        // number there is (1.7976931348623157E308 would show as 1.79769313486232E+308, which
        // no longer reads as a number). A number text longer than any field never came from
        // one, and is not worth reading as a number.
        if (value.size() <= NumberTextLimit && IsNumericText(value)) {
            if (const std::optional<double> number = toDouble(value)) {
                QString shortest = numberToText(*number);
                if (toDouble(shortest))
                    return shortest;
            }
        }
        return value;
    }

private:
    // The line the next read starts in; false when the file has no more. The last line, when
    // nothing ends it, is used up once its text is.
    bool openLine()
    {
        if (open_)
            return pos_ < line_.text.size() || line_.ended;
        std::optional<RosterLine> line = lines_.next();
        if (!line)
            return false;
        line_ = std::move(*line);
        pos_ = 0;
        open_ = true;
        return true;
    }

    void closeLine() { open_ = false; }

    // The closing quote is looked for on the same line only: a stray quote must not swallow
    // the rest of the roster, so an unclosed one ends at the line end.
    QString quotedField()
    {
        const QString &text = line_.text;
        const qsizetype start = ++pos_;
        while (pos_ < text.size() && text[pos_] != u'"')
            ++pos_;
        QString value = text.sliced(start, pos_ - start);
        while (pos_ < text.size() && text[pos_] != u',')
            ++pos_;
        skipDelimiter();
        return value;
    }

    void skipDelimiter()
    {
        if (pos_ < line_.text.size())
            ++pos_; // the comma
        else
            closeLine();
    }

    RosterLines &lines_;
    RosterLine line_;
    qsizetype pos_ = 0;
    bool open_ = false;
};

// A text value as the user knows it: "The money", "The name in Wingers row 7".
QString valueName(qsizetype index)
{
    if (index < 2)
        return index == 0 ? QStringLiteral("The money") : QStringLiteral("The target");
    qsizetype row = (index - 2) / 4;
    for (Position position : AllPositions) {
        if (row < rowCount(position)) {
            return QStringLiteral("The name in %1 row %2").arg(QLatin1StringView(caption(position))).arg(row + 1);
        }
        row -= rowCount(position);
    }
    return QStringLiteral("Value %1").arg(index + 1);
}

} // namespace

QString decodeRosterLine(QByteArrayView line)
{
    Utf8Check utf8;
    utf8.add(line);
    return decodeLine(line, utf8.valid());
}

RosterRead readRoster(QIODevice &device)
{
    RosterRead read;
    RosterLines lines(device);
    RosterScanner scanner(lines);
    QList<qsizetype> cut; // places in the file of the texts cut to TextWidth
    auto take = [&](std::optional<QString> value) {
        if (!value)
            return false;
        const qsizetype index = read.values.size();
        const bool text = index < 2 || isNameValue(index);
        const int limit = text ? TextWidth : NumberTextLimit;
        if (value->size() > limit) {
            *value = cutToWidth(*value, limit);
            if (text)
                cut.append(index);
        }
        read.values.append(*value);
        return true;
    };

    bool complete = take(scanner.field()) && take(scanner.field());
    for (Position position : AllPositions) {
        for (int row = 1; complete && row <= rowCount(position); ++row) {
            complete = take(scanner.wholeLine()) && take(scanner.field()) && take(scanner.field()) && take(scanner.field());
        }
    }

    QStringList problems;
    if (!lines.error().isEmpty()) {
        problems << QStringLiteral("players.txt could not be read past %1 of %2 values: %3.")
                        .arg(read.values.size())
                        .arg(RosterValueCount)
                        .arg(lines.error());
    } else if (!complete && lines.stoppedAtLimit()) {
        problems << QStringLiteral("players.txt is larger than %1 MB, and only %2 of its %3 values were read.")
                        .arg(MaxFileBytes >> 20)
                        .arg(read.values.size())
                        .arg(RosterValueCount);
    } else if (!complete && lines.anyRead()) {
        problems << QStringLiteral("players.txt ended after %1 of %2 values.").arg(read.values.size()).arg(RosterValueCount);
    }
    if (!cut.isEmpty()) {
        const QString first = valueName(cut.first());
        const QString width = QLocale(QLocale::English).toString(TextWidth);
        problems << (cut.size() == 1 ? QStringLiteral("%1 was cut to its first %2 characters.").arg(first, width)
                                     : QStringLiteral("%1 and %2 more were cut to their first %3 characters.")
                                           .arg(first)
                                           .arg(cut.size() - 1)
                                           .arg(width));
    }
    read.problem = problems.join(u' ');
    return read;
}

RosterRead readRoster(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readRoster(buffer);
}

} // namespace roster
