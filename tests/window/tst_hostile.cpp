// Whatever a user types or pastes into the money, the target, the percentage and the player
// rows: nothing crashes, Save and Reload give back what the fields held (the few texts the file
// cannot hold come back as stated below), the file stays 282 lines, a search the settings cannot
// run is refused without touching the list or the roster, and any other search runs to its end.

#include "rowsfixture.h"

#include "roster/rosterfile.h"
#include "search/candidates.h"
#include "window/resultlistbox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QTimer>

using rowstest::WindowFixture;
using roster::Position;

namespace {

// The rows typed into: a held row, the last Winger, the last Defence and the Goalie row 1.
const std::pair<Position, int> typedRows[] = {{Position::C, 1}, {Position::W, 20}, {Position::D, 15}, {Position::G, 1}};

const QString longText(100000, u'9');
const QString lineEditLimit(32767, u'9'); // a text box holds at most 32767 characters

// Typed key by key as a user does (keys of characters beyond ASCII carry their text, as a
// keyboard layout or an input method sends them), pasted with Ctrl+V, or set from code for what no key types.
void enter(QLineEdit *field, const QString &text, const QString &how)
{
    if (how == u"set") {
        field->setText(text);
        return;
    }
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    if (how == u"pasted") {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        return;
    }
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClicks(field, QString(c));
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Every roster text in file order, then the percentage and the include boxes.
QStringList windowState(frmChoose30 &w)
{
    QStringList texts{w.txtCash->text(), w.txtTarget->text()};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            const auto &c = w.row(p, r);
            texts << c.N->text() << c.C->text() << c.P->text() << c.W->text();
        }
    texts << w.txtPerc->text();
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            texts << QString::number(w.row(p, r).chk->isChecked());
    return texts;
}

QStringList listLines(const frmChoose30 &w)
{
    QStringList lines;
    for (int i = 0; i < w.List1->count(); ++i)
        lines << w.List1->item(i);
    return lines;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// 282 lines, each ended by CR LF, and no other line break anywhere.
void verifyRosterFileShape(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    QCOMPARE(lines.size(), roster::RosterValueCount);
    for (const QByteArray &line : lines.first(lines.size() - 1))
        QVERIFY(line.endsWith('\r') && line.count('\r') == 1);
    QVERIFY(!lines.last().contains('\r'));
}

void verifySearchRanToTheEnd(frmChoose30 &w)
{
    const QStringList lines = listLines(w);
    QVERIFY(lines.size() >= 2);
    const QString listed = QString::number(lines.size() - 2);
    const QString examined = QString::number(w.search.state.Examined);
    QCOMPARE(double(w.search.state.Examined), search::exactTeamCount(w.search.tables));
    QCOMPARE(lines.count(listed), listed == examined ? 2 : 1);
    QCOMPARE(lines.count(examined), listed == examined ? 2 : 1);
    QVERIFY(!w.search.Running && !w.Timer1->isActive());
    QVERIFY(w.cmdDo->isEnabled() && w.txtCash->isEnabled() && w.row(Position::C, 1).N->isEnabled());
}

const QString moneyRefusal = QStringLiteral("The money \"");
const QString targetRefusal = QStringLiteral("The target \"");
const QString percentageRefusal = QStringLiteral("The minimum percentage of money to use (");

} // namespace

class TestHostile : public QObject {
    Q_OBJECT
    WindowFixture f;

    QString rosterPath() const { return f.folder->filePath(QStringLiteral("players.txt")); }

    // Find Best Team: refused with the given message, leaving the list, the roster and the
    // inputs as they were; or, with no refusal expected, run to its end.
    void search(const QString &refusal)
    {
        frmChoose30 &w = *f.window;
        const QStringList listBefore = listLines(w);
        const QStringList stateBefore = windowState(w);
        const qsizetype told = f.messages.size();
        w.cmdDo->click();
        if (refusal.isEmpty()) {
            QCOMPARE(f.messages.size(), told);
            verifySearchRanToTheEnd(w);
            return;
        }
        QCOMPARE(f.messages.size(), told + 1);
        QVERIFY2(f.messages.last().startsWith(refusal), qPrintable(f.messages.last().left(200)));
        QCOMPARE(listLines(w), listBefore);
        QCOMPARE(windowState(w), stateBefore);
        QVERIFY(w.cmdDo->isEnabled() && w.txtCash->isEnabled() && !w.Timer1->isActive());
    }

private slots:
    void init()
    {
        f.start();
        f.answer = true;
        QVERIFY(QFile::copy(QStringLiteral(KORVANE_DATA_DIR "/players.txt"), rosterPath()));
        f.window->Form_Load();
        f.window->show();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QVERIFY(f.messages.isEmpty());
    }
    void cleanup() { f.stop(); }

