// SPDX-License-Identifier: MIT
// The main window as it opens, the head of its focus order, the input lock of a search, the
// arrangement commands and the help window.
#include "rowsfixture.h"

#include "frmhelp.h"
#include "resultlistbox.h"

#include <sys/stat.h>

using namespace rowstest;

static qsizetype helpWindowCount()
{
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::count_if(all.begin(), all.end(), [](QWidget *w) { return qobject_cast<frmHelp *>(w) && w->isVisible(); });
}

static bool staysOnTop(const QWidget *window) { return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

class TestLayout : public QObject {
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

    // Each row's name is its fact: "control.property", the window itself when the name is empty.
    // Places in pixels of the container (the design's twips divided by 15).
    void facts_data()
    {
        QTest::addColumn<QVariant>("value");
        const std::pair<const char *, QVariant> facts[] = {
            {".size", QSize(705, 680)}, {"List1.geometry", QRect(496, 159, 201, 411)},
            {"txtCash.text", "50"},     {"CP_3.geometry", QRect(152, 50, 27, 16)},
            {"CC_1.maxLength", 4},      {"GPW_1.readOnly", true},
            {"txtTarget.text", "30"},   {"optM_1.checked", true},
            {"chkTop35.checked", true}};
        for (const auto &[fact, value] : facts)
            QTest::newRow(fact) << value;
    }
    void facts()
    {
        const QString fact = QString::fromLatin1(QTest::currentDataTag());
        const QString name = fact.section(u'.', 0, 0), property = fact.section(u'.', 1);
        const QWidget *control = name.isEmpty() ? f.window.get() : f.window->findChild<QWidget *>(name);
        QTEST(control ? control->property(qPrintable(property)) : QVariant(QStringLiteral("no control")), "value");
    }

    // The arrow's dots are light grey, not the theme's face showing through.
    void arrowPixels()
    {
        const QImage arrow = f.window->row(Position::C, 1).cmdM->icon().pixmap(QSize(7, 11)).toImage();
        QCOMPARE(arrow.pixel(0, 0), qRgb(192, 192, 192));
        QCOMPARE(arrow.pixel(3, 0), qRgb(255, 255, 255));
        QCOMPARE(arrow.pixel(3, 3), qRgb(0, 0, 0));
    }

    // A pending move shows its pointer over the text cells too, and the text pointer comes back.
    void movePointerOverCells()
    {
        TestWindow &w = *f.window;
        w.row(Position::W, 3).cmdM->click();
        QCOMPARE(w.row(Position::C, 5).N->cursor().shape(), Qt::SizeVerCursor);
        QCOMPARE(w.txtCash->cursor().shape(), Qt::SizeVerCursor);
        w.row(Position::W, 3).cmdM->click();
        QCOMPARE(w.row(Position::C, 5).N->cursor().shape(), Qt::IBeamCursor);
    }

    // A long name shows its beginning after a reload that sets the same text again, and the
    // percentage the field shows still holds.
    void nameBeginningAfterReload()
    {
        TestWindow &w = *f.window;
        QLineEdit *name = w.row(Position::C, 1).N;
        name->setText(QStringLiteral("Alexander Maximilian Vanderberg-Oksanen"));
        w.cmdSave_Click();
        w.txtPerc->setText(QStringLiteral("85")); // the percentage is not saved: the search keeps the field's
        w.Form_Load();
        QVERIFY(name->cursorPosition() == 0 && w.MinPerc == 85.0f);
    }

    // Start-up leaves the left edge to the window system and puts the top edge at 0 once shown.
    void startUpPlace()
    {
        TestWindow &w = *f.window;
        QVERIFY(!w.testAttribute(Qt::WA_Moved));
        w.show();
        w.move(123, 77); // where a window manager might put it
        QTRY_COMPARE(w.pos(), QPoint(123, 0));
    }

    // The lock disables exactly the 497 controls and changes no text, check value or colour; an
    // unlock while the search has not yet returned leaves Find Best Team disabled.
    void lock()
    {
        TestWindow &w = *f.window;
        QSet<QString> locked{"txtCash", "txtTarget", "cmdSave", "cmdReload", "cmdDo", "optM_0", "optM_1"};
        for (Position p : roster::AllPositions)
            for (int r = 1; r <= roster::rowCount(p); ++r)
                for (const char *cell : {"%1N_%2", "%1C_%2", "%1P_%2", "%1W_%2", "%1PW_%2", "chk%1_%2", "cmd%1M_%2"})
                    locked << QString::fromLatin1(cell).arg(roster::letter(p)).arg(r);
        // The disabled controls, then every control's text, tick and text colour.
        const auto state = [&w] {
            std::pair<QSet<QString>, QStringList> state;
            for (const QWidget *widget : w.findChildren<QWidget *>()) {
                if (!widget->isEnabled())
                    state.first << widget->objectName();
                state.second << widget->property("text").toString() + widget->property("checked").toString()
                                    + widget->palette().color(QPalette::Active, QPalette::Text).name();
            }
            return state;
        };
        const QStringList unchanged = state().second;
        w.LockInputs();
        QCOMPARE(state(), std::pair(locked, unchanged));
        w.UnlockInputs();
        QCOMPARE(state(), std::pair(QSet<QString>(), unchanged));
        w.search.running = true;
        w.UnlockInputs();
        QCOMPARE(state().first, QSet<QString>{QStringLiteral("cmdDo")});
    }

    // H: cmdHSwitch, V: cmdVSwitch, C: cmdCompact; places of fraC, fraW, fraD, fraG. Outer sizes in
    // pixels of the twips asked for (3685 by 6380 twips are 246 by 425 pixels). Compact shows the
    // 20-row frames when they are on top, the 15-row ones after V; Full puts the window at the left
    // edge; switched there and back, the right-hand frames stand at 249.
    void arrangement_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QList<QPoint>>("places");
        QTest::addColumn<QSize>("outer");
        QTest::newRow("C") << "C" << QList<QPoint>{{3, 55}, {243, 55}, {3, 411}, {243, 411}} << QSize(246, 425);
        QTest::newRow("VC") << "VC" << QList<QPoint>{{3, 337}, {243, 337}, {3, 55}, {243, 55}} << QSize(246, 347);
        QTest::newRow("HHCC") << "HHCC" << QList<QPoint>{{3, 55}, {249, 55}, {3, 411}, {249, 411}} << QSize(708, 705);
    }
    void arrangement()
    {
        QFETCH(QString, clicks);
        TestWindow &w = *f.window;
        w.move(300, 40);
        for (QChar click : clicks)
            (click == u'H' ? w.cmdHSwitch : click == u'V' ? w.cmdVSwitch : w.cmdCompact)->click();
        QTEST((QList<QPoint>{w.fraC->pos(), w.fraW->pos(), w.fraD->pos(), w.fraG->pos()}), "places");
        QCOMPARE(w.cmdCompact->text(), clicks.count(u'C') == 1 ? "Full Window" : "Compact Window");
        QTEST(w.requestedOuterSize(), "outer");
        QCOMPARE(w.pos(), clicks.endsWith(u"CC") ? QPoint(10, 40) : QPoint(300, 40));
    }

    // The help window: one at a time, read from help.rtf each time it is created, above other
    // windows as the main window's box says at that moment.
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

    // The help window takes the box's state when it loads and keeps it until it is opened again;
    // the main window follows every click, shown or not yet shown. The window system reads the
    // flag from the native window once there is one.
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
        if (mainShown) {
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
        }
        const auto onTop = [](const QWidget *window) {
            const bool widget = staysOnTop(window);
            const QWindow *handle = window->windowHandle();
            return handle && handle->flags().testFlag(Qt::WindowStaysOnTopHint) != widget ? -1 : int(widget);
        };
        QCOMPARE(onTop(&w), 1); // ticked at start
        for (int tick : {0, 1, 0}) {
            w.chkAlwaysOnTop->click();
            QCOMPARE(w.chkAlwaysOnTop->isChecked(), bool(tick));
            QCOMPARE(onTop(&w), tick);
            w.cmdHelp->click();
            frmHelp *help = w.helpWindow();
            QCOMPARE(onTop(help), tick);
            w.chkAlwaysOnTop->click();
            QCOMPARE(onTop(&w), 1 - tick);
            QCOMPARE(onTop(help), tick); // until it is opened again
            w.chkAlwaysOnTop->click();
            delete help;
        }
    }

    // A help document longer than the viewer opens at its top, wherever the reader left it.
    void helpOpensAtTop()
    {
        QByteArray words;
        for (int i = 1; i <= 200; ++i)
            words += "Paragraph " + QByteArray::number(i) + ".\\par ";
        writeHelp(words.constData());
        f.window->cmdHelp->click();
        QTextBrowser *viewer = f.window->helpWindow()->RichTextBox1;
        QVERIFY(QTest::qWaitForWindowExposed(f.window->helpWindow()));
        QCoreApplication::processEvents();
        QVERIFY(viewer->verticalScrollBar()->maximum() > 0);
        QCOMPARE(viewer->verticalScrollBar()->value(), 0);
        QCOMPARE(viewer->textCursor().position(), 0);
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
