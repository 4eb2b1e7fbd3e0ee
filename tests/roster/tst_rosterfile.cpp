#include "roster/rosterfile.h"

#include "roster/grid.h"
#include "roster/numbers.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace roster;

namespace {

// A well-formed roster: money, target, then name, cost, points and games of every row.
QList<QByteArray> rosterLines()
{
    QList<QByteArray> lines{"90", "25"};
    for (int row = 0; row < 70; ++row)
        lines << "Player " + QByteArray::number(row) << QByteArray::number(row % 15 + 1) << "1.25" << "3";
    return lines;
}

QByteArray joined(const QList<QByteArray> &lines, const QByteArray &end = "\r\n")
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + end;
    return bytes;
}

QByteArray rosterWith(int line, const QByteArray &text)
{
    QList<QByteArray> lines = rosterLines();
    lines[line] = text;
    return joined(lines);
}

RosterTexts rosterTexts(const QString &value = {})
{
    RosterTexts texts;
    for (const QByteArray &line : rosterLines())
        texts.values << (value.isNull() ? QString::fromLatin1(line) : value);
    return texts;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestRosterFile : public QObject
{
    Q_OBJECT
private slots:
    void readRoster_data();
    void readRoster();
    void anyBytesLoadSafely();
    void roundTrip_data();
    void roundTrip();
    void saveReplacesExistingFile();
    void saveFailures_data();
    void saveFailures();
    void fieldValuesReadBack_data();
    void fieldValuesReadBack();
    void typedValuesReadBack();
    void interruptedSave_data();
    void interruptedSave();
};

void TestRosterFile::readRoster_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("index"); // the value looked at
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("problem");
    const QString ok;
    const QString ended = QStringLiteral("players.txt ended after %1 of 282 values.");
    QTest::newRow("quoted, rest skipped") << rosterWith(3, "  \"007\" junk") << 3 << "007" << 282 << ok;
    QTest::newRow("quoted comma") << rosterWith(3, "\"1,5\"") << 4 << "1.25" << 282 << ok;
    QTest::newRow("unclosed quote ends at line end") << rosterWith(3, "\"12") << 4 << "1.25" << 282 << ok;
    QTest::newRow("1,5 splits the cost") << rosterWith(3, "1,5") << 4 << "5" << 282 << ok;
    QTest::newRow("1,5 shifts the rest") << rosterWith(3, "1,5") << 281 << "1.25" << 282 << ok;
    QTest::newRow("name keeps its comma") << rosterWith(2, "Smith, John") << 2 << "Smith, John" << 282 << ok;
    QTest::newRow("leading zeros") << rosterWith(3, "0010") << 3 << "10" << 282 << ok;
    QTest::newRow("trailing zeros") << rosterWith(4, "007.50") << 4 << "7.5" << 282 << ok;
    QTest::newRow("plus and blanks") << rosterWith(0, " \t+2  ") << 0 << "2" << 282 << ok;
    QTest::newRow("too large stays text") << rosterWith(0, "1E400") << 0 << "1E400" << 282 << ok;
    QTest::newRow("top of the range stays as written")
        << rosterWith(0, "1.7976931348623157E308") << 0 << "1.7976931348623157E308" << 282 << ok;
    QTest::newRow("negative top of the range stays as written")
        << rosterWith(3, "-1.7976931348623157e+308") << 3 << "-1.7976931348623157e+308" << 282 << ok;
    QTest::newRow("just under the top, shortest form")
        << rosterWith(0, "1.7976931348623149E308") << 0 << "1.79769313486231E+308" << 282 << ok;
    QTest::newRow("text trimmed") << rosterWith(3, "  abc \t") << 3 << "abc" << 282 << ok;
    QTest::newRow("long line whole") << rosterWith(3, "123456789") << 3 << "123456789" << 282 << ok;
    QTest::newRow("empty line") << rosterWith(3, "") << 3 << "" << 282 << ok;
    QTest::newRow("extra lines") << joined(rosterLines() << "extra") << 281 << "3" << 282 << ok;
    QTest::newRow("empty input") << QByteArray() << -1 << "" << 0 << ok;
    QTest::newRow("truncated") << joined(rosterLines().mid(0, 143)) << 142 << "Player 35" << 143 << ended.arg(143);
    QTest::newRow("only a BOM") << QByteArray("\xEF\xBB\xBF") << -1 << "" << 0 << ended.arg(0);
    QTest::newRow("blanks at the end") << joined(rosterLines().mid(0, 3)) + "  " << 3 << "" << 4 << ended.arg(4);
    QTest::newRow("last line end missing") << joined(rosterLines()).chopped(2) << 281 << "3" << 282 << ok;
    QTest::newRow("lone LF") << joined(rosterLines(), "\n") << 281 << "3" << 282 << ok;
    QTest::newRow("lone CR") << joined(rosterLines(), "\r") << 281 << "3" << 282 << ok;
    QTest::newRow("BOM dropped") << "\xEF\xBB\xBF" + joined(rosterLines()) << 0 << "90" << 282 << ok;
    QTest::newRow("Latin-1") << rosterWith(2, "Andr\xE9") << 2 << QStringLiteral("Andr\u00E9") << 282 << ok;
    QTest::newRow("Windows-1252") << rosterWith(2, "O\x92Neil") << 2 << QStringLiteral("O\u2019Neil") << 282 << ok;
    QTest::newRow("UTF-8") << rosterWith(2, "J\xC3\xB6rg") << 2 << QStringLiteral("J\u00F6rg") << 282 << ok;
    QTest::newRow("UTF-8 cut off") << QByteArray("1\r\n2\r\nJos\xC3") << 2 << QStringLiteral("Jos\u00C3") << 3 << ended.arg(3);
}