    void everyField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("how");    // typed, pasted or set
        // After Save and Reload: money and target, names, costs and points (4 wide), games (3 wide).
        QTest::addColumn<QString>("money");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cost");
        QTest::addColumn<QString>("games");
        QTest::addColumn<QString>("refusal"); // of a search with this money, target and percentage

        QTest::newRow("plain number") << "30" << "typed" << "30" << "30" << "30" << "30" << "";
        QTest::newRow("empty") << "" << "typed" << "" << "" << "" << "" << moneyRefusal;
        QTest::newRow("blanks") << "   " << "typed" << "   " << "   " << "   " << "   " << moneyRefusal;
        QTest::newRow("letters") << "abcdef" << "typed" << "abcdef" << "abcdef" << "abcd" << "abc" << moneyRefusal;
        QTest::newRow("1E400") << "1E400" << "typed" << "1E400" << "1E400" << "1E40" << "1E4" << moneyRefusal;
        QTest::newRow("-32769") << "-32769" << "typed" << "-32769" << "-32769" << "-327" << "-32" << moneyRefusal;
        QTest::newRow("32767") << "32767" << "typed" << "32767" << "32767" << "3276" << "327" << moneyRefusal;
        QTest::newRow("1,000,000") << "1,000,000" << "typed" << "1,000,000" << "1,000,000" << "1,00" << "1,0"
                                   << moneyRefusal;
        QTest::newRow("1,5 is fifteen") << "1,5" << "typed" << "1,5" << "1,5" << "1,5" << "1,5" << "";
        // Money and target come back in shortest form, the same number; a cost or games value
        // whose shortest form would not fit its field comes back as typed.
        QTest::newRow(".125") << ".125" << "typed" << "0.125" << ".125" << ".125" << ".12" << "";
        QTest::newRow("100000 characters") << longText << "pasted" << lineEditLimit << lineEditLimit << "9999"
                                           << "999" << moneyRefusal;
        QTest::newRow("non-ASCII") << QStringLiteral("\u00C5 \u00F1 \u017E") << "typed"
                                   << QStringLiteral("\u00C5 \u00F1 \u017E") << QStringLiteral("\u00C5 \u00F1 \u017E")
                                   << QStringLiteral("\u00C5 \u00F1 ") << QStringLiteral("\u00C5 \u00F1") << moneyRefusal;
        QTest::newRow("control character") << "\x01" << "set" << "\x01" << "\x01" << "\x01" << "\x01" << moneyRefusal;
        QTest::newRow("tab") << "\t" << "set" << "\t" << "\t" << "\t" << "\t" << moneyRefusal;
        QTest::newRow("text with a comma") << "a,b" << "typed" << "a,b" << "a,b" << "a,b" << "a,b" << moneyRefusal;

        // What the file cannot hold: a line break comes back as a blank (5 and a blank is still
        // the number 5); half an emoji, left where a box cut a pasted text, is dropped rather
        // than saved as a "?"; a field value's double quotes are dropped, a name keeps them.
        QTest::newRow("line break") << "5\n" << "set" << "5 " << "5 " << "5 " << "5 " << "";
        const QString smiles = QStringLiteral("a\U0001F600\U0001F600");
        QTest::newRow("emoji cut in half") << smiles << "pasted" << smiles << smiles
                                           << QStringLiteral("a\U0001F600") << QStringLiteral("a\U0001F600")
                                           << moneyRefusal;
        QTest::newRow("lone double quote") << "\"" << "typed" << "" << "\"" << "" << "" << moneyRefusal;
        QTest::newRow("quoted") << "\"quoted\"" << "typed" << "quoted" << "\"quoted\"" << "quo" << "qu" << moneyRefusal;
    }

