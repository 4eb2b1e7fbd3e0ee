// SPDX-License-Identifier: MIT
// players.txt: read, written, and saves that cannot finish. The clipboard's cell blocks are tst_cellblock's.
#include "rosterfile.h"

#include "filesizelimit.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace roster;

namespace {

// A well-formed roster (money, target, then name, cost, points, games of each row), some lines changed.
QByteArray rosterBytes(std::initializer_list<std::pair<int, QByteArray>> changes = {}, QByteArray end = "\r\n")
{
    QByteArrayList lines{"90", "25"};
    for (int row = 0; row < 70; ++row)
        lines << "Player " + QByteArray::number(row) << QByteArray::number(row % 15 + 1) << QByteArrayList{"1.25", "3"};
    for (const auto &[line, text] : changes)
        lines[line] = text;
    return lines.join(end) + end;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Every node under a folder: its path, its kind, where it links and a regular file's bytes.
QStringList scene(const QString &root)
{
    QStringList seen;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        seen << path + u' ' + QString::number(st.st_mode & S_IFMT) + u' ' + it.fileInfo().symLinkTarget() + u' '
                    + (S_ISREG(st.st_mode) ? fileBytes(path) : QByteArray());
    }
    seen.sort();
    return seen;
}

// The errno a sync of the saved file, or of its folder, fails with; 0: it succeeds.
struct FailedSync {
    int file = 0, folder = 0;
} failedSync;

} // namespace

// Stands in for the C library's fsync in this test program, to fail as `failedSync` says.
extern "C" int fsync(int fd)
{
    struct stat st {};
    const int fail = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? failedSync.folder : failedSync.file;
    if (fail == 0)
        return int(::syscall(SYS_fsync, fd));
    errno = fail;
    return -1;
}

