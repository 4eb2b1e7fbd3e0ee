// players.txt through the window: the load at start-up, Save, Reload and the save on closing.
#include "window/frmchoose30.h"
#include "window/toolkit.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using roster::Position;

namespace {

// A full roster in shortest form, in file order: Centres row 1 is "Centre 1", costs 6, scores
// 0.75 a game and plays 3 games. Changes are given as (index in the file, text).
QByteArray sampleRoster(QList<std::pair<int, QString>> changes = {}, qsizetype lines = 282)
{
    QStringList values{QStringLiteral("100"), QStringLiteral("10")};
    const char *positionNames[] = {"Centre", "Winger", "Defence", "Goalie"};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            values << QStringLiteral("%1 %2").arg(QLatin1String(positionNames[roster::index(p)])).arg(r)
                   << QString::number(5 + r % 7) << QString::number((r % 4) * 0.25 + 0.5)
                   << QString::number(2 + r % 3);
    for (const auto &[index, text] : changes)
        values[index] = text;
    QByteArray bytes;
    for (const QString &value : values.mid(0, lines))
        bytes += value.toUtf8() + "\r\n";
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct Harness {
    QTemporaryDir folder;
    QStringList questions;
    QStringList messages;
    bool answer = false;
    bool ended = false;
    std::unique_ptr<frmChoose30> window;

    // kind: "file" (players.txt holds content), "missing", "folder" (players.txt is a folder)
    explicit Harness(const QString &kind = QStringLiteral("file"), const QByteArray &content = sampleRoster())
    {
        toolkit::setProgramFolder(folder.path());
        toolkit::setQuestionAnswerer([this](const QString &text, const QString &caption) {
            questions << text + u'|' + caption;
            return answer;
        });
        toolkit::setMessageSink([this](const QString &text, const QString &caption) {
            messages << caption + u'|' + text;
        });
        toolkit::setBeeper([] {});
        toolkit::setProgramEnder([this] { ended = true; });
        if (kind == u"file")
            writeAll(rosterPath(), content);
        else if (kind == u"folder")
            QDir(folder.path()).mkdir(QStringLiteral("players.txt"));
        window = std::make_unique<frmChoose30>();
    }
    ~Harness()
    {
        window.reset();
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        toolkit::setProgramFolder({});
        toolkit::setQuestionAnswerer({});
        toolkit::setMessageSink({});
        toolkit::setBeeper({});
        toolkit::setProgramEnder({});
    }

    QString rosterPath() const { return folder.filePath(QStringLiteral("players.txt")); }
    QString text(const QString &name) const { return window->findChild<QLineEdit *>(name)->text(); }
};

} // namespace

class tst_rosterwindow : public QObject {
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void roundTripByteForByte();
    void reload_data();
    void reload();
    void close_data();
    void close();
    void saveFailureIsTold_data();
    void saveFailureIsTold();
};

// File indexes: 0 money, 1 target, then 4 per row from 2 (Centres row 1: 2 name, 3 cost, 4 points,
// 5 games), Wingers from 82, Defence from 162, Goalies from 222.
void tst_rosterwindow::load_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected"); // name=text
    QTest::addColumn<int>("messages");

    QTest::newRow("full roster, rated as it loads")
        << "file" << sampleRoster()
        << QStringList{"txtCash=100", "txtTarget=10", "CN_1=Centre 1", "CC_1=6", "CP_1=0.75", "CW_1=3",
                       "CPW_1=2.25", "WN_20=Winger 20", "GN_15=Goalie 15", "GW_15=2", "GPW_15=2.5"}
        << 0;
    QTest::newRow("numbers come back in shortest form")
        << "file" << sampleRoster({{0, "0100"}, {1, "30.0"}, {4, "+0.750"}, {7, "007.50"}, {13, "  4  "}})
        << QStringList{"txtCash=100", "txtTarget=30", "CP_1=0.75", "CC_2=7.5", "CW_3=4"} << 0;
    QTest::newRow("values are cut to the field's width")
        << "file" << sampleRoster({{3, "12345"}, {5, "10.5"}, {228, "1.2345"}})
        << QStringList{"CC_1=1234", "CW_1=10.", "GP_2=1.23"} << 0;
    QTest::newRow("a name keeps its comma and quotes")
        << "file" << sampleRoster({{14, "Smith, John \"JJ\""}}) << QStringList{"CN_4=Smith, John \"JJ\""} << 0;
    QTest::newRow("ends after ten lines: what was read stays, told once")
        << "file" << sampleRoster({}, 10) << QStringList{"txtCash=100", "CN_2=Centre 2", "CW_2=4", "CN_3=", "GN_15="}
        << 1;
    QTest::newRow("missing on a first start: nothing told")
        << "missing" << QByteArray() << QStringList{"txtCash=50", "txtTarget=30", "CN_1=", "CPW_1="} << 0;
    QTest::newRow("empty file: the design texts stay")
        << "file" << QByteArray() << QStringList{"txtCash=50", "txtTarget=30", "CN_1=", "CPW_1="} << 0;
    QTest::newRow("cannot be read: told once")
        << "folder" << QByteArray() << QStringList{"txtCash=50", "txtTarget=30", "CN_1="} << 1;
}

void tst_rosterwindow::load()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    QFETCH(int, messages);

    Harness h(kind, content);
    for (const QString &pair : expected) {
        const qsizetype equals = pair.indexOf(u'=');
        QCOMPARE(h.text(pair.left(equals)), pair.mid(equals + 1));
    }
    QCOMPARE(h.messages.size(), messages);
    if (messages)
        QVERIFY(h.messages.first().startsWith(QStringLiteral("Korvane|")));
    QVERIFY(h.questions.isEmpty());
}

