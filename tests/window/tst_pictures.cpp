// SPDX-License-Identifier: MIT
// The windows as a user sees them, compared pixel for pixel with pictures a person has looked
// at: the main window during a search and after one, compact, with its frames switched, and the
// help. Every caption, cell, colour, arrow, line and the list's font shows here at once, as no
// single property would.
//
// Text is drawn with the machine's fonts and font rasteriser, which differ between machines and
// releases. So fonts.png guards the pictures: a sample of text drawn without the program, which
// also names the faces found for the families the windows ask for. Where it comes out otherwise
// the test says so and skips. KORVANE_WRITE_PICTURES=1 writes the pictures afresh, to be looked
// at before they are committed.
#include "rowsfixture.h"

using namespace rowstest;

static const QString PicturesFolder = QStringLiteral(KORVANE_PICTURES_DIR);

// The picture is the one stored under this name, or, while writing, becomes it.
static bool sameAsStored(const QImage &drawn, const QString &name)
{
    const QString path = PicturesFolder + u'/' + name + QStringLiteral(".png");
    const QImage image = drawn.convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIntValue("KORVANE_WRITE_PICTURES") == 1)
        return image.save(path);
    if (image == QImage(path).convertToFormat(QImage::Format_RGB32))
        return true;
    const QString seen = QDir::temp().filePath(QStringLiteral("korvane-") + name + QStringLiteral(".png"));
    image.save(seen);
    qWarning("%s differs from %s; as drawn here: %s", qPrintable(name), qPrintable(path), qPrintable(seen));
    return false;
}

class TestPictures : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    void initTestCase()
    {
        QGuiApplication::styleHints()->setCursorFlashTime(0); // a focused field's cursor always shows
        QImage sample(480, 80, QImage::Format_RGB32);
        sample.fill(Qt::white);
        QPainter painter(&sample);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        painter.setFont(font);
        painter.drawText(2, 14, QStringLiteral("Pts/W 51.6 -- 98 -- 1 3 - 1 2"));
        font.setBold(true);
        font.setStretch(85);
        font.setPointSizeF(6.75);
        painter.setFont(font);
        painter.drawText(2, 32, QStringLiteral("Find Best Team 0123456789"));
        painter.setFont(QApplication::font());
        painter.drawText(2, 52, QStringLiteral("Korvane Help: Money and target"));
        // The faces that stand in for the families the windows and the help ask for.
        QStringList faces;
        for (const char *family : {"MS Sans Serif", "Small Fonts", "Arial", "Courier New"})
            faces << QFontInfo(QFont(QString::fromLatin1(family))).family();
        painter.drawText(2, 72, faces.join(u'/'));
        painter.end();
        if (!sameAsStored(sample, QStringLiteral("fonts")))
            QSKIP("This machine draws text unlike the one the pictures were made on.");
    }
    // The sample roster loaded as at start-up, Auto Save ticked as a user finds it.
    void init()
    {
        f.start();
        f.loadSample();
    }
    void cleanup()
    {
        delete f.window->helpWindow();
        f.stop();
    }

    // The sample roster after a search, the best team's line clicked: its players tinted in
    // the rows. Then the same window made compact, full again with its frames switched both
    // ways, and the upper and lower frames switched back.
    void mainWindow()
    {
        TestWindow &w = *f.window;
        QVERIFY(f.show());
        QTest::mouseClick(w.cmdDo, Qt::LeftButton); // the focus goes with the click, as a user's does
        clickLine(*w.List1, 34);
        QVERIFY(sameAsStored(w.grab().toImage(), QStringLiteral("window")));
        w.cmdCompact->click();
        QVERIFY(sameAsStored(w.grab().toImage(), QStringLiteral("compact")));
        w.cmdCompact->click();
        w.cmdHSwitch->click();
        QVERIFY(w.updatesEnabled()); // a grab draws either way; the screen needs painting back on
        w.cmdVSwitch->click();
        QVERIFY(sameAsStored(w.grab().toImage(), QStringLiteral("switched")));
        w.cmdVSwitch->click(); // Centres and Wingers back on top, through the switch
        QVERIFY(sameAsStored(w.grab().toImage(), QStringLiteral("switched-back")) && w.updatesEnabled());
    }

    // The window during a search of every team, at the tick a tenth of the way through: the
    // roster and the settings the search reads locked, the percentage and Stop live, the progress.
    void searching()
    {
        TestWindow &w = *f.window;
        QVERIFY(f.show());
        w.txtTarget->setText(QStringLiteral("1000")); // no team is listed
        w.tickEveryRow();
        w.useReferenceEngine = true;
        bool same = false;
        w.searchUntilFirstPass([&] {
            w.search.state.Examined = 628275360;
            w.Timer1_Timer();
            same = sameAsStored(w.grab().toImage(), QStringLiteral("searching"));
        });
        QVERIFY(same);
    }

    // The help as it opens: help.rtf's own fonts, colours, lists and indents.
    void help()
    {
        QVERIFY(QFile::copy(QStringLiteral(KORVANE_DATA_DIR "/help.rtf"), f.folder->filePath("help.rtf")));
        f.window->cmdHelp->click();
        QVERIFY(QTest::qWaitForWindowExposed(f.window->helpWindow()));
        QVERIFY(sameAsStored(f.window->helpWindow()->grab().toImage(), QStringLiteral("help")));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
