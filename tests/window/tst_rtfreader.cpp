#include "window/rtfreader.h"

#include <QColor>
#include <QFile>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The document's text with paragraph and line breaks as "\n" but, unlike toPlainText(), with
// no-break spaces kept, so that \~ can be told from a plain space.
QString textOf(const QTextDocument &document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    return text;
}

QTextCharFormat formatAt(QTextDocument &document, int position)
{
    QTextCursor cursor(&document);
    cursor.setPosition(position + 1); // charFormat() gives the format of the character before
    return cursor.charFormat();
}

QColor colourOf(const QTextCharFormat &format)
{
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor();
}

const QByteArray colourTable = R"({\colortbl;\red255\green0\blue0;\red0\green0\blue255;})";

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void formats_data();
    void formats();
    void fontFamilies();
    void alignment_data();
    void alignment();
    void notRtf_data();
    void notRtf();
    void deepNesting_data();
    void deepNesting();
    void randomJunk();
    void helpDocument();
};

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray(R"({\rtf1 Hello, pool})") << u"Hello, pool"_s;
    QTest::newRow("empty document") << QByteArray(R"({\rtf1})") << u""_s;
    QTest::newRow("leading blank lines") << QByteArray("\r\n \t{\\rtf1 x}") << u"x"_s;
    QTest::newRow("paragraphs") << QByteArray(R"({\rtf1 one\par two\par})") << u"one\ntwo\n"_s;
    QTest::newRow("line break and tab") << QByteArray(R"({\rtf1 a\line b\tab c})") << u"a\nb\tc"_s;
    QTest::newRow("backslash newline is a paragraph") << QByteArray("{\\rtf1 a\\\r\nb}") << u"a\nb"_s;
    QTest::newRow("line ends in the file are ignored") << QByteArray("{\\rtf1 Wing\r\ners}") << u"Wingers"_s;
    QTest::newRow("one delimiting space eaten") << QByteArray(R"({\rtf1\b  bold\b0 x})") << u" boldx"_s;
    QTest::newRow("minus without digit is text") << QByteArray(R"({\rtf1 a\tab-b})") << u"a\t-b"_s;
    QTest::newRow("escaped braces and backslash") << QByteArray(R"({\rtf1 a\\b\{c\}})") << u"a\\b{c}"_s;
    QTest::newRow("hex escape") << QByteArray(R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'80})") << u"café €"_s;
    QTest::newRow("hex 1252 quotes") << QByteArray(R"({\rtf1 \'93q\'94\'85})") << u"“q”…"_s;
    QTest::newRow("raw 8-bit byte") << QByteArray("{\\rtf1 caf\xe9}") << u"café"_s;
    QTest::newRow("bad hex dropped") << QByteArray(R"({\rtf1 a\'zzb\'4})") << u"azzb"_s;
    QTest::newRow("unicode with replacement") << QByteArray(R"({\rtf1 \u8364?5})") << u"€5"_s;
    QTest::newRow("unicode negative") << QByteArray(R"({\rtf1 \u-24576?})") << u"\uA000"_s;
    QTest::newRow("unicode skips a hex escape") << QByteArray(R"({\rtf1 \u233\'e9x})") << u"éx"_s;
    QTest::newRow("uc0 skips nothing") << QByteArray(R"({\rtf1\uc0\u233 x})") << u"éx"_s;
    QTest::newRow("uc2 skips two") << QByteArray(R"({\rtf1\uc2\u8364\'80\'80x})") << u"€x"_s;
    QTest::newRow("uc is scoped to its group") << QByteArray(R"({\rtf1{\uc0\u233 a}\u233 bc})") << u"éaéc"_s;
    QTest::newRow("skip stops at a group end") << QByteArray(R"({\rtf1{\uc3\u233 a}bc})") << u"ébc"_s;
    QTest::newRow("surrogate pair") << QByteArray(R"({\rtf1\u-10179?\u-8704?})") << u"\U0001F600"_s;
    QTest::newRow("lone surrogate") << QByteArray(R"({\rtf1\u-10179?x})") << u"\uFFFDx"_s;
    QTest::newRow("huge unicode clamped") << QByteArray(R"({\rtf1\u99999999999?x})") << u"\uFFFFx"_s;
    QTest::newRow("control symbols") << QByteArray(R"({\rtf1 a\~b\-c\_d})") << u"a\u00A0b\u00ADc\u2011d"_s;
    QTest::newRow("named characters")
        << QByteArray(R"({\rtf1\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})")
        << u"—–•‘’“”"_s;
    QTest::newRow("nested groups") << QByteArray(R"({\rtf1 a{b{c}d}e})") << u"abcde"_s;
    QTest::newRow("unknown words ignored") << QByteArray(R"({\rtf1 a\pool123 \x-5 b\zz})") << u"ab"_s;
    QTest::newRow("font table skipped")
        << QByteArray(R"({\rtf1{\fonttbl{\f0\fswiss{\*\panose 020b}Arial;}{\f1 Times;}}Hi})") << u"Hi"_s;
    QTest::newRow("colour table skipped") << QByteArray("{\\rtf1" + colourTable + "Hi}") << u"Hi"_s;
    QTest::newRow("stylesheet and info skipped")
        << QByteArray(R"({\rtf1{\stylesheet{\s1 Heading 1;}}{\info{\title T}{\author A}}Hi})") << u"Hi"_s;
    QTest::newRow("picture with hex data skipped")
        << QByteArray(R"({\rtf1 a{\pict\pngblip\picw10 89504e470d0a1a0a7b7d5c}b})") << u"ab"_s;
    QTest::newRow("starred groups skipped")
        << QByteArray(R"({\rtf1 a{\*\generator Writer 1.0;}{\*\unknownthing x{y}}b})") << u"ab"_s;
    QTest::newRow("header footer footnote skipped")
        << QByteArray(R"({\rtf1{\header H}{\footer F}a{\footnote N}b})") << u"ab"_s;
    QTest::newRow("field shows its result") << QByteArray(R"({\rtf1{\field{\*\fldinst HYPERLINK x}{\fldrslt Link}}})")
                                            << u"Link"_s;
    QTest::newRow("binary data skipped") << QByteArray("{\\rtf1 a{\\bin4 }{\\\x00}b}", 22) << u"ab"_s;
    QTest::newRow("binary huge") << QByteArray(R"({\rtf1 a\bin999999999999 xyz})") << u"a"_s;
    QTest::newRow("binary negative") << QByteArray(R"({\rtf1 a\bin-5 x})") << u"ax"_s;
    QTest::newRow("many digits") << QByteArray(R"({\rtf1\fs99999999999999999999999 a\cf-99999999999 b})") << u"ab"_s;
    QTest::newRow("NUL bytes") << QByteArray("{\\rtf1 a\0b\\\0c}", 14) << u"abc"_s;
    QTest::newRow("extra closing braces") << QByteArray(R"({\rtf1 {a}}b}}c)") << u"abc"_s;
    QTest::newRow("missing closing braces") << QByteArray(R"({\rtf1 {\b a{\i b)") << u"ab"_s;
    QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\") << u"a"_s;
    QTest::newRow("control bytes dropped") << QByteArray("{\\rtf1 a\x01\x1b\\u10 b}") << u"a"_s;
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);

    QTextDocument document;
    QString error = u"stale"_s;
    QVERIFY(rtf::readRtf(rtf, &document, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(textOf(document), expected);
}

void TestRtfReader::formats_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<QColor>("colour"); // invalid: the viewer's own text colour

    const QByteArray boldRun = R"({\rtf1 a\b b\b0 c})";
    QTest::newRow("before bold") << boldRun << 0 << false << false << false << 12.0 << QColor();
    QTest::newRow("bold") << boldRun << 1 << true << false << false << 12.0 << QColor();
    QTest::newRow("bold0 ends bold") << boldRun << 2 << false << false << false << 12.0 << QColor();

    const QByteArray nested = R"({\rtf1 a{\b\i\ul\fs36 b{\b0 c}d}e})";
    QTest::newRow("group sets") << nested << 1 << true << true << true << 18.0 << QColor();
    QTest::newRow("inner group") << nested << 2 << false << true << true << 18.0 << QColor();
    QTest::newRow("inner group restored") << nested << 3 << true << true << true << 18.0 << QColor();
    QTest::newRow("outer group restored") << nested << 4 << false << false << false << 12.0 << QColor();

    const QByteArray underline = R"({\rtf1\ul a\ulnone b\ul c\ul0 d})";
    QTest::newRow("ul") << underline << 0 << false << false << true << 12.0 << QColor();
    QTest::newRow("ulnone") << underline << 1 << false << false << false << 12.0 << QColor();
    QTest::newRow("ul again") << underline << 2 << false << false << true << 12.0 << QColor();
    QTest::newRow("ul0") << underline << 3 << false << false << false << 12.0 << QColor();

    const QByteArray colours = "{\\rtf1" + colourTable + R"(\cf1 r\cf2 b\cf0 a\cf7 x{\cf1 y}z})";
    QTest::newRow("cf1 red") << colours << 0 << false << false << false << 12.0 << QColor(255, 0, 0);
    QTest::newRow("cf2 blue") << colours << 1 << false << false << false << 12.0 << QColor(0, 0, 255);
    QTest::newRow("cf0 automatic") << colours << 2 << false << false << false << 12.0 << QColor();
    QTest::newRow("cf beyond the table") << colours << 3 << false << false << false << 12.0 << QColor();
    QTest::newRow("colour in group") << colours << 4 << false << false << false << 12.0 << QColor(255, 0, 0);
    QTest::newRow("colour restored") << colours << 5 << false << false << false << 12.0 << QColor();

    const QByteArray plain = "{\\rtf1" + colourTable + R"(\b\i\ul\fs40\cf1 a\plain b})";
    QTest::newRow("before plain") << plain << 0 << true << true << true << 20.0 << QColor(255, 0, 0);
    QTest::newRow("plain resets") << plain << 1 << false << false << false << 12.0 << QColor();

    QTest::newRow("fs0 is the default") << QByteArray(R"({\rtf1\fs0 a})") << 0 << false << false << false << 12.0
                                        << QColor();
    QTest::newRow("huge fs clamped") << QByteArray(R"({\rtf1\fs99999 a})") << 0 << false << false << false << 500.0
                                     << QColor();
    QTest::newRow("escape keeps format") << QByteArray(R"({\rtf1\b\'e9\u8364?})") << 1 << true << false << false
                                         << 12.0 << QColor();
    QTest::newRow("second paragraph") << QByteArray(R"({\rtf1{\b a\par}b})") << 2 << false << false << false << 12.0
                                      << QColor();
    QTest::newRow("deep groups restore")
        << QByteArray("{\\rtf1" + QByteArray(100, '{') + "\\b x" + QByteArray(100, '}') + "y}") << 1 << false
        << false << false << 12.0 << QColor();
}

