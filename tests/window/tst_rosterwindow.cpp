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

    // players.txt holds these bytes (grown to `size` with zeros), and the window loads it as it
    // does at start-up.
    void load(const QByteArray &bytes, qint64 size = 0)
    {
        QSaveFile file(rosterPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit());
        QVERIFY(size == 0 || QFile::resize(rosterPath(), size));
        f.window->Form_Load();
    }
    static QByteArray fileBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

private slots:
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    // A roster loaded, then saved at once. Names longer than Qt's usual 32,767 characters come back
    // whole up to the field's 65,536; only a text beyond what its field holds is cut, and told. A
    // line in Windows-1252 among UTF-8 ones keeps every line's accents and is saved as UTF-8. A
    // players.txt of 2 GB (sparse here: one line of zeros) is read no further than a roster needs.
    void loadAndSave_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("size"); // the file is grown to this size with zeros
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("saved"); // empty: the content itself
        const QString longest(65536, u'n');
        QTest::newRow("names of 65,536 characters")
            << sampleRoster({{2, longest}, {86, longest}}) << qint64(0) << QString() << QByteArray();
        QTest::newRow("a name of 65,537") << sampleRoster({{6, longest + u'm'}}) << qint64(0)
                                          << "The name in Centres row 2 was cut to its first 65,536 characters."
                                          << sampleRoster({{6, longest}});
        const QByteArray utf8 = sampleRoster({{10, QStringLiteral("\u00C5ke Zo\u00EB")}});
        QTest::newRow("mixed encodings") << QByteArray(utf8).replace("C player 3\r", "Zo\xEB \x93Z\x94\r") << qint64(0)
                                         << QString()
                                         << QByteArray(utf8).replace("C player 3\r",
                                                                     "Zo\xC3\xAB \xE2\x80\x9CZ\xE2\x80\x9D\r");
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
        load(content, size);
        QTEST(f.messages.join(u'|'), "message");
        if (size > 0)
            return;
        f.window->cmdSave->click();
        QCOMPARE(fileBytes(rosterPath()), saved.isEmpty() ? content : saved);
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
        QCOMPARE(fileBytes(rosterPath()), sampleRoster(unusual + decltype(unusual){{2, written ? "Edited" : "C player 1"}}));
        QCOMPARE(f.ends, int(command == u"close"));
    }

    // players.txt that is no regular file: Save, the auto-save before a search and Yes on closing
    // write nothing, replace nothing, and say why once; the rows in the window stay. A link to a
    // regular file stays a link, and the file it points to is written. %1 is the link's target.
    void saveOntoNode_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("why"); // empty: saved
        const QString kind = QStringLiteral("it is a link to %1, which is %2, not a file");
        const std::pair<const char *, QString> nodes[] = {{"FIFO", "it is a pipe (FIFO), not a file"},
                                                          {"folder", "it is a folder, not a file"},
                                                          {"link to a FIFO", kind.arg("%1", "a pipe (FIFO)")},
                                                          {"link to a device", kind.arg("%1", "a device")},
                                                          {"link to a folder", kind.arg("%1", "a folder")},
                                                          {"link to a file", ""},
                                                          {"dangling link", "it is a link to %1, which does not exist"}};
        for (const auto &[node, why] : nodes) {
            QTest::addRow("%s, Save", node) << node << "Save" << why;
            if (QByteArray(node).contains("FIFO") || QByteArray(node).contains("file")
                || QByteArray(node).contains("dangling"))
                for (const char *way : {"close", "search"})
                    QTest::addRow("%s, %s", node, way) << node << way << why;
        }
    }
    void saveOntoNode()
    {
        QFETCH(QString, node);
        QFETCH(QString, way);
        QFETCH(QString, why);
        const QString path = rosterPath();
        const QString elsewhere = f.folder->filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkdir(elsewhere));
        const QByteArray fifo = QFile::encodeName(node == u"FIFO" ? path : elsewhere + "/fifo");
        const QString target = elsewhere
                               + (node.endsWith(u"FIFO")         ? "/fifo"
                                  : node.endsWith(u"device")     ? "/null"
                                  : node.endsWith(u"file")       ? "/roster.txt"
                                  : node.startsWith(u"dangling") ? "/gone.txt"
                                                                 : "");
        if (node.contains(u"FIFO"))
            QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        if (node == u"folder")
            QVERIFY(QDir().mkdir(path));
        // A device of the test's own (a null device in its folder), never one of the system's:
        // a save that replaced it would replace /dev/null when run as root.
        if (node.endsWith(u"device") && ::mknod(QFile::encodeName(target).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("making a device node needs root");
        if (node.endsWith(u"file"))
            QVERIFY(QFile(target).open(QIODevice::WriteOnly) && QFile::resize(target, 10));
        if (node.startsWith(u"link") || node.startsWith(u"dangling"))
            QVERIFY(QFile::link(target, path));
        const auto entries = [](const QString &folder) {
            return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
        };
        const QStringList entriesBefore = entries(elsewhere);

        f.cells(Position::C, 1).N->setText(QStringLiteral("Kept Name"));
        f.window->chkASave->setChecked(true);
        f.answer = true;
        way == u"close" ? void(f.window->close()) : (way == u"Save" ? f.window->cmdSave : f.window->cmdDo)->click();
        QCOMPARE(f.cells(Position::C, 1).N->text(), "Kept Name");
        QCOMPARE(f.window->chkASave->text(), "   Auto Save   Before Searching"); // not left at "Saving..."
        QCOMPARE(entries(f.folder->path()), (QStringList{"elsewhere", "players.txt"}));
        QCOMPARE(entries(elsewhere), entriesBefore);
        const QFileInfo info(path);
        if (why.isEmpty()) {
            QVERIFY(f.messages.filter("not saved").isEmpty());
            QVERIFY(info.isSymLink() && info.symLinkTarget() == target);
            QVERIFY(fileBytes(target).startsWith("50\r\n30\r\nKept Name\r\n"));
            return;
        }
        QCOMPARE(f.messages.filter("not saved"),
                 QStringList{QStringLiteral("The roster was not saved to %1: %2%3. Nothing was written, and the roster in "
                                            "the window is kept.")
                                 .arg(path, why.contains(u'%') ? why.arg(target) : why,
                                      node == u"dangling link" ? "" : ", and a save replaces only a file")});
        // The node is what it was.
        struct stat st {};
        if (node.contains(u"FIFO"))
            QVERIFY(::lstat(fifo.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
        if (node == u"folder")
            QVERIFY(info.isDir() && !info.isSymLink() && entries(path).isEmpty());
        else if (node != u"FIFO")
            QVERIFY(info.isSymLink() && info.symLinkTarget() == target);
        QVERIFY(node != u"dangling link" || !QFileInfo::exists(target));
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