    void everyField()
    {
        QFETCH(QString, text);
        QFETCH(QString, how);
        QFETCH(QString, money);
        QFETCH(QString, name);
        QFETCH(QString, cost);
        QFETCH(QString, games);
        QFETCH(QString, refusal);
        frmChoose30 &w = *f.window;

        // A list from an earlier search, which a refused one must leave as it is.
        w.cmdDo->click();
        QVERIFY(f.messages.isEmpty());
        QVERIFY(w.List1->count() > 2);

        enter(w.txtCash, text, how);
        enter(w.txtTarget, text, how);
        enter(w.txtPerc, text, how);
        for (const auto &[position, r] : typedRows) {
            auto &c = w.row(position, r);
            for (QLineEdit *field : {c.N, c.C, c.P, c.W})
                enter(field, text, how);
        }
        // Each field holds what was entered, up to its width.
        QCOMPARE(w.txtCash->text(), text.left(32767));
        QCOMPARE(w.txtTarget->text(), text.left(32767));
        QCOMPARE(w.txtPerc->text(), text.left(32767));
        for (const auto &[position, r] : typedRows) {
            auto &c = w.row(position, r);
            QCOMPARE(c.N->text(), text.left(32767));
            QCOMPARE(c.C->text(), text.left(roster::CostWidth));
            QCOMPARE(c.P->text(), text.left(roster::PointsWidth));
            QCOMPARE(c.W->text(), text.left(roster::GamesWidth));
        }
        const QStringList held = windowState(w);

        w.cmdSave->click();
        verifyRosterFileShape(rosterPath());
        w.cmdReload->click();
        QCOMPARE(f.asked, QStringLiteral("Are you sure you want to reload the statistics, without saving?|Korvane"));
        QVERIFY(f.messages.isEmpty());

        QStringList expected = held;
        expected[0] = money;
        expected[1] = money;
        qsizetype at = 2;
        for (Position p : roster::AllPositions)
            for (int r = 1; r <= roster::rowCount(p); ++r, at += 4)
                for (const auto &typed : typedRows)
                    if (typed.first == p && typed.second == r) {
                        expected[at] = name;
                        expected[at + 1] = cost;
                        expected[at + 2] = cost;
                        expected[at + 3] = games;
                    }
        QCOMPARE(windowState(w), expected);

        // Both modes, the same answer.
        f.messages.clear();
        w.optM[0]->click();
        search(refusal);
        w.optM[1]->click();
        search(refusal);

        // Settings a search can use, over the rows as they are: it runs to its end, and its
        // auto-save writes a file that reads back to the same rows.
        f.messages.clear();
        enter(w.txtCash, QStringLiteral("100"), QStringLiteral("typed"));
        enter(w.txtTarget, QStringLiteral("0"), QStringLiteral("typed"));
        enter(w.txtPerc, QStringLiteral("0"), QStringLiteral("typed"));
        for (int mode : {0, 1}) {
            w.optM[std::size_t(mode)]->click();
            const QStringList before = windowState(w);
            search(QString());
            verifyRosterFileShape(rosterPath());
            w.cmdReload->click();
            QCOMPARE(windowState(w), before);
        }
        QVERIFY(f.messages.isEmpty());
    }

    // One setting at a time, the others fine: which ones the search refuses, and with what.
    void oneSetting_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");

        const QStringList hostile{"", "   ", "abc", "1E400", "-32769", "1,000,000", "\"", "\u00C5 \u00F1 \u017E"};
        for (const QString &text : hostile)
            QTest::addRow("money \"%s\"", qPrintable(text)) << "txtCash" << text << moneyRefusal;
        QTest::newRow("money 32767, one more overflows") << "txtCash" << "32767" << moneyRefusal;
        QTest::newRow("money 32766") << "txtCash" << "32766" << "";
        QTest::newRow("money -32768") << "txtCash" << "-32768" << "";
        QTest::newRow("money 1,5 is fifteen") << "txtCash" << "1,5" << "";

        for (const QString &text : {QString(), QStringLiteral("abc"), QStringLiteral("1E400"), QStringLiteral("\"")})
            QTest::addRow("target \"%s\"", qPrintable(text)) << "txtTarget" << text << targetRefusal;
        QTest::newRow("target -32769") << "txtTarget" << "-32769" << "";
        QTest::newRow("target 1,000,000") << "txtTarget" << "1,000,000" << "";
        QTest::newRow("target 1E38") << "txtTarget" << "1E38" << "";

        // Not a number: the field turns red and the search works to 90 per cent.
        for (const QString &text : {QString(), QStringLiteral("abc"), QStringLiteral("1E400"), QStringLiteral("\"")})
            QTest::addRow("percentage \"%s\"", qPrintable(text)) << "txtPerc" << text << "";
        // The money is 100: the minimum spend is 101 times the percentage over 100.
        QTest::newRow("percentage 300, no team spends that") << "txtPerc" << "300" << "";
        QTest::newRow("percentage -300") << "txtPerc" << "-300" << "";
        QTest::newRow("percentage 32767") << "txtPerc" << "32767" << percentageRefusal;
        QTest::newRow("percentage -32769") << "txtPerc" << "-32769" << percentageRefusal;
        QTest::newRow("percentage 1,000,000") << "txtPerc" << "1,000,000" << percentageRefusal;
        QTest::newRow("percentage 1E38") << "txtPerc" << "1E38" << percentageRefusal;
    }

    void oneSetting()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        frmChoose30 &w = *f.window;
        w.cmdDo->click();
        QVERIFY(f.messages.isEmpty());

        enter(w.findChild<QLineEdit *>(field), text, QStringLiteral("typed"));
        for (int mode : {0, 1}) {
            w.optM[std::size_t(mode)]->click();
            search(refusal);
        }
    }
};

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