void TestRtfReader::formats()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, position);

    QTextDocument document;
    QVERIFY(rtf::readRtf(rtf, &document, nullptr));
    const QTextCharFormat format = formatAt(document, position);
    QTEST(format.fontWeight() >= QFont::Bold, "bold");
    QTEST(format.fontItalic(), "italic");
    QTEST(format.fontUnderline(), "underline");
    QTEST(format.fontPointSize(), "pointSize");
    QTEST(colourOf(format), "colour");
}

void TestRtfReader::fontFamilies()
{
    const QByteArray rtf = R"({\rtf1\ansi\deff1{\fonttbl{\f0\froman\fcharset0 Times New Roman;})"
                           R"({\f1\fswiss{\*\panose 020b0604}Arial;}{\f2\fmodern Courier\'e9;}})"
                           R"(a\f0 b\f2 c\plain d\f9 e})";
    QTextDocument document;
    QVERIFY(rtf::readRtf(rtf, &document, nullptr));
    QCOMPARE(document.toPlainText(), u"abcde"_s);
    QCOMPARE(formatAt(document, 0).fontFamilies().toStringList(), QStringList{u"Arial"_s});
    QCOMPARE(formatAt(document, 0).fontStyleHint(), QFont::SansSerif);
    QCOMPARE(formatAt(document, 1).fontFamilies().toStringList(), QStringList{u"Times New Roman"_s});
    QCOMPARE(formatAt(document, 1).fontStyleHint(), QFont::Serif);
    QCOMPARE(formatAt(document, 2).fontFamilies().toStringList(), QStringList{u"Courieré"_s});
    QCOMPARE(formatAt(document, 3).fontFamilies().toStringList(), QStringList{u"Arial"_s}); // \plain: \deff1
    QVERIFY(!formatAt(document, 4).hasProperty(QTextFormat::FontFamilies)); // no such font
}