void TestRosterFile::readRoster()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, index);
    QFETCH(QString, value);
    QFETCH(int, count);
    QFETCH(QString, problem);
    const RosterRead read = roster::readRoster(bytes);
    QCOMPARE(read.values.size(), count);
    QCOMPARE(read.problem, problem);
    if (index >= 0)
        QCOMPARE(read.values.at(index), value);
}

void TestRosterFile::anyBytesLoadSafely()
{
    // Garbage made of what the reader cares about most: never more values than the roster holds,
    // a problem exactly when values are missing, and never a line break inside a value.
    const QByteArray alphabet("\"\",,\r\n\r\n \t0159.eE+-a\0\xFF\xC3", 23);
    QRandomGenerator random(1234);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes(random.bounded(1, 600), Qt::Uninitialized);
        for (char &byte : bytes)
            byte = alphabet.at(random.bounded(alphabet.size()));
        const RosterRead read = roster::readRoster(bytes);
        QVERIFY(read.values.size() <= RosterValueCount);
        QCOMPARE(read.problem.isEmpty(), read.values.size() == RosterValueCount);
        for (const QString &value : read.values)
            QVERIFY(!value.contains(u'\r') && !value.contains(u'\n'));
    }
}

void TestRosterFile::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("sample roster") << fileBytes(KORVANE_DATA_DIR "/players.txt");
    QTest::newRow("ASCII roster") << joined(rosterLines());
    QTest::newRow("empty rows") << joined(QList<QByteArray>(282));
    QTest::newRow("UTF-8 names") << rosterWith(2, "Zo\xC3\xAB \xC5\x81uk");
}

void TestRosterFile::roundTrip()
{
    QFETCH(QByteArray, bytes);
    const RosterRead read = roster::readRoster(bytes);
    QCOMPARE(read.problem, QString());
    QCOMPARE(writeRoster({read.values}), bytes);

    // A line break that reached a value must not shift the values after it.
    RosterTexts texts{read.values};
    texts.values[2] = "two\r\nlines";
    QCOMPARE(roster::readRoster(writeRoster(texts)).values.mid(3), read.values.mid(3));
}

