#include "roster/rosterfile.h"

#include "roster/grid.h"
#include "roster/numbers.h"

#include <QDir>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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
        // to hold stays as it was written rather than turning into something else, and so
        // does one at the very top of the range, whose 15 digits round up past the largest
        // number there is (1.7976931348623157E308 would show as 1.79769313486232E+308, which
        // no longer reads as a number).
        if (IsNumericText(value)) {
            if (const std::optional<double> number = toDouble(value)) {
                QString shortest = numberToText(*number);
                if (toDouble(shortest))
                    return shortest;
            }
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

std::function<bool()> &saveFault()
{
    static std::function<bool()> fault;
    return fault;
}

bool isName(qsizetype index) { return index >= 2 && (index - 2) % 4 == 0; }

// The width of the field a value at this place of the file is loaded into; the money, the target
// and the names have none.
int fieldWidth(qsizetype index)
{
    if (index < 2)
        return -1;
    switch ((index - 2) % 4) {
    case 1: return CostWidth;
    case 2: return PointsWidth;
    case 3: return GamesWidth;
    default: return -1;
    }
}

// An unquoted number comes back in its shortest form, cut to the field's width. That is the same
// number for what anyone types as a cost or a rate (007.50 comes back as 7.5), but not for every
// text that fits the field: .125 would come back as 0.12, and games of 1E4 as 100. A value longer
// than its field never came from the field, and the load cuts it whatever is written.
bool readsBackAsSameNumber(const QString &value, int width)
{
    if (!IsNumericText(value) || (width >= 0 && value.size() > width))
        return true;
    const std::optional<double> number = toDouble(value);
    if (!number)
        return true; // too large to hold: the reader keeps it as written
    const std::optional<double> back = toDouble(cutToWidth(numberToText(*number), width));
    return back && *back == *number;
}

// The reader strips blanks around an unquoted value and ends it at a comma; a byte-order mark
// at the very start of the file is taken for the file's encoding mark and dropped.
bool needsQuotes(const QString &value, int width)
{
    if (value.isEmpty())
        return false;
    return value.contains(u',') || isBlank(value.front()) || isBlank(value.back()) || value.front() == u'\uFEFF'
           || !readsBackAsSameNumber(value, width);
}

// A quoted value ends at its next double quote, and an unquoted one that begins with a double
// quote is read as quoted: no value of either kind can carry its double quotes through the file.
// They are dropped rather than letting the reader cut the value at one of them.
QString fieldText(QString value, int width)
{
    bool quoted = needsQuotes(value, width);
    if (value.startsWith(u'"') || (quoted && value.contains(u'"'))) {
        value.remove(u'"');
        quoted = needsQuotes(value, width);
    }
    return quoted ? u'"' + value + u'"' : value;
}

// A text box cuts what is pasted into it at its width even inside a character of two UTF-16
// units. The half left over is no character and UTF-8 cannot hold it (it would come back as a
// question mark): it is dropped, as the roster's own width rule drops such a character whole.
void dropBrokenCharacters(QString &text)
{
    for (qsizetype i = 0; i < text.size();) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            i += 2;
        else if (text[i].isSurrogate())
            text.remove(i, 1);
        else
            ++i;
    }
}

// A write the disk takes only in part returns what it took and sets no error, so the rest is
// written again: either it goes on, or it fails with the system's reason.
bool writeWhole(QSaveFile &file, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qint64 written = file.write(bytes.data(), bytes.size());
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

// A buffer the disk took in part fails with no reason of its own ("Unknown error"); flushing the
// rest once more gives the system's, such as a full disk or a file grown too large.
QString writeFailure(QSaveFile &file)
{
    file.flush();
    return file.error() != QFileDevice::NoError ? file.errorString()
                                                : QStringLiteral("not every byte reached the disk");
}

// Some file systems (network shares, quotas) tell of a full disk only when the file is synced;
// the commit syncs too but pays no heed to a failure. A file system that cannot sync is no failure.
QString syncFailure(QSaveFile &file)
{
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
        return QString::fromLocal8Bit(std::strerror(errno));
#else
    Q_UNUSED(file);
#endif
    return {};
}

QByteArray rosterLine(qsizetype index, const QString &value)
{
    // One value, one line: a line break inside a value would shift every later value of the file
    // by a line when it is read back.
    QString line = value;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    dropBrokenCharacters(line);
    if (!isName(index))
        line = fieldText(line, fieldWidth(index));
    return line.toUtf8() + "\r\n";
}

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
    for (qsizetype index = 0; index < roster.values.size(); ++index)
        bytes += rosterLine(index, roster.values[index]);
    return bytes;
}

bool saveRosterFile(const QString &path, const RosterTexts &roster, QString *error)
{
    QSaveFile file(path);
    QString reason;
    const auto interrupted = [&reason] {
        const std::function<bool()> &fault = saveFault();
        if (!fault || !fault())
            return false;
        reason = QStringLiteral("the save was interrupted");
        return true;
    };
    if (file.open(QIODevice::WriteOnly)) {
        for (qsizetype index = 0; reason.isEmpty() && index < roster.values.size(); ++index) {
            if (interrupted())
                break;
            if (!writeWhole(file, rosterLine(index, roster.values[index])))
                reason = writeFailure(file);
        }
        if (reason.isEmpty())
            interrupted();
        // The last lines wait in the file's buffer: a full disk may refuse them only here, and
        // the commit would replace the saved roster all the same.
        if (reason.isEmpty() && !file.flush())
            reason = writeFailure(file);
        if (reason.isEmpty())
            reason = syncFailure(file);
        // A roster cut short must never replace the saved one.
        if (!reason.isEmpty())
            file.cancelWriting();
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

void setSaveFaultForTests(std::function<bool()> failBeforeCommit)
{
    saveFault() = std::move(failBeforeCommit);
}

} // namespace roster
