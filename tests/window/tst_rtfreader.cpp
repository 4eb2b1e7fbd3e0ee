#include "window/rtfreader.h"

#include <QColor>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QTextCharFormat formatAt(QTextDocument &document, int position)
{
    QTextCursor cursor(&document);
    cursor.setPosition(position + 1); // charFormat() gives the format of the character before
    return cursor.charFormat();
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT
private slots:
    void text_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty document") << QByteArray(R"({\rtf1})") << u""_s;
        QTest::newRow("hex escape") << QByteArray(R"({\rtf1 caf\'e9 \'80})") << u"café €"_s;
        QTest::newRow("unicode, replacement skipped") << QByteArray(R"({\rtf1 \u8364?5})") << u"€5"_s;
        QTest::newRow("uc0 skips nothing") << QByteArray(R"({\rtf1\uc0\u233 x})") << u"éx"_s;
        QTest::newRow("escaped braces and backslash") << QByteArray(R"({\rtf1 a\\b\{c\}})") << u"a\\b{c}"_s;
        QTest::newRow("tables, stylesheet and info")
            << QByteArray(R"({\rtf1{\fonttbl{\f0 A;}}{\colortbl;\red9;}{\stylesheet{\s1 H;}}{\info T}x})") << u"x"_s;
        QTest::newRow("picture") << QByteArray(R"({\rtf1 a{\pict\pngblip 89504e470d0a1a0a7b7d5c}b})") << u"ab"_s;
        QTest::newRow("starred groups") << QByteArray(R"({\rtf1 a{\*\generator W 1;}{\*\unknown x{y}}b})") << u"ab"_s;
        QTest::newRow("extra closing braces") << QByteArray(R"({\rtf1 {a}}b}}c)") << u"abc"_s;
        QTest::newRow("missing closing braces") << QByteArray(R"({\rtf1 {\b a{\i b)") << u"ab"_s;
        QTest::newRow("binary data with braces") << QByteArray(R"({\rtf1 a\bin4 x}{yb})") << u"ab"_s;
        QTest::newRow("binary past the end") << QByteArray(R"({\rtf1 a\bin999999999999 xyz})") << u"a"_s;
        QTest::newRow("NUL bytes") << QByteArray("{\\rtf1 a\0b\\\0c}", 14) << u"abc"_s;
        QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\") << u"a"_s;
        // Groups nested deeper than any real document are not read; what surrounds them is.
        const QByteArray opens(100000, '{');
        QTest::newRow("100,000 groups") << "{\\rtf1 a" + opens + "x" + QByteArray(100000, '}') + "b}" << u"ab"_s;
        QTest::newRow("100,000 groups never closed") << "{\\rtf1 a" + opens + "x" << u"a"_s;
    }

    void text()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument document;
        QString error = u"stale"_s;
        QVERIFY(rtf::readRtf(rtf, &document, &error));
        QCOMPARE(error, QString());
        QTEST(document.toPlainText(), "expected");
    }

    void formats_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<qreal>("pointSize");
        QTest::addColumn<QColor>("colour"); // invalid: the viewer's own text colour
        QTest::newRow("default") << 0 << false << false << false << 12.0 << QColor();
        QTest::newRow("group sets") << 1 << true << true << true << 18.0 << QColor(Qt::red);
        QTest::newRow("inner group") << 2 << false << true << true << 18.0 << QColor(Qt::blue);
        QTest::newRow("inner group restored") << 3 << true << true << true << 18.0 << QColor(Qt::red);
        QTest::newRow("outer group restored") << 4 << false << false << false << 12.0 << QColor();
        QTest::newRow("outside a group") << 5 << true << false << false << 20.0 << QColor(Qt::blue);
        QTest::newRow("plain") << 6 << false << false << false << 12.0 << QColor();
    }

    void formats()
    {
        QFETCH(int, position);
        QTextDocument document;
        QVERIFY(rtf::readRtf(R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
                             R"(a{\b\i\ul\fs36\cf1 b{\b0\cf2 c}d}e\b\cf2\fs40 f\plain g})",
                             &document, nullptr));
        QCOMPARE(document.toPlainText(), u"abcdefg"_s);
        const QTextCharFormat format = formatAt(document, position);
        QTEST(format.fontWeight() >= QFont::Bold, "bold");
        QTEST(format.fontItalic(), "italic");
        QTEST(format.fontUnderline(), "underline");
        QTEST(format.fontPointSize(), "pointSize");
        QTEST(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor(), "colour");
    }

    void notRtf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("plain text") << QByteArray("Centres, Wingers, Defence, Goalies");
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10);
    }

    void notRtf()
    {
        QFETCH(QByteArray, bytes);
        QTextDocument document(u"earlier help text"_s);
        QString error;
        QVERIFY(!rtf::readRtf(bytes, &document, &error));
        QVERIFY(!error.isEmpty() && document.isEmpty());
    }

    void helpDocument()
    {
        QFile file(QStringLiteral(KORVANE_DATA_DIR "/help.rtf"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
        QTextDocument document;
        QString error;
        QVERIFY2(rtf::readRtf(file.readAll(), &document, &error), qPrintable(error));
        // Markup that leaks into the text means a slip in the hand-written file.
        QVERIFY(!document.toPlainText().contains(QRegularExpression(u"[\\\\{}]"_s)));
        QCOMPARE(document.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        for (const char *heading : {"Korvane Help", "The roster", "Include boxes", "Finding the best team",
                                    "Reading a result line", "Saving the roster", "Arranging the window"}) {
            QTextBlock block = document.begin();
            while (block.isValid() && block.text() != heading)
                block = block.next();
            QVERIFY2(block.isValid(), heading);
            const QTextCharFormat format = formatAt(document, block.position());
            QVERIFY2(format.fontWeight() >= QFont::Bold && format.fontPointSize() > 12.0, heading);
            QCOMPARE(format.fontFamilies().toStringList(), QStringList{u"Arial"_s});
        }
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