void TestRosterFile::saveReplacesExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("players.txt");
    QVERIFY(writeFile(path, "old roster\r\n"));
    QString error;
    QVERIFY(saveRosterFile(path, rosterTexts(), &error));
    QCOMPARE(error, QString());
    QCOMPARE(fileBytes(path), joined(rosterLines()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"players.txt"});
}

void TestRosterFile::saveFailures_data()
{
    QTest::addColumn<bool>("underAFile");
    QTest::newRow("read-only folder") << false;
    QTest::newRow("folder is a plain file") << true; // stops root too
}

void TestRosterFile::saveFailures()
{
    QFETCH(bool, underAFile);
    QTemporaryDir dir;
    const QString folder = dir.filePath("roster");
    const QString path = folder + "/players.txt";
    QVERIFY(QDir(dir.path()).mkdir("roster") && writeFile(path, "old roster\r\n"));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    QFile probe(folder + "/probe");
    const bool ignoresPermissions = probe.open(QIODevice::WriteOnly) && probe.remove();
    const QString target = underAFile ? path + "/players.txt" : path;

    QString error;
    const bool saved = (ignoresPermissions && !underAFile) || saveRosterFile(target, rosterTexts("new"), &error);
    const bool savedWithoutMessage = saved || saveRosterFile(target, rosterTexts("new"), nullptr);
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    if (ignoresPermissions && !underAFile)
        QSKIP("These rights write into a read-only folder");

    QVERIFY(!saved && !savedWithoutMessage);
    QVERIFY2(error.startsWith("The roster was not saved to " + QDir::toNativeSeparators(target) + ": "), qPrintable(error));
    QVERIFY(error.endsWith('.') && !error.endsWith(".."));
    QCOMPARE(fileBytes(path), QByteArray("old roster\r\n"));
    QCOMPARE(files, QStringList{"players.txt"});
}

// File places of the values the rows below change: the money, then Centres row 1.
enum Place { Money = 0, Name = 2, Cost = 3, Points = 4, Games = 5 };

