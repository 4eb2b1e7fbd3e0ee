// SPDX-License-Identifier: MIT
// players.txt through the window: the load at start-up, Save, Reload and the save on closing,
// and saves that cannot be made.
#include "../roster/filesizelimit.h"
#include "rowsfixture.h"

#include "rosterfile.h"

#include <sys/stat.h>

using namespace rowstest;

// A full roster in shortest form, in file order: Centres row 1 is "C player 1", costs 6, scores
// 0.75 a game and plays 3 games. Changes are (index in the file, text).
static QByteArray sampleRoster(const QList<std::pair<int, QString>> &changes = {})
{
    QStringList values{QStringLiteral("100"), QStringLiteral("10")};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            values << QStringLiteral("%1 player %2").arg(roster::letter(p)).arg(r) << QString::number(5 + r % 7)
                   << QString::number((r % 4) * 0.25 + 0.5) << QString::number(2 + r % 3);
    for (const auto &[index, text] : changes)
        values[index] = text;
    return (values.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
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

private slots:
    void init() { f.start(); }
    void cleanup()
    {
        roster::setSaveFaultForTests({});
        f.stop();
    }

    // A players.txt of 2 GB (sparse here: one line of zeros) is read no further than a roster needs.
    void hugeRoster()
    {
        load("0", qint64(2) << 30);
        QCOMPARE(f.messages.join(u'|'),
                 "players.txt is larger than 16 MB, and only 1 of its 282 values were read. The money was cut to its first "
                 "65,536 characters. The fields after the last value read keep what they showed.");
        QCOMPARE(f.window->txtCash->text().size(), 65536);
    }

    // File indexes: 0 money, 1 target, then 4 per row from 2 (Centres row 1: 2 name, 3 cost,
    // 4 points, 5 games), Wingers from 82, Defence from 162, Goalies from 222.
    // A roster with a comma in a name, empty fields and names longer than Qt's usual 32,767
    // characters, loaded, its first name edited, then a command: Save writes it byte for byte;
    // Reload answered No changes nothing; closing ends the program either way, and only Yes
    // writes the roster. A name comes back whole up to the field's 65,536 characters; only a
    // longer one is cut, and told.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("written");
        // clang-format off
        QTest::newRow("Save") << "Save" << true << "" << true;
        QTest::newRow("Reload, No") << "Reload" << false << "Are you sure you want to reload the statistics, without saving?|Korvane" << false;
        QTest::newRow("close, No") << "close" << false << "Would you like to save?|Save?" << false;
        QTest::newRow("close, Yes") << "close" << true << "Would you like to save?|Save?" << true;
        // clang-format on
    }
    void commands()
    {
        QFETCH(QString, command);
        QFETCH(bool, answer);
        QFETCH(bool, written);
        const QString longest(65536, u'n');
        QList<std::pair<int, QString>> file{{30, "Smith, John"}, {95, ""},      {250, ""},          {251, ""},
                                            {253, ""},           {86, longest}, {6, longest + u'm'}};
        load(sampleRoster(file));
        QCOMPARE(f.messages, QStringList{"The name in Centres row 2 was cut to its first 65,536 characters."});
        f.window->row(Position::C, 1).N->setText(QStringLiteral("Edited"));
        f.answer = answer;
        command == u"close" ? void(f.window->close()) : f.window->findChild<QPushButton *>("cmd" + command)->click();
        QTEST(f.asked, "asked");
        QCOMPARE(f.window->row(Position::C, 1).N->text(), "Edited");
        if (written)
            file << std::pair{6, longest} << std::pair{2, QStringLiteral("Edited")};
        QCOMPARE(fileBytes(rosterPath()), sampleRoster(file));
        QCOMPARE(f.ends, int(command == u"close"));
    }

    // Save, the auto-save before a search and Yes on closing, when players.txt is no regular
    // file, or the save stops part way, meets a full disk or finds a file where its folder was:
    // nothing is written or replaced, the user is told once, the rows in the window stay, and the
    // close or the search goes on. A link to a regular file stays a link, and its file is
    // written. In `why`, %1 is the link's target; "*" is any reason.
    void failedSave_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("why"); // empty: saved
        const QString kept = QStringLiteral(". Nothing was written, and the roster in the window is kept.");
        const QString kind = "it is %1, not a file, and a save replaces only a file" + kept;
        const QString link = kind.arg("a link to %1, which is %2");
        const QString interrupted = "the save was interrupted.";
        const std::tuple<QString, QString, QString> rows[] = {
            {"fifo", "Save close search", kind.arg("a pipe (FIFO)")},
            {"socket", "Save", kind.arg("a socket")},
            {"folder", "Save", kind.arg("a folder")},
            {"link to fifo", "Save", link.arg("%1", "a pipe (FIFO)")},
            {"link to file", "Save close search", ""},
            {"link to nothing", "Save close search", "it is a link to %1, which does not exist" + kept},
            {"interrupt 142", "Save close search", interrupted},
            // Writes are held in a 16 KB buffer: the roster of 2 KB meets the full disk only in the
            // flush before the commit (a write that meets it is tst_rosterfile's).
            {"full 1000", "Save close search", "File too large."},
            {"program folder now a plain file", "Save", "*"}};
        for (const auto &[fault, ways, why] : rows)
            for (const QString &way : ways.split(u' '))
                QTest::addRow("%s, %s", qPrintable(fault), qPrintable(way)) << fault << way << why;
    }
    void failedSave()
    {
        QFETCH(QString, fault);
        QFETCH(QString, way);
        QFETCH(QString, why);
        QString program = f.folder->filePath(QStringLiteral("program"));
        const QString path = program + "/players.txt", elsewhere = f.folder->filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkdir(program) && QDir().mkdir(elsewhere));
        toolkit::setProgramFolder(program);
        // The node at players.txt, or at the target of a link there; any other fault meets the
        // sample roster, loaded.
        const bool link = fault.startsWith(u"link");
        const QString node = link ? elsewhere + u'/' + fault.section(u' ', -1) : path;
        if (!link && fault != u"fifo" && fault != u"socket" && fault != u"folder") {
            QVERIFY(QFile::copy(QStringLiteral(KORVANE_DATA_DIR "/players.txt"), path));
            f.window->Form_Load();
        }
        if (fault == u"socket")
            QVERIFY(::mknod(QFile::encodeName(node).constData(), S_IFSOCK | 0600, 0) == 0);
        if (fault.endsWith(u"fifo"))
            QVERIFY(::mkfifo(QFile::encodeName(node).constData(), 0600) == 0);
        if (fault.endsWith(u"folder"))
            QVERIFY(QDir().mkdir(node));
        if (fault == u"link to file")
            QVERIFY(QFile(node).open(QIODevice::WriteOnly) && QFile::resize(node, 10));
        if (link)
            QVERIFY(QFile::link(node, path));
        if (fault.startsWith(u"interrupt"))
            roster::setSaveFaultForTests(
                [checks = std::make_shared<int>(0), at = fault.section(u' ', 1).toInt()] { return ++*checks == at; });
        if (fault.endsWith(u"plain file")) { // even root cannot save where a file stands in a folder's place
            program += "-moved";
            QVERIFY(QDir().rename(f.folder->filePath("program"), program)
                    && QFile::copy(program + "/players.txt", QFileInfo(path).path()));
        }
        // players.txt (what kind of node, where it links, a file's bytes) and the folders about it,
        // as they must stay.
        const auto scene = [&] {
            struct stat st {};
            const QString roster = program + "/players.txt";
            ::lstat(QFile::encodeName(roster).constData(), &st);
            QStringList seen{QString::number(st.st_mode & S_IFMT), QFileInfo(roster).symLinkTarget(),
                             S_ISREG(st.st_mode) ? fileBytes(roster) : QByteArray()};
            for (const QString &folder : {program, elsewhere, roster})
                seen << QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
            return seen;
        };
        const QStringList before = scene();

        f.window->row(Position::C, 1).N->setText(QStringLiteral("Kept Name"));
        f.window->chkASave->setChecked(true);
        f.answer = true;
        {
            std::optional<FileSizeLimit> disk;
            if (fault.contains(u"full"))
                QVERIFY(disk.emplace(fault.section(u' ', -1).toInt()).active());
            way == u"close" ? void(f.window->close()) : (way == u"Save" ? f.window->cmdSave : f.window->cmdDo)->click();
        }
        QCOMPARE(f.window->row(Position::C, 1).N->text(), "Kept Name");
        QCOMPARE(f.window->chkASave->text(), "   Auto Save   Before Searching"); // not left at "Saving..."
        QCOMPARE(scene(), before);
        QCOMPARE(f.ends, int(way == u"close"));
        const QString examined = QString::number(f.window->search.state.Examined); // the search ran to its end
        QVERIFY(way != u"search" || f.window->listLines().contains(examined));
        const QStringList told = f.messages.filter("not saved");
        if (why.isEmpty()) {
            QVERIFY(told.isEmpty() && fileBytes(node).startsWith("50\r\n30\r\nKept Name\r\n"));
            return;
        }
        QCOMPARE(told.size(), 1);
        const QString prefix = QStringLiteral("The roster was not saved to %1: ").arg(path);
        QVERIFY2(why == u"*" ? told[0].startsWith(prefix) : told[0] == prefix + QString(why).replace("%1", node),
                 qPrintable(told[0]));
    }

    // The question before a reload or on closing, and a message, as the real boxes show them:
    // caption and text; Enter, sent to what has the focus in the box, answers Yes or closes the
    // message; Escape answers No.
    void realBoxes_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("question");
        QTest::addColumn<bool>("yes");
        QTest::newRow("question, Enter") << int(Qt::Key_Return) << true << true;
        QTest::newRow("question, Escape") << int(Qt::Key_Escape) << true << false;
        QTest::newRow("message, Enter") << int(Qt::Key_Return) << false << false;
    }
    void realBoxes()
    {
        QFETCH(int, key);
        QFETCH(bool, question);
        toolkit::setQuestionAnswerer({});
        toolkit::setMessageSink({});
        QString shown;
        QTimer press;
        connect(&press, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                press.stop();
                shown = box->windowTitle() + u'|' + box->text();
                QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key(key));
            }
        });
        press.start(10);
        bool yes = false;
        if (question)
            yes = toolkit::askYesNo(f.window.get(), QStringLiteral("Would you like to save?"), QStringLiteral("Save?"));
        else
            toolkit::showMessage(f.window.get(), QStringLiteral("The roster was not saved."), QStringLiteral("Korvane"));
        QCOMPARE(shown, question ? "Save?|Would you like to save?" : "Korvane|The roster was not saved.");
        QTEST(yes, "yes");
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
