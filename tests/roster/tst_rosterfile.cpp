#include "roster/rosterfile.h"

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

QTEST_GUILESS_MAIN(TestRosterFile)
#include "tst_rosterfile.moc"
