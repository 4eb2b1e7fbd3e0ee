// SPDX-License-Identifier: MIT
#pragma once
// The control words the RTF reader acts on, each with what it means to the reader. Any other word
// is Unknown, and the reader passes over it.

#include <QByteArrayView>
#include <QFont>

namespace rtf {

enum class Word {
    Unknown,
    SkippedDestination,
    FontTable,
    ColourTable,
    Unicode,
    UnicodeSkip,
    Paragraph,
    LineBreak,
    Character,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Plain,
    FontSize,
    Colour,
    Font,
    DefaultFont,
    FontHint,
    ParagraphReset,
    Alignment,
    LeftIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    Red,
    Green,
    Blue,
};

struct WordEntry {
    const char *name;
    Word word;
    char16_t character = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
    QFont::StyleHint hint = QFont::AnyStyle;
};

// The table's entry for the word `name`; Word::Unknown for a word it does not hold.
WordEntry lookUpWord(QByteArrayView name);

} // namespace rtf
