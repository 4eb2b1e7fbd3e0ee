// SPDX-License-Identifier: MIT
#include "rtfreader.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestRtfReader : public QObject {
    Q_OBJECT
private slots:
    void text_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        // Control bytes (\'00, \'01) have no place in a help text; a non-breaking space (\'a0) has,
        // and the plain text shows it as a blank.
        QTest::newRow("escapes") << R"({\rtf1 caf\'e9 \'80 \'f6\'AFb a\\b\{c\}\'00\'01\'7f\'81\'9d\'a0})"_ba
                                 << u"café € ö¯b a\\b{c} "_s;
        // A number past 16 bits counts as the nearest end of the range (-32768 is U+8000); a line end
        // a writer puts inside a replacement is no part of it.
        QTest::newRow("\\u and its replacement, none after \\uc0, line ends not counted")
            << R"({\rtf1 \u8364?5{\uc0\u233 x}\u-40000?)"_ba + "\\u233\r\n?{\\uc2\\u233 e\r\n'}}" << u"€5éx\u8000éé"_s;
        QTest::newRow("\\u beyond 16 bits, above") << R"({\rtf1 \u70000?})"_ba << u"\uFFFF"_s;
        QTest::newRow("\\uc without a number skips one") << R"({\rtf1\uc\u233 xy})"_ba << u"\u00e9y"_s;
        QTest::newRow("an escape cut short at the end") << R"({\rtf1 a\'e)"_ba << u"a"_s;
        QTest::newRow("a replacement beyond 255 characters counts 255")
            << "{\\rtf1\\uc1000\\u233" + QByteArray(300, 'x') + "}" << u"é"_s + QString(45, u'x');
        QTest::newRow("an unknown word of a, z, A and Z") << R"({\rtf1 a\azAZ b})"_ba << u"ab"_s;
        QTest::newRow("a control word at the very end") << R"({\rtf1 a\b)"_ba << u"a"_s;
        QTest::newRow("a control word as the replacement") << R"({\rtf1 a\u233\par b})"_ba << u"aéb"_s;
        QTest::newRow("a control symbol as the replacement") << R"({\rtf1 a\u233\{b})"_ba << u"aéb"_s;
        QTest::newRow("a backslash before a line end ends the paragraph") << "{\\rtf1 a\\\r\nb}"_ba << u"a\nb"_s;
        QTest::newRow("an escape of letters past f") << R"({\rtf1 a\'gzb\'Gz})"_ba << u"agzbGz"_s;
        QTest::newRow("half pairs") << R"({\rtf1 \u-10240?a\u-9216?})"_ba << u"\uFFFDa\uFFFD"_s;
        QTest::newRow("skipped destinations")
            << R"({\rtf1{\fonttbl{\f0 A;}}{\colortbl;\red9;}{\stylesheet{\s1 H;}}{\info T}a{\pict 89504e})"
               R"({\*\generator W 1;}{\*\unknown x{y}}b})"_ba
            << u"ab"_s;
        QTest::newRow("extra closing braces, unfinished groups") << R"({\rtf1 {a}}b}}c{\b d{\i e\)"_ba << u"abcde"_s;
        // Binary data may hold braces; a length beyond the end takes the rest.
        QTest::newRow("binary data") << R"({\rtf1 a\bin4 x}{yb\bin999999999999 xyz})"_ba << u"ab"_s;
        QTest::newRow("one byte of binary data") << R"({\rtf1 a\bin1 xb})"_ba << u"ab"_s;
        // Groups nested deeper than any real document are not read; what surrounds them is.
        const QByteArray opens(100000, '{');
        QTest::newRow("100,000 groups") << "{\\rtf1 a" + opens + "x" + QByteArray(100000, '}') + "b}" << u"ab"_s;
        QTest::newRow("100,000 groups never closed") << "{\\rtf1 a" + opens + "x" << u"a"_s;
        QTest::newRow("128 groups deep, the document's own included")
            << "{\\rtf1 a" + opens.first(127) + "x" + QByteArray(127, '}') + "b}" << u"axb"_s;
        QTest::newRow("129 groups deep") << "{\\rtf1 a" + opens.first(128) + "x" + QByteArray(128, '}') + "b}" << u"ab"_s;
        // The viewer breaks a word wider than itself in time that grows as the square of its length.
        QTest::newRow("a word of 1,000 letters after a blank, whole")
            << "{\\rtf1 a " + QByteArray(1000, 'x') + "}" << u"a "_s + QString(1000, u'x');
        QTest::newRow("a word of 1,000 letters after a paragraph, whole")
            << "{\\rtf1 a\\par " + QByteArray(1000, 'x') + "}" << u"a\n"_s + QString(1000, u'x');
        QTest::newRow("a word of 2,500 letters")
            << "{\\rtf1 " + QByteArray(2500, 'x') + "}" << (QString(1000, u'x') + u' ').repeated(2) + QString(500, u'x');
        QTest::newRow("19,999 paragraphs, all shown")
            << "{\\rtf1 " + QByteArray("\\par").repeated(19999) + "}" << QString(19999, u'\n');
        QTest::newRow("20,000 paragraphs, the last not shown")
            << "{\\rtf1 " + QByteArray("\\par").repeated(20000) + "}"
            << QString(20000, u'\n') + u"The rest of this document is not shown: it is far longer than any help."_s;
        // The run that reaches the limit shows; the text after it does not.
        QTest::newRow("20,000 pieces, then more text")
            << "{\\rtf1 " + QByteArray("\\par").repeated(19999) + "{\\b x}y}"
            << QString(19999, u'\n') + u"x\nThe rest of this document is not shown: it is far longer than any help."_s;
        QTest::newRow("200,000 characters, all shown")
            << "{\\rtf1 " + QByteArray("help ").repeated(40000) + "}" << u"help "_s.repeated(40000);
        QTest::newRow("200,001 characters after a bold letter, the last not shown")
            << "{\\rtf1 {\\b h}elp " + QByteArray("help ").repeated(39999) + "x}"
            << u"help "_s.repeated(40000) + u"\nThe rest of this document is not shown: it is far longer than any help."_s;
        // One format throughout is one run, however many characters.
        QTest::newRow("30,000 characters of one format")
            << "{\\rtf1 " + QByteArray("ab ").repeated(10000) + "}" << u"ab "_s.repeated(10000);
        // Not RTF at all: no text (a null expected text), a reason, and the earlier help gone.
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("plain text") << QByteArray("Centres, Wingers, Defence, Goalies") << QString();
    }

    void text()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QTextDocument document(u"earlier help text"_s);
        QString error = u"stale"_s;
        // The earlier text cleared, then the whole text loaded as one change, however long: the
        // viewer lays the document out once, not once per insertion.
        int changes = 0;
        connect(&document, &QTextDocument::contentsChanged, [&changes] { ++changes; });
        QCOMPARE(rtf::readRtf(rtf, &document, &error), !expected.isNull());
        QCOMPARE(changes, expected.isNull() ? 1 : 2);
        QCOMPARE(error.isEmpty(), !expected.isNull());
        QCOMPARE(document.toPlainText(), expected);
        // Loading is no edit to undo, and the document's own undo setting is kept.
        QVERIFY(document.isUndoRedoEnabled() && !document.isUndoAvailable());
    }

    // A paragraph takes the alignment, indents and spacing in force where it ends: the last one
    // too, which no \par ends. A negative left indent or spacing counts as none.
    void paragraphs()
    {
        QTextDocument document;
        QVERIFY(rtf::readRtf(R"({\rtf1\qc\li-300\sb-60 a\par\qr\li300\fi-150\sb60\sa30 b})", &document, nullptr));
        const QTextBlockFormat first = document.firstBlock().blockFormat(), last = document.lastBlock().blockFormat();
        QVERIFY(first.alignment() == Qt::AlignHCenter && first.leftMargin() == 0 && first.topMargin() == 0);
        QCOMPARE(last.alignment(), Qt::AlignRight);
        QCOMPARE((QList<qreal>{last.leftMargin(), last.textIndent(), last.topMargin(), last.bottomMargin()}),
                 (QList<qreal>{20, -10, 4, 2}));
    }

    // Bold, italic, underline, points, colour, family ("-": the viewer's own) and whether it is a
    // fixed-width kind, for a viewer without it. Of 2,000 fonts the first 64 show in their own
    // family, the rest in the default: the viewer looks up each family it gets.
    void formats_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("format");
        const QByteArray groups = R"({\rtf1{\colortbl;\red300\green0\blue0;\blue255;})"
                                  R"(a{\b\i\ul\fs36\cf1 b{\b0\cf2 c}d}e\b\cf2\fs40 f\plain g\cf1\cf0 h})";
        QTest::newRow("group sets") << groups << 1 << "b i u 18 #ff0000 - -";
        QTest::newRow("inner group") << groups << 2 << "- i u 18 #0000ff - -";
        QTest::newRow("inner group restored") << groups << 3 << "b i u 18 #ff0000 - -";
        QTest::newRow("outer group restored") << groups << 4 << "- - - 12 - - -";
        QTest::newRow("outside a group") << groups << 5 << "b - - 20 #0000ff - -";
        QTest::newRow("plain") << groups << 6 << "- - - 12 - - -";
        QTest::newRow("colour 0: the automatic one") << groups << 7 << "- - - 12 - - -";
        // A colour left unfinished is no part of the next table's first entry.
        QTest::newRow("a colour table after an unfinished entry")
            << R"({\rtf1{\colortbl;\red255}{\colortbl;\blue255;}\cf1 x})"_ba << 0 << "- - - 12 - - -";
        const QByteArray sizes = R"({\rtf1 \fs5000 x\fs0 y\fs1 z})";
        QTest::newRow("a size beyond reason") << sizes << 0 << "- - - 500 - - -"; // half-points: at most 1,000
        QTest::newRow("no size: the default") << sizes << 1 << "- - - 12 - - -";
        QTest::newRow("the smallest size") << sizes << 2 << "- - - 0.5 - - -";
        QByteArray fonts = "{\\rtf1\\ansi\\deff0{\\fonttbl", letters;
        for (int font = 0; font < 2000; ++font) {
            fonts += "{\\f" + QByteArray::number(font) + "\\fmodern\\fcharset0 Font " + QByteArray::number(font) + ";}";
            letters += "\\f" + QByteArray::number(font) + " x";
        }
        fonts += "}" + letters + "}";
        QTest::newRow("64th font") << fonts << 63 << "- - - 12 - Font 63 mono";
        QTest::newRow("65th font") << fonts << 64 << "- - - 12 - Font 0 mono";
        QTest::newRow("last font") << fonts << 2000 << "- - - 12 - Font 0 mono"; // after the blank at 1,000
        // The font table keeps 65,536 entries: text in the next one is in the viewer's font.
        QByteArray table = "{\\rtf1\\deff0{\\fonttbl{\\f0\\fswiss A;}";
        for (int font = 1; font <= 65536; ++font)
            table += "{\\f" + QByteArray::number(font) + "\\fmodern B;}";
        table += "}\\f65535 x\\f65536 y}";
        QTest::newRow("the 65,536th font") << table << 0 << "- - - 12 - B mono";
        QTest::newRow("the 65,537th font") << table << 1 << "- - - 12 - - -";
        // A family name keeps its first 256 characters.
        QTest::newRow("a family name of 257 characters") << "{\\rtf1{\\fonttbl{\\f0 " + QByteArray(256, 'F') + "G;}}\\f0 x}"
                                                         << 0 << "- - - 12 - " + QString(256, u'F') + " -";
        // A paragraph's first 1,000 runs take their own formats; after them its text goes on in
        // one format, here the bold of the first letter that came after. (The word of 1,200
        // letters is given a blank after its 1,000th.)
        const QByteArray runs = "{\\rtf1 " + QByteArray("{\\b x}y").repeated(600) + "}";
        QTest::newRow("the 1,000th run of a paragraph") << runs << 999 << "- - - 12 - - -";
        QTest::newRow("a plain letter after the 1,000th run of a second paragraph")
            << "{\\rtf1 a\\par " + runs.mid(7) << 1004 << "b - - 12 - - -";
        QTest::newRow("a plain letter after the 1,000th run") << runs << 1002 << "b - - 12 - - -";
        // An entry without its number names no font; one without its semicolon ends at the next.
        const QByteArray unnumbered = R"({\rtf1{\fonttbl{\fmodern Courier;}{\f1 Arial;}{\fmodern Times;}}\f0 x\f1 y})";
        QTest::newRow("an entry without a number, first") << unnumbered << 0 << "- - - 12 - - -";
        QTest::newRow("an entry without a number, after one") << unnumbered << 1 << "- - - 12 - Arial -";
        QTest::newRow("no font chosen, no default font")
            << R"({\rtf1{\fonttbl{\f0\fmodern Courier;}}x})"_ba << 0 << "- - - 12 - - -";
        QTest::newRow("plain without a default font")
            << R"({\rtf1{\fonttbl{\f0\fmodern Courier;}}\f0 y\plain x})"_ba << 1 << "- - - 12 - - -";
        QTest::newRow("an entry without a semicolon")
            << R"({\rtf1{\fonttbl{\f0\fmodern Arial}{\f1\fmodern Courier;}}\f1 x})"_ba << 0 << "- - - 12 - Courier mono";
    }

    void formats()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(int, position);
        QTextDocument document;
        QVERIFY(rtf::readRtf(rtf, &document, nullptr));
        QTextCursor cursor(&document);
        cursor.setPosition(position + 1); // charFormat() gives the format of the character before
        const QTextCharFormat f = cursor.charFormat();
        const QStringList shown{f.fontWeight() >= QFont::Bold ? u"b"_s : u"-"_s,
                                f.fontItalic() ? u"i"_s : u"-"_s,
                                f.fontUnderline() ? u"u"_s : u"-"_s,
                                QString::number(f.fontPointSize()),
                                f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : u"-"_s,
                                f.fontFamilies().toStringList().value(0, u"-"_s),
                                f.fontStyleHint() == QFont::TypeWriter ? u"mono"_s : u"-"_s};
        QTEST(shown.join(u' '), "format");
        // No paragraph word, no spacing and no indent.
        const QTextBlockFormat block = cursor.blockFormat();
        QVERIFY(block.topMargin() == 0 && block.bottomMargin() == 0 && block.leftMargin() == 0 && block.textIndent() == 0);
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
