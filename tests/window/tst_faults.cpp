// SPDX-License-Identifier: MIT
// Saving the roster when the save stops part way, cannot start or meets a full disk. Whether the
// user presses Save, closes the window answering Yes or searches with auto-save ticked, he is told
// once, the roster saved before stays byte for byte with nothing left beside it, and the close or
// the search goes on.

#include "../roster/filesizelimit.h"
#include "rowsfixture.h"

#include "candidates.h"
#include "resultlistbox.h"
#include "rosterfile.h"

using roster::Position;

class TestFaults : public QObject {
    Q_OBJECT
    rowstest::WindowFixture f;
    QString program; // inside the fixture's folder, so that a plain file can take its place

private slots:
    void init()
    {
        f.start();
        f.answer = true;
        program = f.folder->filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program)
                && QFile::copy(QStringLiteral(KORVANE_DATA_DIR "/players.txt"), program + "/players.txt"));
        toolkit::setProgramFolder(program);
        f.window->Form_Load();
        f.cells(Position::W, 7).N->setText(QStringLiteral("Unsaved Edit"));
    }

    void cleanup()
    {
        roster::setSaveFaultForTests({});
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        f.stop();
    }

    void failedSave_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>(
            "failAt"); // which of the save's checks stops it (1 before the first value), or bytes the disk takes
        QTest::addColumn<QString>("way");
        // Every fault through Save; closing and searching share its saving, so two faults each.
        QTest::newRow("Save, stopped at the first value") << "interrupt" << 1 << "Save";
        QTest::newRow("Save, stopped before the commit") << "interrupt" << roster::RosterValueCount + 1 << "Save";
        QTest::newRow("Save, folder path now a plain file") << "file" << 0 << "Save";
        QTest::newRow("Save, folder read-only") << "read-only" << 0 << "Save";
        // Writes are held in a 16 KB buffer: a roster of 22 KB meets the full disk in a write,
        // the 2 KB one only in the flush before the commit.
        QTest::newRow("Save, disk full in a write") << "full, long name" << 4096 << "Save";
        for (const char *way : {"Save", "close", "search"})
            QTest::addRow("%s, stopped mid-file", way) << "interrupt" << 142 << way;
        for (const char *way : {"close", "search"})
            QTest::addRow("%s, disk full at the final flush", way) << "full" << 1000 << way;
    }

    void failedSave()
    {
        QFETCH(QString, fault);
        QFETCH(int, failAt);
        QFETCH(QString, way);
        const auto fileBytes = [](const QString &path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
        };
        const QByteArray before = fileBytes(program + "/players.txt");
        const QString kept = fault == u"file" ? program + "-moved" : program; // where the old roster must stay
        if (fault == u"interrupt")
            roster::setSaveFaultForTests([checks = std::make_shared<int>(0), failAt] { return ++*checks == failAt; });
        if (fault == u"full, long name")
            f.cells(Position::W, 7).N->setText(QString(20000, u'x'));
        if (fault == u"file") { // a plain file (any bytes) where the folder was: even root cannot save there
            QVERIFY(QDir().rename(program, kept) && QFile::copy(kept + "/players.txt", program));
        } else if (fault == u"read-only") {
            QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
            if (QFile(program + "/probe").open(QIODevice::WriteOnly))
                QSKIP("this process writes in a read-only folder (root), so nothing makes the save fail");
        }

        {
            std::optional<FileSizeLimit> disk;
            if (fault.startsWith(u"full"))
                QVERIFY(disk.emplace(failAt).active());
            if (way == u"close")
                f.window->close();
            else
                (way == u"Save" ? f.window->cmdSave : f.window->cmdDo)->click();
        }
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].startsWith(QStringLiteral("The roster was not saved to ")), qPrintable(f.messages[0]));
        if (fault.startsWith(u"full")) // the system's own reason, not a guess
            QVERIFY2(f.messages[0].endsWith(QStringLiteral(": File too large.")), qPrintable(f.messages[0]));
        QCOMPARE(fileBytes(kept + "/players.txt"), before);
        QCOMPARE(QDir(kept).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"players.txt"});
        QCOMPARE(f.ends, way == u"close" ? 1 : 0);
        if (way == u"search") { // over the roster the window shows, to its two closing lines
            const QStringList lines = f.window->listLines();
            const qint64 examined = f.window->search.state.Examined;
            QVERIFY(examined > 0 && lines.contains(QString::number(lines.size() - 2))
                    && lines.contains(QString::number(examined)));
        }
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