void TestRtfReader::alignment_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("alignment");

    const QByteArray rtf = R"({\rtf1\qc Title\par\pard Body\par\qr Right\par{\qj Group\par}Left})";
    QTest::newRow("centred") << rtf << 0 << int(Qt::AlignHCenter);
    QTest::newRow("pard resets") << rtf << 1 << int(Qt::AlignLeft);
    QTest::newRow("right") << rtf << 2 << int(Qt::AlignRight);
    QTest::newRow("justified in group") << rtf << 3 << int(Qt::AlignJustify);
    QTest::newRow("group ended: right again") << rtf << 4 << int(Qt::AlignRight);
}

void TestRtfReader::alignment()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, block);

    QTextDocument document;
    QVERIFY(rtf::readRtf(rtf, &document, nullptr));
    QTEST(int(document.findBlockByNumber(block).blockFormat().alignment() & Qt::AlignHorizontal_Mask),
          "alignment");
}

void TestRtfReader::notRtf_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blanks only") << QByteArray(" \r\n\t ");
    QTest::newRow("plain text") << QByteArray("Centres, Wingers, Defence, Goalies");
    QTest::newRow("cut header") << QByteArray("{\\rt");
    QTest::newRow("no backslash") << QByteArray("{rtf1 x}");
    QTest::newRow("no brace") << QByteArray("\\rtf1 x}");
    QTest::newRow("text before") << QByteArray("x{\\rtf1 y}");
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10);
}

