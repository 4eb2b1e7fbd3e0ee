// Whatever a user types or pastes into the money, the target, the percentage and a player row:
// nothing crashes, the file stays 282 lines, Save and Reload give back what the fields held, a
// search the settings cannot run is refused without touching the list or the roster, and any
// other search runs to its end. Whatever stands in help.rtf's place, Help shows it or one line.

#include "rowsfixture.h"

#include "frmhelp.h"
#include "resultlistbox.h"

#include <sys/stat.h>

class TestHostile : public QObject {
    Q_OBJECT
    rowstest::WindowFixture f;

private slots:
    void init()
    {
        f.start();
        f.answer = true;
        QVERIFY(QFile::copy(QStringLiteral(KORVANE_DATA_DIR "/players.txt"), f.folder->filePath("players.txt")));
        f.window->Form_Load();
        f.window->cmdDo->click(); // a list, which a refused search must leave as it is
    }
    void cleanup() { f.stop(); }

    // What is told in the help window's one line, after its path; nothing else is told.
    void helpFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a pipe, which would block") << "fifo" << "it is not a file";
        QTest::newRow("a link to a device without end") << "/dev/zero" << "it is not a file";
        QTest::newRow("a folder") << "folder" << "it is not a file";
        QTest::newRow("larger than 16 MB") << "17 MB" << "it is larger than 16 MB";
    }

    void helpFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = f.folder->filePath(QStringLiteral("help.rtf"));
        if (kind == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == u"folder")
            QVERIFY(QDir().mkdir(path));
        else if (kind.startsWith(u'/'))
            QVERIFY(QFile::link(kind, path));
        else // sparse: no disk is filled
            QVERIFY(QFile(path).open(QIODevice::WriteOnly) && QFile::resize(path, (qint64(17) << 20)));

        f.messages.clear();
        f.window->cmdHelp->click();
        QCOMPARE(f.window->helpWindow()->RichTextBox1->toPlainText(),
                 QStringLiteral("The help document could not be read: %1 (%2)").arg(path, reason));
        QVERIFY(f.messages.isEmpty());
        delete f.window->helpWindow();
    }

    void everyField_data()
    {
        QTest::addColumn<QString>("text");
        // Every text is bad money. With the money at 100 and this text the only bad setting, either
        // the target is refused (no single holds it) or the percentage is (its spend is beyond the
        // search's count; a percentage that is no number stands at 90).
        QTest::addColumn<bool>("badTarget");
        QTest::newRow("blanks") << "   " << true;
        QTest::newRow("1,000,000: the file's separator") << "1,000,000" << false;
        QTest::newRow("10000 characters, beyond a double") << QString(10000, u'9') << true;
        QTest::newRow("non-ASCII and a control character") << QStringLiteral("\u00C5 \u00F1 \x01 \u017E") << true;
        QTest::newRow("quoted, then a lone double quote") << "\"quoted\" \"" << true;
    }

    void everyField()
    {
        QFETCH(QString, text);
        QFETCH(bool, badTarget);
        rowstest::TestWindow &w = *f.window;
        const auto state = [&w] { // every field's text, then every line of the list
            QStringList texts;
            for (const QLineEdit *field : w.findChildren<QLineEdit *>())
                texts << field->text();
            for (int i = 0; i < w.List1->count(); ++i)
                texts << w.List1->item(i);
            return texts;
        };
        // Find Best Team in both modes: refused with one message beginning so, leaving the fields
        // and the list as they were, or, with no refusal, run to its closing lines.
        const auto search = [&](const QString &refusal) {
            for (QPushButton *mode : w.optM) {
                mode->click();
                const QStringList before = state();
                f.messages.clear();
                w.cmdDo->click();
                QCOMPARE(f.messages.size(), int(!refusal.isEmpty()));
                QVERIFY2(f.messages.value(0).startsWith(refusal), qPrintable(f.messages.value(0).left(200)));
                // A search that ran adds the count examined to its list, and the label shows it.
                QVERIFY(refusal.isEmpty() ? state().contains(w.lblNum->text()) : state() == before);
            }
        };

        // What a keyboard types goes in key by key; the rest is set, as a paste would.
        const bool typed = QRegularExpression(QStringLiteral("^[ -~]{0,20}$")).match(text).hasMatch();
        const auto &last = w.row(roster::Position::G, 15); // the file's last four lines
        const QList<QLineEdit *> values{w.txtCash, w.txtTarget, w.txtPerc, last.C, last.P, last.W};
        for (QLineEdit *field : values + QList{last.N})
            typed ? (field->clear(), QTest::keyClicks(field, text)) : field->setText(text);
        w.cmdSave->click();
        QFile file(f.folder->filePath("players.txt"));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        QVERIFY(bytes.endsWith("\r\n") && bytes.count("\r\n") == 282 && bytes.count('\r') + bytes.count('\n') == 564);
        // What the fields held, but that a field value cannot carry its double quotes through the
        // file (rosterfile.h); a name can, and the percentage is not saved.
        for (QLineEdit *field : values)
            field->setText(field->text().remove(u'"'));
        const QStringList expected = state();
        w.cmdReload->click();
        QVERIFY(f.questions == 1 && f.messages.isEmpty());
        QCOMPARE(state(), expected);

        // One setting bad at a time, the others good.
        search(QStringLiteral("The money \""));
        w.txtCash->setText(QStringLiteral("100"));
        w.txtTarget->setText(QStringLiteral("0"));
        search(badTarget ? QString() : QStringLiteral("The minimum percentage of money to use ("));
        w.txtPerc->setText(QStringLiteral("0"));
        w.txtTarget->setText(text);
        search(badTarget ? QStringLiteral("The target \"") : QString());
    }
};

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
