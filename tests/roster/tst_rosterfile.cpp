#include "roster/rosterfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace roster;

namespace {

// A well-formed roster (money, target, then name, cost, points and games of every row) with some
// of its lines changed.
QByteArray rosterBytes(std::initializer_list<std::pair<int, QByteArray>> changes = {}, QByteArray end = "\r\n")
{
    QByteArrayList lines{"90", "25"};
    for (int row = 0; row < 70; ++row)
        lines << "Player " + QByteArray::number(row) << QByteArray::number(row % 15 + 1) << "1.25" << "3";
    for (const auto &[line, text] : changes)
        lines[line] = text;
    return lines.join(end) + end;
}

RosterTexts rosterTexts() { return {QString::fromLatin1(rosterBytes().chopped(2)).split(QStringLiteral("\r\n"))}; }

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class TestRosterFile : public QObject
{
    Q_OBJECT
private slots:
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
        // A quote left open ends at its line end rather than swallowing the rest of the roster; unquoted
        // values lose the blanks around them.
        row("quoted", rosterBytes({{3, " \"1,5\" junk"}, {4, "\"12"}, {5, " x\t"}}), 3, {"1,5", "12", "x", "Player 1"});
        // The comma splits the cost, every later field moves up a line and the last line is never read.
        row("1,5 in a cost", rosterBytes({{3, "1,5"}}), 278, {"3", "Player 69", "10", "1.25"});
        row("name keeps its comma", rosterBytes({{2, "Smith, John"}}), 2, {"Smith, John", "1"});
        row("shortest form", rosterBytes({{3, "0010"}, {4, "007.50"}, {5, " +2 "}}), 3, {"10", "7.5", "2"});
        row("longer than its width", rosterBytes({{3, "123456789"}}), 3, {"123456789"});
        row("extra lines", rosterBytes() + "extra\r\n", 281, {"3"});
        row("empty input", {}, 0, {}, 0);
        row("truncated", rosterBytes().left(rosterBytes().indexOf("Player 35") + 6), 142, {"Player"}, 143,
            "players.txt ended after 143 of 282 values.");
        row("lone LF", rosterBytes({}, "\n"), 280, {"1.25", "3"});
        row("Latin-1", rosterBytes({{2, "Andr\xE9"}}), 2, {QStringLiteral("Andr\u00E9")});
        row("Windows-1252", rosterBytes({{2, "O\x92Neil"}}), 2, {QStringLiteral("O\u2019Neil")});
        // The byte-order mark is the file's, not the money's.
        row("UTF-8", "\xEF\xBB\xBF" + rosterBytes({{2, "J\xC3\xB6rg"}}), 0, {"90", "25", QStringLiteral("J\u00F6rg")});
        // At the very top of the range the 15-digit form rounds past the largest number there is.
        row("largest number", rosterBytes({{0, "1.7976931348623157E308"}}), 0, {"1.7976931348623157E308"});
        row("largest negative", rosterBytes({{3, "-1.7976931348623157e+308"}}), 3, {"-1.7976931348623157e+308"});
        row("just under the top", rosterBytes({{0, "1.7976931348623149E308"}}), 0, {"1.79769313486231E+308"});
        row("too large stays text", rosterBytes({{0, "1E400"}}), 0, {"1E400"});
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

    void roundTrip()
    {
        const QByteArray sample = fileBytes(KORVANE_DATA_DIR "/players.txt");
        QCOMPARE(roster::writeRoster({roster::readRoster(sample).values}), sample);
    }

    void writeRoster_data()
    {
        QTest::addColumn<int>("place"); // in the file: 0 money, then 2 name, 3 cost, 4 points, 5 games of Centres 1
        QTest::addColumn<QString>("value");    // as the field holds it
        QTest::addColumn<QByteArray>("line");  // as players.txt holds it
        QTest::addColumn<QString>("readBack"); // as the load hands it to the field
        QTest::newRow("plain number") << 3 << "12" << QByteArray("12") << "12";
        QTest::newRow("comma") << 3 << "1,5" << QByteArray("\"1,5\"") << "1,5";
        QTest::newRow("leading blank") << 3 << " 5" << QByteArray("\" 5\"") << " 5";
        QTest::newRow("trailing tab") << 5 << "3\t" << QByteArray("\"3\t\"") << "3\t";
        QTest::newRow("cut to width, another number") << 4 << ".125" << QByteArray("\".125\"") << ".125";
        QTest::newRow("leading double quote") << 0 << "\"quoted\"" << QByteArray("quoted") << "quoted";
        QTest::newRow("line break in a field") << 0 << "5\r\n" << QByteArray("\"5  \"") << "5  ";
        // A name is a whole line: never quoted, never trimmed.
        QTest::newRow("name") << 2 << " Smith,\r\nJo" << QByteArray(" Smith,  Jo") << " Smith,  Jo";
    }

    // The value is written as the row says and every value comes back at its own place.
    void writeRoster()
    {
        QFETCH(int, place);
        QFETCH(QString, value);
        QFETCH(QString, readBack);
        RosterTexts texts = rosterTexts();
        texts.values[place] = value;
        const QByteArray bytes = roster::writeRoster(texts);
        QTEST(bytes.split('\n').value(place).chopped(1), "line");
        texts.values[place] = readBack;
        QCOMPARE(roster::readRoster(bytes).values, texts.values);
    }

    void save_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::addColumn<int>("failAt"); // which of the seam's checks interrupts the save; 0 none
        QTest::newRow("replaces the old file") << false << 0;
        QTest::newRow("folder path is a regular file") << true << 0; // stops root too
        QTest::newRow("interrupted at the first value") << false << 1;
        QTest::newRow("interrupted before the commit") << false << RosterValueCount + 1;
    }

    // A save that fails says so and leaves the old roster byte for byte, with nothing beside it.
    void save()
    {
        QFETCH(bool, folderIsAFile);
        QFETCH(int, failAt);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(KORVANE_DATA_DIR "/players.txt", dir.filePath("players.txt")));
        const QString target = dir.filePath(folderIsAFile ? "players.txt/players.txt" : "players.txt");
        QString error;
        setSaveFaultForTests([checks = 0, failAt]() mutable { return ++checks == failAt; });
        const bool saved = saveRosterFile(target, rosterTexts(), &error);
        setSaveFaultForTests({});

        QCOMPARE(saved, !folderIsAFile && failAt == 0);
        QCOMPARE(fileBytes(dir.filePath("players.txt")),
                 saved ? rosterBytes() : fileBytes(KORVANE_DATA_DIR "/players.txt"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"players.txt"});
        const QString failure = "The roster was not saved to " + QDir::toNativeSeparators(target) + ": ";
        QVERIFY2(saved ? error.isEmpty() : error.startsWith(failure) && error.endsWith('.') && !error.endsWith(".."),
                 qPrintable(error));
        QCOMPARE(error.endsWith(": the save was interrupted."), failAt > 0);
    }
};

QTEST_GUILESS_MAIN(TestRosterFile)
#include "tst_rosterfile.moc"
