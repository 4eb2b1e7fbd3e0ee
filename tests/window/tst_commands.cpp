// SPDX-License-Identifier: MIT
// The window's own commands: always on top and help. The frames switched and the compact window
// are in the pictures.
#include "rowsfixture.h"

#include "frmhelp.h"

#include <sys/stat.h>

using namespace rowstest;

class TestCommands : public QObject {
    Q_OBJECT
    WindowFixture f;

    void writeHelp(const QByteArray &words)
    {
        QFile file(f.folder->filePath(QStringLiteral("help.rtf")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs20 {\b Help}\par )" + words + "\\par}");
    }
    QString shown() const { return f.window->helpWindow()->RichTextBox1->toPlainText(); }

private slots:
    void init() { f.start(); }
    void cleanup()
    {
        delete f.window->helpWindow();
        f.stop();
    }

    // One help window at a time, read from help.rtf each time it is created. (How it opens, at
    // the top of the document, is in the pictures.)
    void helpWindow()
    {
        writeHelp(QByteArray("Pick your team.\\par ").repeated(200));
        f.window->cmdHelp->click();
        frmHelp *help = f.window->helpWindow();
        QVERIFY(help && help->isVisible() && !help->parentWidget());
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCoreApplication::processEvents();
        QVERIFY(shown().startsWith("Help\nPick your team.\n") && shown().count("Pick your team.") == 200);
        // A screen reader names the window by its title, and the document it reads from, as it
        // names every control it reaches.
        QCOMPARE(QAccessible::queryAccessibleInterface(help)->text(QAccessible::Name), "Help");
        QVERIFY(!QAccessible::queryAccessibleInterface(help->RichTextBox1)->text(QAccessible::Name).isEmpty());
        // A second click brings the same window forward without reading the file again.
        writeHelp("Changed while open.");
        f.window->cmdHelp->click();
        QVERIFY(f.window->helpWindow() == help && shown().startsWith("Help\nPick your team."));
        // Closed, and clicked again before the closed window is deleted: a new window, the new text.
        QVERIFY(help->close());
        f.window->cmdHelp->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto isHelp = [](QWidget *w) { return qobject_cast<frmHelp *>(w) != nullptr; };
        QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(), isHelp), 1);
        QVERIFY(f.window->helpWindow()->isVisible() && shown().contains("Changed while open."));
        // A closed window is freed as it closes, not at the next click.
        QVERIFY(f.window->helpWindow()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(), isHelp), 0);
    }

    // Whatever stands in help.rtf's place is told in the viewer's one line, after its path, and
    // nothing else is told: a pipe would block.
    void unreadableHelp_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        // clang-format off
        QTest::newRow("missing") << "" << "No such file or directory";
        QTest::newRow("a pipe") << "fifo" << "it is not a file";
        QTest::newRow("a file that fails when read") << "/proc/self/mem" << "Input/output error";
        QTest::newRow("larger than 16 MB") << "17 MB" << "it is larger than 16 MB";
        QTest::newRow("not RTF") << "plain" << "The file is not a Rich Text Format document: it does not begin with {\\rtf.";
        QTest::newRow("16 MB, read whole") << "16 MB" << "The file is not a Rich Text Format document: it does not begin with {\\rtf.";
        // clang-format on
    }
    void unreadableHelp()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = f.folder->filePath(QStringLiteral("help.rtf"));
        if (kind == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind.startsWith(u'/')) // a link to it
            QVERIFY(QFile::link(kind, path));
        else if (!kind.isEmpty()) // zeros, sparse: no disk is filled
            QVERIFY(QFile(path).open(QIODevice::WriteOnly)
                    && QFile::resize(path, kind == u"plain" ? 100 : kind.section(u' ', 0, 0).toInt() << 20));
        f.window->cmdHelp->click();
        QVERIFY(f.window->helpWindow()->isVisible());
        QCOMPARE(shown(), QStringLiteral("The help document could not be read: %1 (%2)").arg(path, reason));
        QVERIFY(f.messages.isEmpty());
    }

    // The main window follows every click of the box, shown or not yet shown; the help window
    // takes the box's state when it loads and keeps it until it is opened again. The window
    // system reads the flag from the native window once there is one.
    void alwaysOnTop_data()
    {
        QTest::addColumn<bool>("mainShown");
        QTest::newRow("main window not shown") << false;
        QTest::newRow("main window shown") << true;
    }
    void alwaysOnTop()
    {
        QFETCH(bool, mainShown);
        writeHelp("Top.");
        TestWindow &w = *f.window;
        if (mainShown)
            QVERIFY(f.show());
        const auto onTop = [](const QWidget *window) {
            const bool widget = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            const QWindow *handle = window->windowHandle();
            return handle && handle->flags().testFlag(Qt::WindowStaysOnTopHint) != widget ? -1 : int(widget);
        };
        QCOMPARE(onTop(&w), 1); // ticked at start
        for (int tick : {0, 1, 0}) {
            w.chkAlwaysOnTop->click();
            w.cmdHelp->click();
            frmHelp *help = w.helpWindow();
            QCOMPARE(QList({onTop(&w), onTop(help)}), QList({tick, tick}));
            w.chkAlwaysOnTop->click();
            QCOMPARE(QList({onTop(&w), onTop(help)}), QList({1 - tick, tick}));
            w.chkAlwaysOnTop->click();
            delete help;
        }
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
