#include "roster/rosterfile.h"

#include "roster/grid.h"
#include "roster/numbers.h"

#include <QDir>
#include <QSaveFile>
#include <QStringDecoder>

#include <optional>

namespace roster {

namespace {

// Windows-1252 fills the C1 range with the typographic quotes and dashes that rosters typed
// on Windows carry; its five unassigned codes keep their Latin-1 meaning.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = (code >= 0x80 && code < 0xA0) ? QChar(Windows1252High[code - 0x80]) : QChar(code);
    }
    return text;
}

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// A lone CR and a lone LF end a line as CR LF does, so rosters edited on any system load.
bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

// Reads players.txt the way the roster has always been read: names as whole lines, every
// other value as a comma- or line-delimited field. No read ever looks past the end of the text
// or steps backwards, so any bytes at all load in one pass.
class RosterScanner
{
public:
    explicit RosterScanner(const QString &text) : m_text(text) {}

    // No value when the text has no character left: the file ended before this read.
    std::optional<QString> wholeLine()
    {
        if (atEnd())
            return std::nullopt;
        const qsizetype start = m_pos;
        while (!atEnd() && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        const QString value = m_text.sliced(start, m_pos - start);
        skipLineEnd();
        return value;
    }

    std::optional<QString> field()
    {
        if (atEnd())
            return std::nullopt;
        while (!atEnd() && isBlank(m_text[m_pos]))
            ++m_pos;
        if (atEnd())
            return QString();
        if (isLineEnd(m_text[m_pos])) {
            skipLineEnd();
            return QString();
        }
        if (m_text[m_pos] == u'"')
            return quotedField();

        const qsizetype start = m_pos;
        while (!atEnd() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        qsizetype end = m_pos;
        while (end > start && isBlank(m_text[end - 1]))
            --end;
        const QString value = m_text.sliced(start, end - start);
        skipDelimiter();

        // Numbers come back in their shortest form (007.50 reads as 7.5). A number too large
        // to hold stays as it was written rather than turning into something else.
        if (IsNumericText(value)) {
            if (const std::optional<double> number = toDouble(value))
                return numberToText(*number);
        }
        return value;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }

    // The closing quote is looked for on the same line only: a stray quote must not swallow
    // the rest of the roster, so an unclosed one ends at the line end.
    QString quotedField()
    {
        const qsizetype start = ++m_pos;
        while (!atEnd() && m_text[m_pos] != u'"' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        const QString value = m_text.sliced(start, m_pos - start);
        if (!atEnd() && m_text[m_pos] == u'"') {
            ++m_pos;
            while (!atEnd() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
                ++m_pos;
        }
        skipDelimiter();
        return value;
    }

    void skipDelimiter()
    {
        if (atEnd())
            return;
        if (m_text[m_pos] == u',')
            ++m_pos;
        else
            skipLineEnd();
    }

    void skipLineEnd()
    {
        if (atEnd())
            return;
        if (m_text[m_pos] == u'\r') {
            ++m_pos;
            if (!atEnd() && m_text[m_pos] == u'\n')
                ++m_pos;
        } else if (m_text[m_pos] == u'\n') {
            ++m_pos;
        }
    }

    const QString &m_text;
    qsizetype m_pos = 0;
};

} // namespace

QString decodeRosterBytes(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    // Stateless: a sequence cut off at the end of the file is an error, not a pending character.
    // ConvertInitialBom: the one BOM has been dropped above; anything after it is content.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(view);
}

RosterRead readRoster(const QByteArray &bytes)
{
    RosterRead read;
    if (bytes.isEmpty())
        return read;

    const QString text = decodeRosterBytes(bytes);
    RosterScanner scanner(text);
    auto take = [&](std::optional<QString> value) {
        if (!value)
            return false;
        read.values.append(*value);
        return true;
    };

    bool complete = take(scanner.field()) && take(scanner.field());
    for (Position position : AllPositions) {
        for (int row = 1; complete && row <= rowCount(position); ++row) {
            complete = take(scanner.wholeLine()) && take(scanner.field()) && take(scanner.field())
                       && take(scanner.field());
        }
    }
    if (!complete) {
        read.problem = QStringLiteral("players.txt ended after %1 of %2 values.")
                           .arg(read.values.size())
                           .arg(RosterValueCount);
    }
    return read;
}

QByteArray writeRoster(const RosterTexts &roster)
{
    QByteArray bytes;
    for (const QString &value : roster.values) {
        // One value, one line: a line break inside a value would shift every later value of
        // the file by a line when it is read back.
        QString line = value;
        line.replace(u'\r', u' ').replace(u'\n', u' ');
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool saveRosterFile(const QString &path, const RosterTexts &roster, QString *error)
{
    QSaveFile file(path);
    QString reason;
    if (file.open(QIODevice::WriteOnly)) {
        const QByteArray bytes = writeRoster(roster);
        if (file.write(bytes) != bytes.size()) {
            reason = file.errorString();
            // A roster cut short must never replace the saved one.
            file.cancelWriting();
        }
    }
    const bool saved = file.isOpen() && file.commit();
    if (!saved && error) {
        if (reason.isEmpty())
            reason = file.errorString();
        while (reason.endsWith(u'.'))
            reason.chop(1);
        *error = QStringLiteral("The roster was not saved to %1: %2.")
                     .arg(QDir::toNativeSeparators(path), reason);
    }
    return saved;
}

} // namespace roster
