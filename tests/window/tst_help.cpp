// Always on top and the help window: one help window at a time, loaded from help.rtf each time
// it is created, placed above other windows as the main window's box says at that moment.
#include "rowsfixture.h"
#include "window/frmhelp.h"

#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QWindow>

using namespace rowstest;

namespace {

int helpWindowCount()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<frmHelp *>(widget) && widget->isVisible())
            ++count;
    return count;
}

bool staysOnTop(const QWidget *window)
{
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private:
    WindowFixture f;

    QString helpPath() const { return f.folder->filePath(QStringLiteral("help.rtf")); }

    void writeHelp(const QByteArray &bytes)
    {
        QFile file(helpPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), qint64(bytes.size()));
    }

    static QByteArray helpDocument(const char *words)
    {
        return QByteArray(R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs20 {\b Korvane Help}\par )") + words
            + QByteArray("\\par}");
    }

    void clickHelp() { QTest::mouseClick(f.window->cmdHelp, Qt::LeftButton, {}, f.window->cmdHelp->rect().center()); }

    void closeHelp()
    {
        QVERIFY(f.window->helpWindow());
        QVERIFY(f.window->helpWindow()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init() { f.start(); }
    void cleanup()
    {
        if (f.window && f.window->helpWindow())
            delete f.window->helpWindow();
        f.stop();
    }

    void createdOnceAndShownAsItsOwnWindow()
    {
        writeHelp(helpDocument("Pick your team."));
        QVERIFY(!f.window->helpWindow());

        clickHelp();
        frmHelp *help = f.window->helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->isWindow());
        QVERIFY(!help->parentWidget());
        QCOMPARE(help->windowTitle(), QStringLiteral("Help"));
        QCOMPARE(help->RichTextBox1->geometry(), QRect(1, 9, 310, 396));
        QVERIFY(help->RichTextBox1->isReadOnly());
        QVERIFY(help->RichTextBox1->toPlainText().contains(QStringLiteral("Pick your team.")));
        QCOMPARE(helpWindowCount(), 1);

        // The heading keeps its bold face: the viewer shows formatted text, not the RTF source.
        QTextCursor heading = help->RichTextBox1->document()->find(QStringLiteral("Korvane Help"));
        QVERIFY(!heading.isNull());
        QVERIFY(heading.charFormat().fontWeight() >= QFont::Bold);
        QVERIFY(!help->RichTextBox1->toPlainText().contains(QStringLiteral("\\rtf1")));
        // The reader starts at the top of the document.
        QCOMPARE(help->RichTextBox1->textCursor().position(), 0);

        // A second click brings the same window forward without reading the file again.
        writeHelp(helpDocument("Changed while open."));
        clickHelp();
        QCOMPARE(f.window->helpWindow(), help);
        QCOMPARE(helpWindowCount(), 1);
        QVERIFY(help->RichTextBox1->toPlainText().contains(QStringLiteral("Pick your team.")));

        // The main window stays usable beside it.
        QVERIFY(!help->isModal());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void closingUnloadsAndNextClickReloads()
    {
        writeHelp(helpDocument("First text."));
        clickHelp();
        closeHelp();
        QVERIFY(!f.window->helpWindow());
        QCOMPARE(helpWindowCount(), 0);

        writeHelp(helpDocument("Second text."));
        clickHelp();
        QVERIFY(f.window->helpWindow());
        const QString shown = f.window->helpWindow()->RichTextBox1->toPlainText();
        QVERIFY(shown.contains(QStringLiteral("Second text.")));
        QVERIFY(!shown.contains(QStringLiteral("First text.")));
    }

    // Help clicked again before the closed window has been deleted: the new window must survive
    // that deletion.
    void clickBeforeClosedWindowIsDeleted()
    {
        writeHelp(helpDocument("Still here."));
        clickHelp();
        QVERIFY(f.window->helpWindow()->close());
        clickHelp();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QVERIFY(f.window->helpWindow());
        QVERIFY(f.window->helpWindow()->isVisible());
        QVERIFY(f.window->helpWindow()->RichTextBox1->toPlainText().contains(QStringLiteral("Still here.")));
        QCOMPARE(helpWindowCount(), 1);
    }

    void unreadableHelpDocument_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << false << QByteArray();
        QTest::newRow("empty file") << true << QByteArray();
        QTest::newRow("plain text") << true << QByteArray("Pick the best team.\r\n");
        QTest::newRow("binary") << true << QByteArray("\x00\xff\x01{\\", 5);
    }
    void unreadableHelpDocument()
    {
        QFETCH(bool, present);
        QFETCH(QByteArray, content);
        if (present)
            writeHelp(content);
        auto &row = f.cells(Position::C, 2);
        row.N->setText(QStringLiteral("Kept"));
        row.P->setText(QStringLiteral("2"));
        row.W->setText(QStringLiteral("3"));
        const bool ticked = row.chk->isChecked();

        clickHelp();

        frmHelp *help = f.window->helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        const QString shown = help->RichTextBox1->toPlainText();
        QVERIFY2(shown.startsWith(QStringLiteral("The help document could not be read")), qPrintable(shown));
        QVERIFY2(shown.contains(helpPath()), qPrintable(shown));
        QVERIFY(!shown.contains(u'\n'));
        QVERIFY(!shown.contains(QChar::ParagraphSeparator));

        // Nothing of the main window is touched and nothing else is said.
        QCOMPARE(row.N->text(), QStringLiteral("Kept"));
        QCOMPARE(row.PW->text(), QStringLiteral("6"));
        QCOMPARE(row.chk->isChecked(), ticked);
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(f.beeps, 0);
        QCOMPARE(f.questions, 0);
        QCOMPARE(f.ends, 0);
    }

    void helpFollowsAlwaysOnTopAtLoad_data()
    {
        QTest::addColumn<bool>("onTop");
        QTest::newRow("checked") << true;
        QTest::newRow("unchecked") << false;
    }
    void helpFollowsAlwaysOnTopAtLoad()
    {
        QFETCH(bool, onTop);
        writeHelp(helpDocument("Top."));
        f.window->chkAlwaysOnTop->setChecked(onTop);
        clickHelp();
        frmHelp *help = f.window->helpWindow();
        QCOMPARE(staysOnTop(help), onTop);
        QVERIFY(help->windowHandle());
        QCOMPARE(help->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), onTop);

        // Changing the box afterwards moves only the main window; the help window keeps the
        // state it loaded with until it is opened again.
        f.window->chkAlwaysOnTop->setChecked(!onTop);
        QCOMPARE(staysOnTop(f.window.get()), !onTop);
        QCOMPARE(staysOnTop(help), onTop);

        closeHelp();
        clickHelp();
        QCOMPARE(staysOnTop(f.window->helpWindow()), !onTop);
    }

    // The shown main window changes its keep-above state in place: it stays shown, keeps its
    // place and its native window agrees with the widget's flags.
    void mainWindowFollowsTheBoxWithoutHiding()
    {
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QRect place = f.window->geometry();
        QWindow *handle = f.window->windowHandle();
        QVERIFY(handle);

        for (bool onTop : {false, true, false}) {
            f.window->chkAlwaysOnTop->setChecked(onTop);
            QVERIFY(f.window->isVisible());
            QCOMPARE(f.window->windowHandle(), handle);
            QCOMPARE(f.window->geometry(), place);
            QCOMPARE(staysOnTop(f.window.get()), onTop);
            QCOMPARE(handle->flags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        }
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
