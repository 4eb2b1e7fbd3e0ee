// SPDX-License-Identifier: MIT
// players.txt through the window: the load at start-up, Save, Reload and the save on closing.
// A save that fails is tst_faults'.
#include "rowsfixture.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace rowstest;

// A full roster in shortest form, in file order: Centres row 1 is "C player 1", costs 6, scores
// 0.75 a game and plays 3 games. Changes are (index in the file, text); lines cuts the file short.
static QByteArray sampleRoster(const QList<std::pair<int, QString>> &changes = {}, qsizetype lines = 282)
{
    QStringList values{QStringLiteral("100"), QStringLiteral("10")};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            values << QStringLiteral("%1 player %2").arg(roster::letter(p)).arg(r) << QString::number(5 + r % 7)
                   << QString::number((r % 4) * 0.25 + 0.5) << QString::number(2 + r % 3);
    for (const auto &[index, text] : changes)
        values[index] = text;
    return (values.mid(0, lines).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

class TestRosterWindow : public QObject {
    Q_OBJECT
    WindowFixture f;

    QString rosterPath() const { return f.folder->filePath(QStringLiteral("players.txt")); }

    // players.txt holds these bytes, and the window loads it as it does at start-up.
    void load(const QByteArray &bytes)
    {
        QSaveFile file(rosterPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit());
        f.window->Form_Load();
    }

private slots:
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    // A roster loaded, then saved at once. Names longer than Qt's usual 32,767 characters come back
    // whole; a line in Windows-1252 among UTF-8 ones keeps every line's accents and is saved as
    // UTF-8; only a text beyond what its field holds is cut, and told. A players.txt of 2 GB
    // (sparse here: one line of zeros) is read no further than a roster needs.
    void loadAndSave_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("size"); // the file is grown to this size with zeros
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("saved"); // empty: the content itself
        const QString longName(40000, u'n');
        QTest::newRow("40,000-character name")
            << sampleRoster({{2, longName}, {86, longName}}) << qint64(0) << QString() << QByteArray();
        const QByteArray utf8 = sampleRoster({{10, QStringLiteral("\u00C5ke Zo\u00EB")}});
        QTest::newRow("mixed encodings") << QByteArray(utf8).replace("C player 3\r", "Zo\xEB \x93Z\x94\r") << qint64(0)
                                         << QString()
                                         << QByteArray(utf8).replace("C player 3\r",
                                                                     "Zo\xC3\xAB \xE2\x80\x9CZ\xE2\x80\x9D\r");
        QTest::newRow("a name beyond its field") << sampleRoster({{6, QString(70000, u'm')}}) << qint64(0)
                                                 << "The name in Centres row 2 was cut to its first 65,536 characters."
                                                 << sampleRoster({{6, QString(65536, u'm')}});
        QTest::newRow("2 GB on one line")
            << QByteArray("0") << (qint64(2) << 30)
            << "players.txt is larger than 16 MB, and only 1 of its 282 values were read. The money was cut to its first "
               "65,536 characters. The fields after the last value read keep what they showed."
            << QByteArray();
    }
    void loadAndSave()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint64, size);
        QFETCH(QByteArray, saved);
        {
            QSaveFile file(rosterPath());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit());
        }
        if (size > 0)
            QVERIFY(QFile::resize(rosterPath(), size));
        f.window->Form_Load();
        QTEST(f.messages.join(u'|'), "message");
        if (size > 0)
            return;
        f.window->cmdSave->click();
        QFile file(rosterPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), saved.isEmpty() ? content : saved);
    }

    // File indexes: 0 money, 1 target, then 4 per row from 2 (Centres row 1: 2 name, 3 cost,
    // 4 points, 5 games), Wingers from 82, Defence from 162, Goalies from 222.
    // A roster with a comma in a name and empty fields, loaded, its first name edited, then a
    // command: Save writes it byte for byte; Reload answered No changes nothing; closing ends the
    // program either way, and only Yes writes the roster.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("written");
        QTest::newRow("Save") << "Save" << true << "" << true;
        QTest::newRow("Reload, No") << "Reload" << false
                                    << "Are you sure you want to reload the statistics, without saving?|Korvane" << false;
        QTest::newRow("close, No") << "close" << false << "Would you like to save?|Save?" << false;
        QTest::newRow("close, Yes") << "close" << true << "Would you like to save?|Save?" << true;
    }
    void commands()
    {
        QFETCH(QString, command);
        QFETCH(bool, answer);
        QFETCH(QString, asked);
        QFETCH(bool, written);
        const QList<std::pair<int, QString>> unusual{{30, "Smith, John"}, {95, ""}, {250, ""}, {251, ""}, {253, ""}};
        load(sampleRoster(unusual));
        f.cells(Position::C, 1).N->setText(QStringLiteral("Edited"));
        f.answer = answer;
        command == u"close" ? void(f.window->close()) : f.window->findChild<QPushButton *>("cmd" + command)->click();
        QCOMPARE(f.asked, asked);
        QCOMPARE(f.cells(Position::C, 1).N->text(), "Edited");
        QFile file(rosterPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), sampleRoster(unusual + decltype(unusual){{2, written ? "Edited" : "C player 1"}}));
        QCOMPARE(f.ends, int(command == u"close"));
    }

    // players.txt that is no regular file: Save, the auto-save before a search and Yes on closing
    // write nothing, replace nothing, and say why once; the rows in the window stay. A link to a
    // regular file stays a link, and the file it points to is written.
    void saveOntoNode_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("way");
        for (const char *node :
             {"FIFO", "folder", "link to a FIFO", "link to a device", "link to a folder", "link to a file", "dangling link"})
            QTest::addRow("%s, Save", node) << node << "Save";
        for (const char *node : {"FIFO", "link to a file", "dangling link"}) {
            QTest::addRow("%s, close", node) << node << "close";
            QTest::addRow("%s, search", node) << node << "search";
        }
    }
    void saveOntoNode()
    {
        QFETCH(QString, node);
        QFETCH(QString, way);
        const QString path = rosterPath();
        const QString elsewhere = f.folder->filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkdir(elsewhere));
        const QByteArray fifo = QFile::encodeName(node == u"FIFO" ? path : elsewhere + "/fifo");
        QString target; // what a link points to
        if (node.contains(u"FIFO"))
            QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        if (node == u"folder")
            QVERIFY(QDir().mkdir(path));
        if (node == u"link to a FIFO")
            target = QFile::decodeName(fifo);
        // A device of the test's own (a null device in its folder), never one of the system's:
        // a save that replaced it would replace /dev/null when run as root.
        if (node == u"link to a device") {
            target = elsewhere + "/null";
            if (::mknod(QFile::encodeName(target).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
                QSKIP("making a device node needs root");
        }
        if (node == u"link to a folder")
            target = elsewhere;
        if (node == u"link to a file") {
            target = elsewhere + "/roster.txt";
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(sampleRoster()) > 0);
        }
        if (node == u"dangling link")
            target = elsewhere + "/gone.txt";
        if (!target.isEmpty())
            QVERIFY(QFile::link(target, path));
        const QStringList entriesBefore = QDir(elsewhere).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        f.cells(Position::C, 1).N->setText(QStringLiteral("Kept Name"));
        f.window->chkASave->setChecked(true);
        f.answer = true;
        if (way == u"close")
            f.window->close();
        else
            (way == u"Save" ? f.window->cmdSave : f.window->cmdDo)->click();
        QCOMPARE(f.cells(Position::C, 1).N->text(), "Kept Name");

        const QFileInfo info(path);
        QStringList entries = QDir(elsewhere).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(QDir(f.folder->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System),
                 (QStringList{"elsewhere", "players.txt"}));
        QCOMPARE(entries, entriesBefore);
        if (node == u"link to a file") {
            QVERIFY(f.messages.filter("not saved").isEmpty());
            QVERIFY(info.isSymLink() && info.symLinkTarget() == target);
            QFile file(target);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.readAll().startsWith("50\r\n30\r\nKept Name\r\n"));
            return;
        }
        QString why;
        if (node == u"FIFO")
            why = "it is a pipe (FIFO), not a file";
        if (node == u"folder")
            why = "it is a folder, not a file";
        if (node == u"link to a FIFO")
            why = QStringLiteral("it is a link to %1, which is a pipe (FIFO), not a file").arg(target);
        if (node == u"link to a device")
            why = QStringLiteral("it is a link to %1, which is a device, not a file").arg(target);
        if (node == u"link to a folder")
            why = QStringLiteral("it is a link to %1, which is a folder, not a file").arg(target);
        if (node == u"dangling link")
            why = QStringLiteral("it is a link to %1, which does not exist").arg(target);
        const QString message = QStringLiteral("The roster was not saved to %1: %2%3. Nothing was written, and the "
                                               "roster in the window is kept.")
                                    .arg(path, why,
                                         node == u"dangling link" ? QString()
                                                                  : QStringLiteral(", and a save replaces only a file"));
        QCOMPARE(f.messages.value(0), message);
        QCOMPARE(f.messages.filter("not saved").size(), 1);
        // The node is what it was.
        struct stat st {};
        if (node == u"FIFO") {
            QVERIFY(::lstat(fifo.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
        } else if (node == u"folder") {
            QVERIFY(info.isDir() && !info.isSymLink()
                    && QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        } else {
            QVERIFY(info.isSymLink() && info.symLinkTarget() == target);
            if (node.contains(u"FIFO"))
                QVERIFY(::lstat(fifo.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
            if (node == u"dangling link")
                QVERIFY(!QFileInfo::exists(target));
        }
    }

    // A link that points nowhere at start-up is told as a missing roster is: not at all, and the
    // fields keep what they show.
    void danglingLinkAtStartUp()
    {
        QVERIFY(QFile::link(f.folder->filePath(QStringLiteral("gone.txt")), rosterPath()));
        f.window->txtCash->setText(QStringLiteral("77"));
        f.window->Form_Load();
        QCOMPARE(f.window->txtCash->text(), "77");
        QVERIFY(f.messages.isEmpty());
    }
};

QTEST_MAIN(TestRosterWindow)
#include "tst_rosterwindow.moc"