class TestRosterFile : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setSaveFaultForTests({}); }

    void readRoster_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("index");          // of the first value looked at
        QTest::addColumn<QStringList>("values"); // from there on
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("problem");
        const auto row = [](const char *name, const QByteArray &bytes, int index, const QStringList &values,
                            int count = RosterValueCount, const QString &problem = {}) {
            QTest::newRow(name) << bytes << index << values << count << problem;
        };
        // A quote left open ends at its line; unquoted values lose their blanks; a name is the whole line.
        row("quoted; Smith, John", rosterBytes({{2, "Smith, John"}, {3, " \"1,5\" junk"}, {4, "\"12"}, {5, " x\t"}}), 2,
            {"Smith, John", "1,5", "12", "x", "Player 1"});
        // The comma splits the cost, every later field moves up a line and the last is never read.
        row("1,5 in a cost", rosterBytes({{3, "1,5"}}), 278, {"3", "Player 69", "10", "1.25"});
        row("blanks, then a comma", rosterBytes({{3, "  ,5"}}), 3, {"", "5"});
        row("shortest form, too long",
            rosterBytes({{3, "0010"}, {4, "007.50"}, {5, " +2 "}, {7, "123456789"}, {8, "0.000000000125"}, {9, "1.5E-4"}}),
            3, {"10", "7.5", "2", "Player 1", "123456789", "1.25E-10", "0.00015"});
        row("empty input", {}, 0, {}, 0);
        row("one byte", "5", 0, {"5"}, 1, "players.txt ended after 1 of 282 values.");
        row("truncated in a name", rosterBytes().first(12), 2, {"Play"}, 3, "players.txt ended after 3 of 282 values.");
        row("a comma in the last line, no line end", "90\r\n25\r\nPlayer 0\r\n1,5", 3, {"1", "5"}, 5,
            "players.txt ended after 5 of 282 values.");
        row("lone LF, extra lines", rosterBytes({}, "\n") + "extra\n", 280, {"1.25", "3"});
        // Each line is UTF-8 when it can be, else Windows-1252: a name from an old editor spoils no other line.
        row("BOM, mixed encodings",
            "\xEF\xBB\xBF"
                + rosterBytes({{0, "Andr\xE9 \x92\x80"},
                               {2, "Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m"},
                               {6, "Zo\xEB \xC5ngstr\xF6m"},
                               {10, "\xC3\xA9\xE9"},
                               {14, "\xC1\xA9"}}),
            0,
            {QStringLiteral("Andr\u00E9 \u2019\u20AC"), "25", QStringLiteral("Zo\u00EB \u00C5ngstr\u00F6m"), "1", "1.25",
             "3", QStringLiteral("Zo\u00EB \u00C5ngstr\u00F6m"), "2", "1.25", "3", QStringLiteral("\u00C3\u00A9\u00E9"), "3",
             "1.25", "3", QStringLiteral("\u00C1\u00A9")});
        // Read in chunks of 64 KB: the CR of this CR LF ends the first, its LF begins the next.
        row("CR LF across chunks", rosterBytes({{0, QByteArray(65535, 'x')}}), 1, {"25", "Player 0"});
        // Texts cut to what a field holds, and told; so is a number text, and a line beyond 16 MB.
        row("long texts",
            rosterBytes({{2, QByteArray(70000, 'n')}, {3, QByteArray(300000, '7')}, {6, QByteArray(70000, 'm')}}), 2,
            {QString(65536, u'n'), QString(1024, u'7'), "1.25", "3", QString(65536, u'm')}, RosterValueCount,
            "The name in Centres row 1 and 1 more were cut to their first 65,536 characters.");
        row("names of 65,536 and 65,537 characters",
            rosterBytes({{2, QByteArray(65536, 'n')}, {82, QByteArray(65537, 'm')}}), 2,
            {QString(65536, u'n'), "1", "1.25", "3", "Player 1"}, RosterValueCount,
            "The name in Wingers row 1 was cut to its first 65,536 characters.");
        // A character of two UTF-16 units across the limit is dropped whole, never kept in half.
        row("a name cut inside a character", rosterBytes({{2, QByteArray(65535, 'n') + "\xF0\x9F\x8F\x92"}}), 2,
            {QString(65535, u'n'), "1"}, RosterValueCount,
            "The name in Centres row 1 was cut to its first 65,536 characters.");
        // A number text of up to 1,024 characters reads in its shortest form; a longer one stays
        // text, cut to that length.
        row("number texts of 1,024 and 1,025 characters",
            rosterBytes({{3, QByteArray(1023, '0') + '7'}, {4, QByteArray(1024, '0') + '7'}}), 3,
            {"7", QString(1024, u'0')});
        row("larger than 16 MB", QByteArray(17 << 20, 'x'), 0, {QString(65536, u'x')}, 1,
            "players.txt is larger than 16 MB, and only 1 of its 282 values were read. The money was cut to its first "
            "65,536 characters.");
        // At the top of the range the 15-digit form rounds past the largest number; one too large stays text.
        row("top of the range",
            rosterBytes({{0, "1.7976931348623157E308"},
                         {1, "-1.7976931348623157e+308"},
                         {3, "1.7976931348623149E308"},
                         {4, "1E400"}}),
            0, {"1.7976931348623157E308", "-1.7976931348623157e+308", "Player 0", "1.79769313486231E+308", "1E400"});
    }

    void readRoster()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, index);
        QFETCH(QStringList, values);
        const RosterRead read = roster::readRoster(bytes);
        QTEST(int(read.values.size()), "count");
        QTEST(read.problem, "problem");
        QCOMPARE(read.values.mid(index, values.size()), values);
    }

    void writeRoster_data()
    {
        // place: in the file, 2 name, 3 cost, 4 points and 5 games of Centres 1, 281 the last Goalie's games
        QTest::addColumn<int>("place");
        QTest::addColumn<QString>("value");   // as the field holds it
        QTest::addColumn<QByteArray>("line"); // as players.txt holds it
        QTest::newRow("comma") << 3 << "1,5" << QByteArray("\"1,5\"");
        QTest::newRow("leading blank") << 3 << " 5" << QByteArray("\" 5\"");
        QTest::newRow("trailing tab") << 5 << "3\t" << QByteArray("\"3\t\"");
        QTest::newRow("cut to width, another number") << 4 << ".125" << QByteArray("\".125\"");
        // Unquoted, 1E3 would load as 1000 cut to the games field's 3 characters: 100.
        QTest::newRow("1E3 games, the last Goalie's") << 281 << "1E3" << QByteArray("\"1E3\"");
        QTest::newRow("1E9 cost") << 3 << "1E9" << QByteArray("\"1E9\"");
        QTest::newRow("a cost opening with a quote") << 3 << "\"7" << QByteArray("7");
        // A number whose shortest form is another number keeps its own text.
        QTest::newRow("money of 17 digits") << 0 << "0.30000000000000004" << QByteArray("\"0.30000000000000004\"");
        // A name is a whole line: never quoted, never trimmed, its line break a blank.
        QTest::newRow("name") << 2 << " Smith,\r\nJo" << QByteArray(" Smith,  Jo");
        // A box cuts a name inside a character of two UTF-16 units: the half left over is dropped.
        QTest::newRow("name cut inside a character")
            << 2 << QStringLiteral("\U0001F3D2 Jo") + QChar(0xD83D) << QByteArray("\xF0\x9F\x8F\x92 Jo");
        QTest::newRow("name starting with half a character")
            << 2 << QChar(0xDC00) + QStringLiteral("Jo") << QByteArray("Jo");
    }

    // The value is written as the row says and comes back, without its quotes, at its own place.
    void writeRoster()
    {
        QFETCH(int, place);
        QFETCH(QString, value);
        QFETCH(QByteArray, line);
        QStringList values(RosterValueCount, QStringLiteral("1"));
        values[place] = value;
        const QByteArray bytes = roster::writeRoster({values});
        QCOMPARE(bytes.split('\n').value(place).chopped(1), line);
        QCOMPARE(roster::readRoster(bytes).values.value(place), QString::fromUtf8(line).remove(u'"'));
    }

    // A save that must not or cannot write every byte says why, and leaves players.txt, the link there
    // and what it points to as they were, nothing beside them. `fault` is the node at players.txt, or
    // at the target of a link there; "interrupt N", the save interrupted at its Nth look for a fault
    // (one before each value, one before the commit); "full N", a disk on which a file grows to N
    // bytes at most (writes wait in a 16 KB buffer, so a small roster meets it only in the flush);
    // "folder a file", a file where the program's folder was. A link to a regular file stays a link,
    // and its file is written. In `why`, %1 is the link's target; "*" is any reason.
    void failedSave_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("why"); // empty: saved
        const QStringList ones(RosterValueCount, QStringLiteral("1"));
        QStringList longNames = ones;
        for (int index = 2; index < RosterValueCount; index += 4)
            longNames[index] = QString(1000, u'n');
        QStringList oneLongName = ones;
        oneLongName[2] = QString(40000, u'n');
        const auto full = [](const QStringList &values, int less) {
            return QStringLiteral("full %1").arg(roster::writeRoster({values}).size() - less);
        };
        const QString kind = "it is %1, not a file, and a save replaces only a file. Nothing was written, and the "
                             "roster in the window is kept.";
        const QString tooLarge = QStringLiteral("File too large.");
        // clang-format off
        QTest::newRow("interrupted part way") << "interrupt 142" << ones << "the save was interrupted.";
        QTest::newRow("interrupted before the commit") << QStringLiteral("interrupt %1").arg(RosterValueCount + 1) << ones << "the save was interrupted.";
        QTest::newRow("full disk: nothing fits, at the flush") << "full 0" << ones << tooLarge;
        QTest::newRow("full disk: one byte short, at the flush") << full(ones, 1) << ones << tooLarge;
        QTest::newRow("full disk: 70 KB of names, in a write") << "full 4096" << longNames << tooLarge;
        QTest::newRow("full disk: a name written in part") << "full 20000" << oneLongName << tooLarge;
        QTest::newRow("full disk: one byte of a name written") << "full 7" << oneLongName << tooLarge;
        QTest::newRow("full disk: a long name, the rest at the flush") << full(oneLongName, 1) << oneLongName << tooLarge;
        QTest::newRow("a pipe") << "fifo" << ones << kind.arg("a pipe (FIFO)");
        QTest::newRow("a socket") << "socket" << ones << kind.arg("a socket");
        QTest::newRow("a device") << "device" << ones << kind.arg("a device");
        QTest::newRow("a folder") << "folder" << ones << kind.arg("a folder");
        QTest::newRow("a link to a pipe") << "link to fifo" << ones << kind.arg("a link to %1, which is a pipe (FIFO)");
        QTest::newRow("a link to a file") << "link to file" << ones << "";
        QTest::newRow("a link to nothing") << "link to nothing" << ones << "it is a link to %1, which does not exist. Nothing was written, and the roster in the window is kept.";
        QTest::newRow("the program's folder now a file") << "folder a file" << ones << "*";
        // clang-format on
    }

    void failedSave()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, values);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString folder = dir.filePath("program"), elsewhere = dir.filePath("elsewhere");
        const QString path = folder + "/players.txt";
        QVERIFY(QDir().mkdir(folder) && QDir().mkdir(elsewhere));
        const bool link = fault.startsWith(u"link");
        const QString node = link ? elsewhere + u'/' + fault.section(u' ', -1) : path;
        const QByteArray node8 = QFile::encodeName(node);
        if (fault == u"socket")
            QVERIFY(::mknod(node8.constData(), S_IFSOCK | 0600, 0) == 0);
        else if (fault == u"device") {
            if (::mknod(node8.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
                QSKIP("Only root makes a device node (this one is a null device, like /dev/null).");
        } else if (fault.endsWith(u"fifo"))
            QVERIFY(::mkfifo(node8.constData(), 0600) == 0);
        else if (fault == u"folder")
            QVERIFY(QDir().mkdir(node));
        else if (fault == u"link to file")
            QVERIFY(QFile(node).open(QIODevice::WriteOnly) && QFile::resize(node, 10));
        else if (!link) // the sample roster, saved
            QVERIFY(QFile::copy(KORVANE_DATA_DIR "/players.txt", path));
        if (link)
            QVERIFY(QFile::link(node, path));
        if (fault == u"folder a file") // even root cannot save where a file stands in a folder's place
            QVERIFY(QDir().rename(folder, folder + "-moved") && QFile::copy(folder + "-moved/players.txt", folder));
        int checks = 0; // how often the save asked whether to stop: it stops at the row's count
        const int interruptAt = fault.startsWith(u"interrupt") ? fault.section(u' ', 1).toInt() : 0;
        if (interruptAt > 0)
            setSaveFaultForTests([&checks, interruptAt] { return ++checks == interruptAt; });
        const QStringList before = scene(dir.path());
        const auto openFiles = [] { return QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::System).size(); };
        const qsizetype openBefore = openFiles();

        QString error;
        bool saved = false;
        {
            std::optional<FileSizeLimit> disk;
            if (fault.startsWith(u"full"))
                QVERIFY(disk.emplace(rlim_t(fault.section(u' ', 1).toInt())).active());
            saved = saveRosterFile(path, {values}, &error);
        }
        QCOMPARE(openFiles(), openBefore); // every file the save opened is closed again
        QCOMPARE(checks, interruptAt);
        if (why.isEmpty()) {
            QVERIFY2(saved && error.isEmpty(), qPrintable(error));
            QVERIFY(QFileInfo(path).isSymLink() && fileBytes(node) == roster::writeRoster({values}));
            QCOMPARE(QDir(elsewhere).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"file"});
            return;
        }
        QCOMPARE(scene(dir.path()), before);
        QVERIFY(!saved);
        const QString prefix = "The roster was not saved to " + QDir::toNativeSeparators(path) + ": ";
        QVERIFY2(why == u"*" ? error.startsWith(prefix) : error == prefix + QString(why).replace("%1", node),
                 qPrintable(error));
    }

    // A sync the disk refuses is told; a file system that cannot sync is no failure. The file's
    // sync comes before the commit, so its failure leaves the saved roster as it was; the folder's
    // comes after, and is made even as descriptor 0.
    void syncFailures_data()
    {
        QTest::addColumn<int>("fileErrno");
        QTest::addColumn<int>("folderErrno");
        QTest::addColumn<QString>("why"); // empty: saved
        QTest::newRow("the file's, an I/O error") << EIO << 0 << "Input/output error.";
        for (const int e : {EINVAL, EROFS, ENOTSUP})
            QTest::addRow("the file's, errno %d", e) << e << 0 << QString();
        QTest::newRow("the folder's, an I/O error")
            << 0 << EIO
            << "the new roster was written, but its folder could not be synced to the disk (Input/output error).";
        for (const int e : {EINVAL, EROFS, ENOTSUP, EBADF})
            QTest::addRow("the folder's, errno %d", e) << 0 << e << QString();
    }
    void syncFailures()
    {
        QFETCH(int, fileErrno);
        QFETCH(int, folderErrno);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath("players.txt");
        QVERIFY(QFile::copy(KORVANE_DATA_DIR "/players.txt", path));
        const QByteArray before = fileBytes(path);
        const QStringList values(RosterValueCount, QStringLiteral("1"));
        QString error;
        const int input = ::dup(0); // with no standard input, the folder opens as descriptor 0
        ::close(0);
        failedSync = {fileErrno, folderErrno};
        const bool saved = saveRosterFile(path, {values}, &error);
        failedSync = {};
        QVERIFY(input < 0 || (::dup2(input, 0) == 0 && ::close(input) == 0));
        QCOMPARE(error, why.isEmpty() ? QString() : "The roster was not saved to " + path + ": " + why);
        QCOMPARE(saved, why.isEmpty());
        QCOMPARE(fileBytes(path), fileErrno == EIO ? before : roster::writeRoster({values}));
    }
};

QTEST_GUILESS_MAIN(TestRosterFile)
#include "tst_rosterfile.moc"