void TestRosterFile::fieldValuesReadBack_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("value");      // as the field holds it
    QTest::addColumn<QByteArray>("line");    // as players.txt holds it
    QTest::addColumn<QString>("readBack");   // as the load hands it to the field

    // Written as they stand: the values every roster holds stay byte for byte what they were.
    QTest::newRow("plain number") << int(Cost) << "12" << QByteArray("12") << "12";
    QTest::newRow("empty") << int(Games) << "" << QByteArray("") << "";
    QTest::newRow("inner blank") << int(Cost) << "1 5" << QByteArray("1 5") << "1 5";
    QTest::newRow("inner double quote") << int(Cost) << "1\"5" << QByteArray("1\"5") << "1\"5";
    QTest::newRow("control character") << int(Points) << "\x01" << QByteArray("\x01") << "\x01";
    QTest::newRow("too large for a number") << int(Money) << "1E400" << QByteArray("1E400") << "1E400";
    QTest::newRow("same number, shortest form") << int(Points) << "7.50" << QByteArray("7.50") << "7.5";
    QTest::newRow("leading zeros") << int(Cost) << "007" << QByteArray("007") << "7";
    QTest::newRow("longer than the field") << int(Cost) << "12345" << QByteArray("12345") << "12345";

    // Quoted, so that the comma or the blanks survive.
    QTest::newRow("cost 1,5") << int(Cost) << "1,5" << QByteArray("\"1,5\"") << "1,5";
    QTest::newRow("money 1,000") << int(Money) << "1,000" << QByteArray("\"1,000\"") << "1,000";
    QTest::newRow("comma in text") << int(Points) << "a,b" << QByteArray("\"a,b\"") << "a,b";
    QTest::newRow("leading blank") << int(Cost) << " 5" << QByteArray("\" 5\"") << " 5";
    QTest::newRow("trailing tab") << int(Games) << "3\t" << QByteArray("\"3\t\"") << "3\t";
    QTest::newRow("tab alone") << int(Games) << "\t" << QByteArray("\"\t\"") << "\t";
    QTest::newRow("blanks only") << int(Points) << "   " << QByteArray("\"   \"") << "   ";
    QTest::newRow("non-ASCII, blank at the end") << int(Cost) << QStringLiteral("\u00C5 \u00F1 ")
                                                 << QByteArray("\"\xC3\x85 \xC3\xB1 \"") << QStringLiteral("\u00C5 \u00F1 ");
    QTest::newRow("byte-order mark first") << int(Money) << QStringLiteral("\uFEFF5")
                                           << QByteArray("\"\xEF\xBB\xBF" "5\"") << QStringLiteral("\uFEFF5");

    // Quoted, so that the shortest form cut to the field's width does not read as another number.
    QTest::newRow("points .125") << int(Points) << ".125" << QByteArray("\".125\"") << ".125";
    QTest::newRow("cost -.05") << int(Cost) << "-.05" << QByteArray("\"-.05\"") << "-.05";
    QTest::newRow("cost 1E40") << int(Cost) << "1E40" << QByteArray("\"1E40\"") << "1E40";
    QTest::newRow("games 1E4") << int(Games) << "1E4" << QByteArray("\"1E4\"") << "1E4";
    QTest::newRow("money beyond 15 digits") << int(Money) << "123456789012345678"
                                            << QByteArray("\"123456789012345678\"") << "123456789012345678";
    QTest::newRow("money 1.0000000000000001 is 1") << int(Money) << "1.0000000000000001"
                                                   << QByteArray("1.0000000000000001") << "1";

    // Double quotes no field value can carry through the file: dropped.
    QTest::newRow("lone double quote") << int(Cost) << "\"" << QByteArray("") << "";
    QTest::newRow("quoted text") << int(Money) << "\"quoted\"" << QByteArray("quoted") << "quoted";
    QTest::newRow("quote, comma") << int(Cost) << "a,\"b" << QByteArray("\"a,b\"") << "a,b";
    QTest::newRow("blank, quote") << int(Points) << " \"x" << QByteArray("\" x\"") << " x";
    QTest::newRow("quoted 1,5") << int(Cost) << "\"1,5\"" << QByteArray("\"1,5\"") << "1,5";

    // Line breaks become blanks, in names and fields alike; the blank may then need quotes.
    QTest::newRow("line break in a field") << int(Points) << "1\n5" << QByteArray("1 5") << "1 5";
    QTest::newRow("line end after money") << int(Money) << "5\r\n" << QByteArray("\"5  \"") << "5  ";
    QTest::newRow("line break in a name") << int(Name) << "two\r\nlines" << QByteArray("two  lines") << "two  lines";

    // Half a character, left where a text box cut a pasted text, is no character: dropped.
    const QChar highHalf(0xD83D), lowHalf(0xDE00);
    QTest::newRow("half a character in a cost") << int(Cost) << QStringLiteral("a\U0001F600") + highHalf
                                                << QByteArray("a\xF0\x9F\x98\x80") << QStringLiteral("a\U0001F600");
    QTest::newRow("half a character in a name") << int(Name) << lowHalf + QStringLiteral("Bo") + highHalf
                                                << QByteArray("Bo") << "Bo";

    // Names are whole lines: commas, quotes and blanks stay as typed, never quoted.
    QTest::newRow("name with comma and quotes") << int(Name) << "\"Smith, John\"" << QByteArray("\"Smith, John\"")
                                                << "\"Smith, John\"";
    QTest::newRow("name with blanks around") << int(Name) << "  Al \t" << QByteArray("  Al \t") << "  Al \t";
    QTest::newRow("name of a lone quote") << int(Name) << "\"" << QByteArray("\"") << "\"";
}

