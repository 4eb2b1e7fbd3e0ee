// The help window: one at a time, read from help.rtf each time it is created, above other windows
// as the main window's box says at that moment.
#include "frmhelp.h"
#include "rowsfixture.h"

#include <sys/stat.h>

using namespace rowstest;

static qsizetype helpWindowCount()
{
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::count_if(all.begin(), all.end(), [](QWidget *w) { return qobject_cast<frmHelp *>(w) && w->isVisible(); });
}

static bool staysOnTop(const QWidget *window) { return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

class TestHelp : public QObject {
    Q_OBJECT
    WindowFixture f;

    void writeHelp(const char *words)
    {
        QFile file(f.folder->filePath(QStringLiteral("help.rtf")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs20 {\b Help}\par )") + words + "\\par}");
    }
    QString shown() const { return f.window->helpWindow()->RichTextBox1->toPlainText(); }

private slots:
    void init() { f.start(); }
    void cleanup()
    {
        delete f.window->helpWindow();
        f.stop();
    }

    void createdOnceAndAgainAfterClosing()
    {
        writeHelp("Pick your team.");
        f.window->cmdHelp->click();
        frmHelp *help = f.window->helpWindow();
        QVERIFY(help && help->isVisible() && !help->parentWidget());
        QVERIFY(shown().contains(QStringLiteral("Pick your team.")));
        QVERIFY(!shown().contains(QStringLiteral("\\rtf1")));

        // A second click brings the same window forward without reading the file again.
        writeHelp("Changed while open.");
        f.window->cmdHelp->click();
        QCOMPARE(f.window->helpWindow(), help);
        QCOMPARE(helpWindowCount(), 1);
        QVERIFY(shown().contains(QStringLiteral("Pick your team.")));

        // Closed, and clicked again before the closed window is deleted: a new window, the new text.
        QVERIFY(help->close());
        QCOMPARE(helpWindowCount(), 0);
        f.window->cmdHelp->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.window->helpWindow() && shown().contains(QStringLiteral("Changed while open.")));
        QCOMPARE(helpWindowCount(), 1);
    }

    // Whatever stands in help.rtf's place is told in the viewer's one line, after its path, and
    // nothing else is told: a pipe would block, /dev/zero would never end.
    void unreadableHelp_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        // clang-format off
        QTest::newRow("missing") << "" << "No such file or directory";
        QTest::newRow("a pipe") << "fifo" << "it is not a file";
        QTest::newRow("a link to a device without end") << "/dev/zero" << "it is not a file";
        QTest::newRow("a folder") << "folder" << "it is not a file";
        QTest::newRow("larger than 16 MB") << "17 MB" << "it is larger than 16 MB";
        // clang-format on
    }
    void unreadableHelp()
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
        else if (!kind.isEmpty()) // sparse: no disk is filled
            QVERIFY(QFile(path).open(QIODevice::WriteOnly) && QFile::resize(path, (qint64(17) << 20)));
        f.window->cmdHelp->click();
        QVERIFY(f.window->helpWindow()->isVisible());
        QCOMPARE(shown(), QStringLiteral("The help document could not be read: %1 (%2)").arg(path, reason));
        QVERIFY(f.messages.isEmpty());
    }

    // The help window takes the box's state when it loads and keeps it until it is opened again.
    void helpFollowsAlwaysOnTopAtLoad()
    {
        writeHelp("Top.");
        for (bool onTop : {true, false}) {
            f.window->chkAlwaysOnTop->setChecked(onTop);
            f.window->cmdHelp->click();
            frmHelp *help = f.window->helpWindow();
            QCOMPARE(staysOnTop(help), onTop);
            f.window->chkAlwaysOnTop->setChecked(!onTop);
            QCOMPARE(staysOnTop(f.window.get()), !onTop);
            QCOMPARE(staysOnTop(help), onTop);
            delete help;
        }
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
