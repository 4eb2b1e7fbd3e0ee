// SPDX-License-Identifier: MIT
// Writing players.txt: each value as a line that reads back into its field, and the save that
// replaces the file on disk only when every byte has reached it, never over a pipe, a device, a
// folder or a link to nothing.
#include "rosterfile.h"

#include "codepage.h"
#include "grid.h"
#include "numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace roster {

namespace {

std::function<bool()> &saveFault()
{
    static std::function<bool()> fault;
    return fault;
}

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
    for (qsizetype i = loneSurrogateAt(text); i >= 0; i = loneSurrogateAt(text, i))
        text.remove(i, 1);
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
    return file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("not every byte reached the disk");
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

// What a node that is not a regular file is, in the user's words.
QString nodeKind(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return QStringLiteral("a folder");
        if (S_ISFIFO(st.st_mode))
            return QStringLiteral("a pipe (FIFO)");
        if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
            return QStringLiteral("a device");
        if (S_ISSOCK(st.st_mode))
            return QStringLiteral("a socket");
    }
#endif
    return QFileInfo(path).isDir() ? QStringLiteral("a folder") : QStringLiteral("not a regular file");
}

// The file a save writes: the roster's path, or the regular file a link there points to, so that
// the link stays a link. Empty, with *refusal set, when that is no regular file: a save would
// replace a pipe, a device or a folder with a file of its own, or create a file where a link
// points nowhere, and neither is what the user keeps there.
QString saveTarget(const QString &path, QString *refusal)
{
    const QFileInfo info(path);
    QString target = path;
    QString kind;
    if (info.isSymLink()) {
        target = info.canonicalFilePath();
        if (target.isEmpty()) {
            *refusal = QStringLiteral("it is a link to %1, which does not exist")
                           .arg(QDir::toNativeSeparators(info.symLinkTarget()));
            return {};
        }
        kind = QStringLiteral("it is a link to %1, which is ").arg(QDir::toNativeSeparators(target));
    } else {
        kind = QStringLiteral("it is ");
    }
    const QFileInfo resolved(target);
    if (resolved.exists() && !resolved.isFile()) {
        *refusal = kind + nodeKind(target) + QStringLiteral(", not a file, and a save replaces only a file");
        return {};
    }
    return target;
}

// After the rename the new roster is in the folder's entry only once the folder is synced too, as
// databases do: else a power cut right after a save reported done may bring the old roster back.
QString syncFolder(const QString &file)
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(QFileInfo(file).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {}; // a folder that cannot be opened for reading cannot be synced either: nothing to report
    QString failure;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP && errno != EBADF)
        failure = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return failure;
#else
    Q_UNUSED(file);
    return {};
#endif
}

QByteArray rosterLine(qsizetype index, const QString &value)
{
    // One value, one line: a line break inside a value would shift every later value of the file
    // by a line when it is read back.
    QString line = value;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    dropBrokenCharacters(line);
    if (!isNameValue(index))
        line = fieldText(line, fieldWidth(index));
    return line.toUtf8() + "\r\n";
}

} // namespace

QByteArray writeRoster(const RosterTexts &roster)
{
    QByteArray bytes;
    for (qsizetype index = 0; index < roster.values.size(); ++index)
        bytes += rosterLine(index, roster.values[index]);
    return bytes;
}

bool saveRosterFile(const QString &path, const RosterTexts &roster, QString *error)
{
    const auto fail = [&](QString reason) {
        if (error) {
            while (reason.endsWith(u'.'))
                reason.chop(1);
            *error = QStringLiteral("The roster was not saved to %1: %2.").arg(QDir::toNativeSeparators(path), reason);
        }
        return false;
    };
    QString refusal;
    const QString target = saveTarget(path, &refusal);
    if (target.isEmpty())
        return fail(refusal + QStringLiteral(". Nothing was written, and the roster in the window is kept"));

    QSaveFile file(target);
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
    if (!(file.isOpen() && file.commit()))
        return fail(reason.isEmpty() ? file.errorString() : reason);
    if (const QString failure = syncFolder(target); !failure.isEmpty())
        return fail(
            QStringLiteral("the new roster was written, but its folder could not be synced to the disk (%1)").arg(failure));
    return true;
}

void setSaveFaultForTests(std::function<bool()> failBeforeCommit) { saveFault() = std::move(failBeforeCommit); }

} // namespace roster