void TestRosterFile::fieldValuesReadBack()
{
    QFETCH(int, place);
    QFETCH(QString, value);
    QFETCH(QByteArray, line);
    QFETCH(QString, readBack);

    RosterTexts texts = rosterTexts();
    texts.values[place] = value;
    const QByteArray bytes = writeRoster(texts);
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), RosterValueCount + 1);
    QCOMPARE(lines[place], line + '\r');

    // Every other value comes back at its own place: nothing shifted.
    const RosterRead read = roster::readRoster(bytes);
    QCOMPARE(read.problem, QString());
    QStringList expected = texts.values;
    expected[place] = readBack;
    QCOMPARE(read.values, expected);
}

// Whatever the fields can hold, a double quote and a line break apart, reads back as it was typed,
// or as the same number in its shortest form, and never moves another value.
void TestRosterFile::typedValuesReadBack()
{
    const QString alphabet = QStringLiteral(",,  \t\t0123456789..eE+-a\u00C5\u017E\x01");
    const int widths[] = {-1, -1, CostWidth, PointsWidth, GamesWidth};
    QRandomGenerator random(2024);
    for (int round = 0; round < 300; ++round) {
        RosterTexts texts = rosterTexts();
        for (qsizetype i = 0; i < texts.values.size(); ++i) {
            if (i >= 2 && (i - 2) % 4 == 0)
                continue; // names stay as markers of where every row lies
            const int width = widths[i < 2 ? 0 : (i - 2) % 4 + 1];
            QString value;
            const int length = random.bounded(width < 0 ? 12 : width + 1);
            for (int k = 0; k < length; ++k)
                value += alphabet.at(random.bounded(alphabet.size()));
            texts.values[i] = value;
        }
        const RosterRead read = roster::readRoster(writeRoster(texts));
        QCOMPARE(read.problem, QString());
        for (qsizetype i = 0; i < texts.values.size(); ++i) {
            const QString &typed = texts.values[i];
            const int width = i < 2 ? -1 : widths[(i - 2) % 4 + 1];
            const QString back = cutToWidth(read.values[i], i >= 2 && (i - 2) % 4 == 0 ? -1 : width);
            if (back == typed)
                continue;
            const std::optional<double> a = toDouble(typed);
            const std::optional<double> b = toDouble(back);
            QVERIFY2(a && b && *a == *b, qPrintable(QStringLiteral("value %1: \"%2\" came back as \"%3\"")
                                                         .arg(i).arg(typed, back)));
        }
    }
}

// A save stopped at any point leaves the saved roster byte for byte, and no stray file beside it.
void TestRosterFile::interruptedSave_data()
{
    QTest::addColumn<int>("failAt"); // which of the save's checks fails, from 1
    QTest::newRow("before the first value") << 1;
    QTest::newRow("after the money") << 2;
    QTest::newRow("halfway through the Wingers") << 120;
    QTest::newRow("before the last value") << RosterValueCount;
    QTest::newRow("after the last value, before the commit") << RosterValueCount + 1;
}

void TestRosterFile::interruptedSave()
{
    QFETCH(int, failAt);
    QTemporaryDir dir;
    const QString path = dir.filePath("players.txt");
    const QByteArray old = joined(rosterLines());
    QVERIFY(writeFile(path, old));

    int checks = 0;
    setSaveFaultForTests([&] { return ++checks == failAt; });
    QString error;
    const bool saved = saveRosterFile(path, rosterTexts("new"), &error);
    setSaveFaultForTests({});

    QVERIFY(!saved);
    QCOMPARE(checks, failAt);
    QCOMPARE(error, "The roster was not saved to " + QDir::toNativeSeparators(path) + ": the save was interrupted.");
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"players.txt"});

    // The seam asked at every point and never failing: the save goes through.
    checks = 0;
    setSaveFaultForTests([&] { return ++checks < 0; });
    QVERIFY(saveRosterFile(path, rosterTexts("new"), &error));
    setSaveFaultForTests({});
    QCOMPARE(checks, RosterValueCount + 1);
    QCOMPARE(fileBytes(path), joined(QList<QByteArray>(RosterValueCount, "new")));
}

QTEST_GUILESS_MAIN(TestRosterFile)
#include "tst_rosterfile.moc"