void tst_rosterwindow::roundTripByteForByte()
{
    const QByteArray original = sampleRoster({{2, "Smith, John"}, {95, ""}, {250, ""}, {251, ""}, {252, ""}, {253, ""}});
    Harness h(QStringLiteral("file"), original);
    QVERIFY(QFile::remove(h.rosterPath()));
    h.window->cmdSave->click();
    QCOMPARE(readAll(h.rosterPath()), original);
    QVERIFY(h.messages.isEmpty());
}

void tst_rosterwindow::reload_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("percentage");
    QTest::addColumn<QString>("nameAfter");
    QTest::addColumn<QString>("rateAfter");
    QTest::addColumn<float>("minPerc");

    QTest::newRow("No changes nothing") << false << "85" << "Edited" << "9" << 85.0f;
    QTest::newRow("Yes reads the file again") << true << "85" << "Centre 1" << "2.25" << 85.0f;
    QTest::newRow("Yes keeps the search at the percentage shown") << true << "150" << "Centre 1" << "2.25"
                                                                 << 150.0f;
    QTest::newRow("Yes with a percentage that is no number") << true << "abc" << "Centre 1" << "2.25" << 90.0f;
}

void tst_rosterwindow::reload()
{
    QFETCH(bool, answer);
    QFETCH(QString, percentage);
    QFETCH(QString, nameAfter);
    QFETCH(QString, rateAfter);
    QFETCH(float, minPerc);

    Harness h;
    frmChoose30 &w = *h.window;
    w.row(Position::C, 1).N->setText(QStringLiteral("Edited"));
    w.row(Position::C, 1).P->setText(QStringLiteral("3"));
    w.txtPerc->setText(percentage);
    w.row(Position::D, 2).chk->setChecked(false); // neither the boxes nor the arrangement are in the file
    w.cmdCompact->click();
    w.move(120, 80);
    h.answer = answer;

    w.cmdReload->click();
    QCOMPARE(h.questions, QStringList{"Are you sure you want to reload the statistics, without saving?|Korvane"});
    QCOMPARE(w.row(Position::C, 1).N->text(), nameAfter);
    QCOMPARE(w.row(Position::C, 1).PW->text(), rateAfter);
    QCOMPARE(w.txtPerc->text(), percentage);
    QCOMPARE(w.MinPerc, minPerc);
    QVERIFY(!w.row(Position::D, 2).chk->isChecked());
    QCOMPARE(w.cmdCompact->text(), QStringLiteral("Full Window"));
    QCOMPARE(w.pos(), answer ? QPoint(120, 0) : QPoint(120, 80));
    QVERIFY(h.messages.isEmpty());
}

void tst_rosterwindow::close_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("messages");

    QTest::newRow("No leaves the file untouched") << "file" << false << 0;
    QTest::newRow("Yes saves the roster as it stands") << "file" << true << 0;
    QTest::newRow("Yes, and the save fails: told, and the program still ends") << "folder" << true << 1;
}

void tst_rosterwindow::close()
{
    QFETCH(QString, kind);
    QFETCH(bool, answer);
    QFETCH(int, messages);

    Harness h(kind);
    frmChoose30 &w = *h.window;
    h.messages.clear();
    w.show();
    w.row(Position::W, 3).N->setText(QStringLiteral("Newcomer"));
    w.cmdHelp->click();
    QVERIFY(w.helpWindow() && w.helpWindow()->isVisible());
    h.answer = answer;

    w.close();
    QCOMPARE(h.questions, QStringList{"Would you like to save?|Save?"});
    QVERIFY(h.ended);
    QVERIFY(!w.isVisible());
    QVERIFY(!w.helpWindow() || !w.helpWindow()->isVisible());
    QCOMPARE(h.messages.size(), messages);
    if (kind == u"file")
        QCOMPARE(readAll(h.rosterPath()), answer ? sampleRoster({{90, "Newcomer"}}) : sampleRoster());
}

// The old roster stays whole and the user hears why the save failed.
void tst_rosterwindow::saveFailureIsTold_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("players.txt is a folder") << "folder";
    QTest::newRow("program folder under a regular file") << "under file";
    QTest::newRow("folder that cannot be written") << "read-only";
}

void tst_rosterwindow::saveFailureIsTold()
{
    QFETCH(QString, kind);

    Harness h(kind == u"folder" ? kind : QStringLiteral("file"));
    h.messages.clear();
    if (kind == u"under file") {
        toolkit::setProgramFolder(h.rosterPath() + QStringLiteral("/beneath"));
    } else if (kind == u"read-only") {
        QVERIFY(QFile::setPermissions(h.folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        if (QFileInfo(h.folder.path()).isWritable())
            QSKIP("this user writes into read-only folders (root)");
    }

    h.window->row(Position::C, 1).N->setText(QStringLiteral("Unsaved"));
    QVERIFY(!h.window->saveRoster());
    h.window->cmdSave->click();
    QCOMPARE(h.messages.size(), 2);
    QVERIFY2(h.messages.first().contains(QStringLiteral("not saved")), qPrintable(h.messages.first()));
    if (kind == u"folder")
        QVERIFY(QFileInfo(h.rosterPath()).isDir());
    else
        QCOMPARE(readAll(h.rosterPath()), sampleRoster());
}

QTEST_MAIN(tst_rosterwindow)
#include "tst_rosterwindow.moc"
