// SPDX-License-Identifier: MIT
#include "rtfcontrolwords.h"

#include <QByteArray>
#include <QHash>

namespace rtf {

namespace {

const WordEntry Words[] = {
    {"fonttbl", Word::FontTable},
    {"colortbl", Word::ColourTable},
    {"stylesheet", Word::SkippedDestination},
    {"info", Word::SkippedDestination},
    {"pict", Word::SkippedDestination},
    {"object", Word::SkippedDestination},
    {"header", Word::SkippedDestination},
    {"headerl", Word::SkippedDestination},
    {"headerr", Word::SkippedDestination},
    {"headerf", Word::SkippedDestination},
    {"footer", Word::SkippedDestination},
    {"footerl", Word::SkippedDestination},
    {"footerr", Word::SkippedDestination},
    {"footerf", Word::SkippedDestination},
    {"footnote", Word::SkippedDestination},
    {"fldinst", Word::SkippedDestination},
    {"listtable", Word::SkippedDestination},
    {"listoverridetable", Word::SkippedDestination},
    {"revtbl", Word::SkippedDestination},
    {"filetbl", Word::SkippedDestination},
    {"xe", Word::SkippedDestination},
    {"tc", Word::SkippedDestination},
    {"shp", Word::SkippedDestination},
    {"nonshppict", Word::SkippedDestination},
    {"u", Word::Unicode},
    {"uc", Word::UnicodeSkip},
    {"par", Word::Paragraph},
    {"sect", Word::Paragraph},
    {"page", Word::Paragraph},
    {"row", Word::Paragraph},
    {"line", Word::LineBreak},
    {"tab", Word::Character, u'\t'},
    {"cell", Word::Character, u'\t'},
    {"emdash", Word::Character, 0x2014},
    {"endash", Word::Character, 0x2013},
    {"bullet", Word::Character, 0x2022},
    {"lquote", Word::Character, 0x2018},
    {"rquote", Word::Character, 0x2019},
    {"ldblquote", Word::Character, 0x201C},
    {"rdblquote", Word::Character, 0x201D},
    {"b", Word::Bold},
    {"i", Word::Italic},
    {"ul", Word::Underline},
    {"uld", Word::Underline},
    {"uldb", Word::Underline},
    {"ulw", Word::Underline},
    {"ulnone", Word::UnderlineNone},
    {"plain", Word::Plain},
    {"fs", Word::FontSize},
    {"cf", Word::Colour},
    {"f", Word::Font},
    {"deff", Word::DefaultFont},
    {"fnil", Word::FontHint, {}, Qt::AlignLeft, QFont::AnyStyle},
    {"froman", Word::FontHint, {}, Qt::AlignLeft, QFont::Serif},
    {"fswiss", Word::FontHint, {}, Qt::AlignLeft, QFont::SansSerif},
    {"fmodern", Word::FontHint, {}, Qt::AlignLeft, QFont::TypeWriter},
    {"fscript", Word::FontHint, {}, Qt::AlignLeft, QFont::Cursive},
    {"fdecor", Word::FontHint, {}, Qt::AlignLeft, QFont::Decorative},
    {"pard", Word::ParagraphReset},
    {"ql", Word::Alignment, {}, Qt::AlignLeft},
    {"qc", Word::Alignment, {}, Qt::AlignHCenter},
    {"qr", Word::Alignment, {}, Qt::AlignRight},
    {"qj", Word::Alignment, {}, Qt::AlignJustify},
    {"li", Word::LeftIndent},
    {"fi", Word::FirstIndent},
    {"sb", Word::SpaceBefore},
    {"sa", Word::SpaceAfter},
    {"red", Word::Red},
    {"green", Word::Green},
    {"blue", Word::Blue},
};

} // namespace

// A document may hold millions of control words: each is looked up in a table built once.
WordEntry lookUpWord(QByteArrayView name)
{
    static const QHash<QByteArray, WordEntry> Table = [] {
        QHash<QByteArray, WordEntry> built;
        for (const WordEntry &entry : Words)
            built.insert(QByteArray(entry.name), entry);
        return built;
    }();
    return Table.value(QByteArray::fromRawData(name.data(), name.size()), WordEntry{"", Word::Unknown});
}

} // namespace rtf
