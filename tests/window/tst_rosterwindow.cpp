// SPDX-License-Identifier: MIT
// players.txt through the window: the load at start-up, which also puts the window at the top of
// the screen, Save, Reload and the save on closing, a save that cannot be made, and the question
// boxes they ask with.
#include "rowsfixture.h"

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

    // The window opens at the top of the screen, and a reload, which reruns the start-up, moves
    // it back there once more.
    void atTheTop()
    {
        TestWindow &w = *f.window;
        w.move(300, 200);
        w.Form_Load();
        QVERIFY(f.show());
        QTRY_COMPARE(w.pos(), QPoint(300, 0));
        w.move(300, 200);
        QTRY_COMPARE(w.pos(), QPoint(300, 200));
        f.answer = true;
        w.cmdReload->click();
        QTRY_COMPARE(w.pos(), QPoint(300, 0));
    }

    // A roster cut short, down to a single byte, loads as far as it goes and says so.
    void shortRoster()
    {
        load("7");
        QCOMPARE(f.window->txtCash->text(), "7");
        QCOMPARE(f.messages, QStringList{"players.txt ended after 1 of 282 values. The fields after the last value read "
                                         "keep what they showed."});
    }

    // File indexes: 0 money, 1 target, then 4 per row from 2 (Centres row 1: 2 name, 3 cost,
    // 4 points, 5 games), Wingers from 82, Defence from 162, Goalies from 222.
    // A roster with a comma in a name, empty fields, and names and a target longer than Qt's usual
    // 32,767 characters, loaded, its first name edited, then a command: Save writes it byte for
    // byte; Reload answered No changes nothing; closing ends the program either way, and only Yes
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
        QList<std::pair<int, QString>> file{{30, "Smith, John"}, {95, ""},     {250, ""},     {251, ""},
                                            {253, ""},           {1, longest}, {86, longest}, {6, longest + u'm'}};
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

    // When players.txt is a pipe, the auto-save before a search and Yes on closing each tell the
    // user why nothing was written; the rows in the window stay, and the search and the close go
    // on. Which nodes a save refuses, and why, are tst_rosterfile's.
    void failedSave()
    {
        QVERIFY(::mkfifo(QFile::encodeName(rosterPath()).constData(), 0600) == 0);
        f.window->row(Position::C, 1).N->setText(QStringLiteral("Kept Name"));
        f.window->chkASave->setChecked(true);
        f.window->cmdDo->click();
        QVERIFY(f.window->listLines().contains(QString::number(f.window->search.state.Examined))); // searched to the end
        QCOMPARE(f.window->chkASave->text(), "   Auto Save   Before Searching");                   // not left at "Saving..."
        f.answer = true;
        f.window->close();
        QCOMPARE(f.ends, 1);
        QCOMPARE(f.window->row(Position::C, 1).N->text(), "Kept Name");
        const QString told = "The roster was not saved to " + rosterPath()
                             + ": it is a pipe (FIFO), not a file, and a save replaces only a file. Nothing was "
                               "written, and the roster in the window is kept.";
        QCOMPARE(f.messages, QStringList(2, told));
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
};

QTEST_MAIN(TestRosterWindow)
#include "tst_rosterwindow.moc"
