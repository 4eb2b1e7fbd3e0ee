// Saving the roster when something goes wrong: a save stopped part way, a folder that cannot be
// written, a folder that is gone or has turned into a plain file. Whether the user presses Save,
// closes the window or starts a search with auto-save ticked, the roster saved before stays byte
// for byte, the user is told, and the window goes on with the roster it shows.

#include "rowsfixture.h"

#include "roster/rosterfile.h"
#include "search/candidates.h"
#include "window/resultlistbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>

using rowstest::WindowFixture;
using roster::Position;

namespace {

const QString unsavedName = QStringLiteral("Unsaved Edit");

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

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

QStringList listLines(const frmChoose30 &w)
{
    QStringList lines;
    for (int i = 0; i < w.List1->count(); ++i)
        lines << w.List1->item(i);
    return lines;
}

// The search ran to its end: every team was examined and both closing lines were listed.
void verifySearchRanToTheEnd(frmChoose30 &w)
{
    const QStringList lines = listLines(w);
    QVERIFY(lines.size() >= 2);
    const QString listed = QString::number(lines.size() - 2);
    const QString examined = QString::number(w.search.state.Examined);
    QCOMPARE(double(w.search.state.Examined), search::exactTeamCount(w.search.tables));
    QCOMPARE(lines.count(listed), listed == examined ? 2 : 1);
    QCOMPARE(lines.count(examined), listed == examined ? 2 : 1);
    QVERIFY(!w.search.Running);
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(w.cmdDo->isEnabled() && w.cmdSave->isEnabled() && w.txtCash->isEnabled());
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
    WindowFixture f;
    QString program;        // the program's folder: inside the fixture's, so that it can vanish
    QByteArray savedBefore; // players.txt as the last good save left it

    QString rosterPath() const { return program + QStringLiteral("/players.txt"); }
    QString movedFolder() const { return program + QStringLiteral("-moved"); }

    // Makes the next save fail. *writesAnyway is set when this process writes where the fault
    // should stop it (rights are not checked for root).
    void makeSavesFail(const QString &fault, int failAt, bool *writesAnyway)
    {
        *writesAnyway = false;
        if (fault == u"interrupt") {
            auto checks = std::make_shared<int>(0);
            roster::setSaveFaultForTests([checks, failAt] { return ++*checks == failAt; });
        } else if (fault == u"read-only") {
            QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
            QFile probe(program + QStringLiteral("/probe"));
            *writesAnyway = probe.open(QIODevice::WriteOnly);
            if (*writesAnyway)
                probe.remove();
        } else if (fault == u"read-only file") {
            QVERIFY(QFile::setPermissions(rosterPath(), QFile::ReadOwner));
            QFile probe(rosterPath());
            *writesAnyway = probe.open(QIODevice::WriteOnly | QIODevice::Append);
        } else if (fault == u"gone") {
            QVERIFY(QDir(program).removeRecursively());
        } else if (fault == u"file") {
            QVERIFY(QDir().rename(program, movedFolder()));
            QVERIFY(writeFile(program, "not a folder\n"));
        }
    }

    // The roster saved before is still there, byte for byte, with nothing left beside it.
    void verifyOldRosterWhole(const QString &fault)
    {
        if (fault == u"gone") {
            QVERIFY2(!QFileInfo::exists(program), "a failed save must not make the folder again");
        } else if (fault == u"file") {
            QCOMPARE(fileBytes(program), QByteArray("not a folder\n"));
            QCOMPARE(fileBytes(movedFolder() + QStringLiteral("/players.txt")), savedBefore);
            QCOMPARE(entries(movedFolder()), QStringList{"players.txt"});
        } else {
            QCOMPARE(fileBytes(rosterPath()), savedBefore);
            QCOMPARE(entries(program), QStringList{"players.txt"});
        }
    }

    void undoFault(const QString &fault)
    {
        roster::setSaveFaultForTests({});
        if (fault == u"read-only") {
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else if (fault == u"read-only file") {
            QFile::setPermissions(rosterPath(), QFile::ReadOwner | QFile::WriteOwner);
        } else if (fault == u"gone") {
            QDir().mkpath(program);
        } else if (fault == u"file" && QFileInfo(program).isFile()) {
            QFile::remove(program);
            QDir().rename(movedFolder(), program);
        }
    }

    static void addFaultRows()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("failAt"); // which of the save's checks stops it, from 1
        QTest::newRow("stopped before the first value") << "interrupt" << 1;
        QTest::newRow("stopped after the money") << "interrupt" << 2;
        QTest::newRow("stopped after the Centres") << "interrupt" << 83;
        QTest::newRow("stopped before the last value") << "interrupt" << roster::RosterValueCount;
        QTest::newRow("stopped after writing, before the commit") << "interrupt" << roster::RosterValueCount + 1;
        QTest::newRow("folder made read-only") << "read-only" << 0;
        // A roster the user protected is not replaced behind his back.
        QTest::newRow("players.txt made read-only") << "read-only file" << 0;
        QTest::newRow("folder gone") << "gone" << 0;
        QTest::newRow("folder path now a regular file") << "file" << 0;
    }

private slots:
    void init()
    {
        f.start();
        f.answer = true;
        program = f.folder->filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program));
        QVERIFY(QFile::copy(QStringLiteral(KORVANE_DATA_DIR "/players.txt"), rosterPath()));
        toolkit::setProgramFolder(program);
        f.window->Form_Load();
        QVERIFY(f.messages.isEmpty());
        savedBefore = fileBytes(rosterPath());
        f.cells(Position::W, 7).N->setText(unsavedName);
    }

    void cleanup()
    {
        roster::setSaveFaultForTests({});
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(rosterPath(), QFile::ReadOwner | QFile::WriteOwner);
        f.stop();
        toolkit::setProgramFolder({});
    }

    // Save fails: told once, the old roster whole; once the fault is gone the same roster saves.
    void save_data() { addFaultRows(); }
    void save()
    {
        QFETCH(QString, fault);
        QFETCH(int, failAt);
        frmChoose30 &w = *f.window;
        bool writesAnyway = false;
        makeSavesFail(fault, failAt, &writesAnyway);
        if (QTest::currentTestFailed())
            return;
        if (writesAnyway)
            QSKIP("this process writes where it has no write rights (root)");

        w.cmdSave->click();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages.first().startsWith(QStringLiteral("The roster was not saved to ")),
                 qPrintable(f.messages.first()));
        verifyOldRosterWhole(fault);
        QCOMPARE(w.row(Position::W, 7).N->text(), unsavedName);

        undoFault(fault);
        w.cmdSave->click();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY(fileBytes(rosterPath()).contains("\r\n" + unsavedName.toUtf8() + "\r\n"));
    }

    // Closing with Yes: the failure is told, the old roster stays, and the program still ends.
    void closeAnsweredYes_data() { addFaultRows(); }
    void closeAnsweredYes()
    {
        QFETCH(QString, fault);
        QFETCH(int, failAt);
        frmChoose30 &w = *f.window;
        w.show();
        bool writesAnyway = false;
        makeSavesFail(fault, failAt, &writesAnyway);
        if (QTest::currentTestFailed())
            return;
        if (writesAnyway)
            QSKIP("this process writes where it has no write rights (root)");

        w.close();
        QCOMPARE(f.questions, 1);
        QCOMPARE(f.asked, QStringLiteral("Would you like to save?|Save?"));
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages.first().startsWith(QStringLiteral("The roster was not saved to ")),
                 qPrintable(f.messages.first()));
        QCOMPARE(f.ends, 1);
        QVERIFY(!w.isVisible());
        verifyOldRosterWhole(fault);
    }

    // Auto-save before a search fails: the user is told, and the search runs all the same over the
    // roster the window shows, which the failed save left untouched.
    void autoSaveBeforeSearch_data() { addFaultRows(); }
    void autoSaveBeforeSearch()
    {
        QFETCH(QString, fault);
        QFETCH(int, failAt);
        frmChoose30 &w = *f.window;
        QVERIFY(w.chkASave->isChecked());
        bool writesAnyway = false;
        makeSavesFail(fault, failAt, &writesAnyway);
        if (QTest::currentTestFailed())
            return;
        if (writesAnyway)
            QSKIP("this process writes where it has no write rights (root)");

        w.cmdDo->click();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages.first().startsWith(QStringLiteral("The roster was not saved to ")),
                 qPrintable(f.messages.first()));
        verifyOldRosterWhole(fault);
        verifySearchRanToTheEnd(w);
        QCOMPARE(w.chkASave->text(), QStringLiteral("   Auto Save   Before Searching"));
        QCOMPARE(w.row(Position::W, 7).N->text(), unsavedName);
    }

    // Every point at which a save can stop, through the window's own Save.
    void everyStopKeepsTheOldRoster()
    {
        frmChoose30 &w = *f.window;
        for (int failAt = 1; failAt <= roster::RosterValueCount + 1; ++failAt) {
            bool writesAnyway = false;
            makeSavesFail(QStringLiteral("interrupt"), failAt, &writesAnyway);
            QVERIFY(!w.saveRoster());
            QCOMPARE(f.messages.size(), failAt);
            QCOMPARE(fileBytes(rosterPath()), savedBefore);
        }
        QCOMPARE(entries(program), QStringList{"players.txt"});
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