void TestRtfReader::notRtf()
{
    QFETCH(QByteArray, bytes);

    QTextDocument document(u"earlier help text"_s);
    QString error;
    QVERIFY(!rtf::readRtf(bytes, &document, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(document.isEmpty());
}

void TestRtfReader::deepNesting_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    const QByteArray opens(100000, '{');
    const QByteArray closes(100000, '}');
    QTest::newRow("balanced") << QByteArray("{\\rtf1 a" + opens + "x" + closes + "b}") << u"ab"_s;
    QTest::newRow("never closed") << QByteArray("{\\rtf1 a" + opens + "x") << u"a"_s;
    QTest::newRow("closed twice over") << QByteArray("{\\rtf1 a" + opens + closes + closes + "b") << u"ab"_s;
    QTest::newRow("starred") << QByteArray("{\\rtf1 a" + QByteArray(50000, '{').replace("{", "{\\*") + "b") << u"a"_s;
    QTest::newRow("within the limit") << QByteArray("{\\rtf1" + QByteArray(120, '{') + "x" + QByteArray(120, '}') + "}")
                                      << u"x"_s;
}

// Groups nested deeper than any real document are not read; what surrounds them is.
void TestRtfReader::deepNesting()
{
    QFETCH(QByteArray, rtf);

    QTextDocument document;
    QVERIFY(rtf::readRtf(rtf, &document, nullptr));
    QTEST(textOf(document), "expected");
}

// Whatever file the user leaves beside the program, reading it must return.
void TestRtfReader::randomJunk()
{
    QRandomGenerator random(20240611);
    static const char letters[] = "{}\\'*-0123456789abfinprtuc; \r\n\0\xff\xe9";
    const QByteArray alphabet(letters, sizeof letters - 1);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = "{\\rtf1 ";
        const int length = random.bounded(1, 4000);
        const bool rtfLike = round % 2 == 0;
        for (int i = 0; i < length; ++i) {
            bytes += rtfLike ? alphabet[random.bounded(int(alphabet.size()))]
                             : char(random.bounded(256));
        }
        QTextDocument document;
        QVERIFY2(rtf::readRtf(bytes, &document, nullptr), qPrintable(u"round %1"_s.arg(round)));
    }
}

void TestRtfReader::helpDocument()
{
    QFile file(QStringLiteral(KORVANE_DATA_DIR "/help.rtf"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    QTextDocument document;
    QString error;
    QVERIFY2(rtf::readRtf(file.readAll(), &document, &error), qPrintable(error));

    const QString text = document.toPlainText();
    // Markup that leaks into the text means a slip in the hand-written file.
    QVERIFY(!text.contains(u'\\'));
    QVERIFY(!text.contains(u'{'));
    QVERIFY(!text.contains(u'}'));
    QVERIFY(text.contains(u'é'));
    QVERIFY(text.contains(u"123.5 -- 950 -- 1 4 - 2 3 7 9 - 1 2 5 - 3"_s));

    const QStringList headings = {u"Korvane Help"_s, u"The roster"_s, u"Include boxes"_s,
                                  u"Finding the best team"_s, u"Reading a result line"_s,
                                  u"Saving the roster"_s, u"Arranging the window"_s};
    for (const QString &heading : headings) {
        QTextBlock block = document.begin();
        while (block.isValid() && block.text() != heading)
            block = block.next();
        QVERIFY2(block.isValid(), qPrintable(heading));
        const QTextCharFormat format = formatAt(document, block.position());
        QVERIFY2(format.fontWeight() >= QFont::Bold, qPrintable(heading));
        QVERIFY2(format.fontPointSize() > 12.0, qPrintable(heading));
    }
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
