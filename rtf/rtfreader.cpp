// SPDX-License-Identifier: MIT
// The RTF reader's upper two layers: the group state stack (pushed on {, popped on }) that the
// tokens and control words change, and the output of text and paragraphs into the document.
#include "rtfreader.h"

#include "codepage.h"
#include "rtfcontrolwords.h"
#include "rtftokenizer.h"
#include "twips.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QSet>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <climits>
#include <vector>

namespace rtf {

namespace {

enum class Destination { Text, FontTable, ColourTable, Skipped };

struct CharStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int colour = 0;
    int font = -1;
    bool operator==(const CharStyle &) const = default;
};

struct GroupState {
    CharStyle style;
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0; // twips, as are the three below
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int unicodeSkip = 1;
    Destination destination = Destination::Text;
};

struct FontEntry {
    QString family;
    QFont::StyleHint hint = QFont::AnyStyle;
};

// Real documents nest a dozen groups at most; anything deeper is junk and is not read.
constexpr std::size_t MaxDepth = 128;

// The help is some 20 KB: a hundred paragraphs, a few hundred runs of one format, a few fonts.
// A document far beyond that is shown up to these bounds, so that whatever file is there the
// help window opens in about a second: the viewer's time grows with each paragraph and each run
// of one format, as the square of the runs in one paragraph, and with each font family, which it
// looks up among the system's fonts. Its line breaking takes time as the square of a word's
// length, so a word longer than any real one is given a blank now and then. Beyond the runs a
// paragraph may hold, its text goes on in the format it has.
constexpr qsizetype MaxPieces = 20000; // paragraphs and runs of one format
constexpr qsizetype MaxRunsInParagraph = 1000;
constexpr qsizetype MaxCharacters = 200000;
constexpr qsizetype MaxFamilies = 64;
constexpr qsizetype MaxWordLength = 1000;
// Font and colour tables beyond these are junk too; what they would add is not kept.
constexpr qsizetype MaxTableEntries = 65536;
constexpr qsizetype MaxFamilyLength = 256;

class Reader {
public:
    explicit Reader(QTextDocument *document) : cursor_(document) { stack_.reserve(MaxDepth); }

    // `bytes` starts just after the opening brace of the {\rtf group.
    void read(QByteArrayView bytes)
    {
        stack_.push_back(GroupState{});
        cursor_.beginEditBlock();
        Tokenizer tokens(bytes);
        for (Token token = tokens.next(); token.kind != TokenKind::End && !full_; token = tokens.next()) {
            if (ignoredDepth_ > 0) {
                if (token.kind == TokenKind::GroupOpen)
                    ++ignoredDepth_;
                else if (token.kind == TokenKind::GroupClose)
                    --ignoredDepth_;
                continue;
            }
            switch (token.kind) {
            case TokenKind::GroupOpen: openGroup(); break;
            case TokenKind::GroupClose: closeGroup(); break;
            case TokenKind::ControlWord: controlWord(token); break;
            case TokenKind::ControlSymbol: controlSymbol(token.symbol); break;
            case TokenKind::HexByte: text(QByteArrayView(&token.byte, 1)); break;
            case TokenKind::Text: text(token.text); break;
            case TokenKind::End: break;
            }
        }
        flush();
        applyBlockFormat();
        if (full_) {
            cursor_.insertBlock(QTextBlockFormat(), QTextCharFormat());
            cursor_.insertText(QStringLiteral("The rest of this document is not shown: it is far longer than any help."));
        }
        cursor_.endEditBlock();
    }

private:
    GroupState &state() { return stack_.back(); }

    void openGroup()
    {
        pendingSkip_ = 0;
        if (stack_.size() < MaxDepth)
            stack_.push_back(stack_.back());
        else
            ++ignoredDepth_;
    }

    // The {\rtf group itself is never closed, so a stray closing brace cannot end the document.
    void closeGroup()
    {
        pendingSkip_ = 0;
        if (stack_.size() > 1)
            stack_.pop_back();
    }

    // After \uN the next characters are the replacement for readers without Unicode; a control
    // word or symbol counts as one of them.
    bool skipsReplacement()
    {
        if (pendingSkip_ == 0)
            return false;
        --pendingSkip_;
        return true;
    }

    void controlWord(const Token &token)
    {
        GroupState &s = state();
        if (s.destination == Destination::Skipped || skipsReplacement())
            return;
        const WordEntry entry = lookUpWord(token.text);
        const int n = token.number;
        const bool on = !token.hasNumber || n != 0;
        const int twips = std::clamp(n, -31680, 31680);

        switch (entry.word) {
        case Word::SkippedDestination: s.destination = Destination::Skipped; return;
        case Word::FontTable: s.destination = Destination::FontTable; return;
        case Word::ColourTable:
            s.destination = Destination::ColourTable;
            startColour();
            return;
        case Word::Unicode:
            character(static_cast<char16_t>(std::clamp(n, -32768, 65535) & 0xFFFF));
            pendingSkip_ = s.unicodeSkip;
            return;
        case Word::UnicodeSkip: s.unicodeSkip = token.hasNumber ? std::clamp(n, 0, 255) : 1; return;
        default: break;
        }

        if (s.destination == Destination::FontTable) {
            if (entry.word == Word::Font) {
                tableFont_ = n;
                fontName_.clear();
                fontHint_ = QFont::AnyStyle;
            } else if (entry.word == Word::FontHint) {
                fontHint_ = entry.hint;
            }
            return;
        }
        if (s.destination == Destination::ColourTable) {
            int *component = entry.word == Word::Red     ? &red_
                             : entry.word == Word::Green ? &green_
                             : entry.word == Word::Blue  ? &blue_
                                                         : nullptr;
            if (component) {
                *component = std::clamp(n, 0, 255);
                colourGiven_ = true;
            }
            return;
        }

        switch (entry.word) {
        case Word::Paragraph: endParagraph(); break;
        case Word::LineBreak: character(QChar::LineSeparator); break;
        case Word::Character: character(entry.character); break;
        case Word::Bold: s.style.bold = on; break;
        case Word::Italic: s.style.italic = on; break;
        case Word::Underline: s.style.underline = on; break;
        case Word::UnderlineNone: s.style.underline = false; break;
        case Word::Plain: s.style = CharStyle{.font = defaultFont_}; break;
        case Word::FontSize: s.style.halfPoints = n > 0 ? std::min(n, 1000) : 24; break;
        case Word::Colour: s.style.colour = std::max(n, 0); break;
        case Word::Font: s.style.font = n; break;
        case Word::DefaultFont: defaultFont_ = s.style.font = n; break;
        case Word::ParagraphReset:
            s.alignment = Qt::AlignLeft;
            s.leftIndent = s.firstIndent = s.spaceBefore = s.spaceAfter = 0;
            break;
        case Word::Alignment: s.alignment = entry.alignment; break;
        case Word::LeftIndent: s.leftIndent = twips; break;
        case Word::FirstIndent: s.firstIndent = twips; break;
        case Word::SpaceBefore: s.spaceBefore = twips; break;
        case Word::SpaceAfter: s.spaceAfter = twips; break;
        default: break; // unknown words, and table words met outside their table
        }
    }

    void startColour()
    {
        colourGiven_ = false;
        red_ = green_ = blue_ = 0;
    }

    void controlSymbol(char symbol)
    {
        if (state().destination == Destination::Skipped || skipsReplacement())
            return;
        switch (symbol) {
        case '*': state().destination = Destination::Skipped; break;
        case '\\':
        case '{':
        case '}': character(char16_t(symbol)); break;
        case '~': character(QChar::Nbsp); break;
        case '-': character(QChar::SoftHyphen); break;
        case '_': character(0x2011); break;
        case '\r':
        case '\n':
            if (state().destination == Destination::Text)
                endParagraph();
            break;
        default: break;
        }
    }

    void text(QByteArrayView bytes)
    {
        if (state().destination == Destination::Skipped)
            return;
        while (!bytes.isEmpty() && skipsReplacement())
            bytes = bytes.sliced(1);
        // Every RTF writer the help document is likely to meet writes Windows-1252; other code
        // pages named by \ansicpg are read as Windows-1252 too.
        // A run may be megabytes long; what the viewer would not show is not decoded.
        bytes.truncate(std::min(bytes.size(), MaxCharacters + 1));
        for (const QChar c : roster::fromWindows1252(bytes)) {
            if (full_)
                return;
            character(c.unicode());
        }
    }

    void character(char16_t c)
    {
        switch (state().destination) {
        case Destination::Skipped: return;
        case Destination::FontTable:
            if (c == u';') {
                // An entry without its \f number names no font; stored under -1 it would stand in
                // for the viewer's own.
                if (tableFont_ >= 0 && fonts_.size() < MaxTableEntries) {
                    fonts_.insert(tableFont_, FontEntry{fontName_.trimmed(), fontHint_});
                    shownFontAsked_ = INT_MIN;
                }
                tableFont_ = -1;
                fontName_.clear();
            } else if (fontName_.size() < MaxFamilyLength) {
                fontName_ += QChar(c);
            }
            return;
        case Destination::ColourTable:
            if (c == u';') {
                // An entry without components is the writer's "automatic" colour.
                if (colours_.size() < MaxTableEntries)
                    colours_.append(colourGiven_ ? QColor(red_, green_, blue_) : QColor());
                startColour();
            }
            return;
        case Destination::Text: break;
        }
        // NUL and the other control characters have no place in a help text.
        if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c < 0xA0))
            return;
        CharStyle style = state().style;
        style.font = shownFont(style.font);
        if (!pending_.isEmpty() && style != pendingStyle_ && runsInParagraph_ < MaxRunsInParagraph)
            flush();
        if (pending_.isEmpty())
            pendingStyle_ = style;
        if (QChar(c).isSpace()) {
            wordLength_ = 0;
        } else if (++wordLength_ > MaxWordLength) {
            pending_ += u' ';
            wordLength_ = 1;
        }
        pending_ += QChar(c);
        if (characters_ + pending_.size() > MaxCharacters)
            flush();
    }

    void flush()
    {
        if (pending_.isEmpty() || full_)
            return;
        if (pieces_ >= MaxPieces || characters_ + pending_.size() > MaxCharacters) {
            full_ = true;
            pending_.truncate(pieces_ >= MaxPieces ? 0 : MaxCharacters - characters_);
        }
        if (!pending_.isEmpty()) {
            ++pieces_;
            ++runsInParagraph_;
            characters_ += pending_.size();
            cursor_.insertText(withoutLoneSurrogates(pending_), charFormat(pendingStyle_));
        }
        pending_.clear();
    }

    void endParagraph()
    {
        flush();
        wordLength_ = 0;
        runsInParagraph_ = 0;
        if (full_ || ++pieces_ >= MaxPieces) {
            full_ = true;
            return;
        }
        applyBlockFormat();
        cursor_.insertBlock();
    }

    // A paragraph takes the paragraph properties in force when it ends, as RTF has it.
    void applyBlockFormat()
    {
        const GroupState &s = state();
        QTextBlockFormat format = cursor_.blockFormat();
        format.setAlignment(s.alignment);
        format.setLeftMargin(roster::twipsToPixels(std::max(s.leftIndent, 0)));
        format.setTextIndent(roster::twipsToPixels(s.firstIndent));
        format.setTopMargin(roster::twipsToPixels(std::max(s.spaceBefore, 0)));
        format.setBottomMargin(roster::twipsToPixels(std::max(s.spaceAfter, 0)));
        cursor_.setBlockFormat(format);
    }

    QTextCharFormat charFormat(const CharStyle &style) const
    {
        QTextCharFormat format;
        format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(style.italic);
        format.setFontUnderline(style.underline);
        format.setFontPointSize(style.halfPoints / 2.0);
        if (style.colour < colours_.size() && colours_[style.colour].isValid())
            format.setForeground(colours_[style.colour]);
        const auto font = fonts_.constFind(style.font);
        if (font != fonts_.cend()) {
            if (!font->family.isEmpty())
                format.setFontFamilies({font->family});
            format.setFontStyleHint(font->hint);
        }
        return format;
    }

    // The font text set in font `number` is shown in: that one among the first MaxFamilies
    // fonts used, else the document's default font; -1 for the viewer's own.
    int shownFont(int number)
    {
        if (number == shownFontAsked_)
            return shownFontGiven_;
        int shown = -1;
        if (fonts_.contains(number)) {
            if (usedFonts_.contains(number) || usedFonts_.size() < MaxFamilies) {
                usedFonts_.insert(number);
                shown = number;
            } else if (number != defaultFont_) {
                shown = shownFont(defaultFont_);
            }
        }
        shownFontAsked_ = number;
        shownFontGiven_ = shown;
        return shown;
    }

    // Characters beyond the first 65536 come as two \u words; a half pair on its own is junk.
    static QString withoutLoneSurrogates(QString text)
    {
        for (qsizetype i = roster::loneSurrogateAt(text); i >= 0; i = roster::loneSurrogateAt(text, i + 1))
            text[i] = QChar::ReplacementCharacter;
        return text;
    }

    QTextCursor cursor_;
    std::vector<GroupState> stack_;
    int ignoredDepth_ = 0;
    int pendingSkip_ = 0;
    int defaultFont_ = -1;

    QHash<int, FontEntry> fonts_;
    QSet<int> usedFonts_;
    int shownFontAsked_ = INT_MIN; // the last answer of shownFont, kept: it is asked per character
    int shownFontGiven_ = -1;
    int tableFont_ = -1;
    QString fontName_;
    QFont::StyleHint fontHint_ = QFont::AnyStyle;

    QList<QColor> colours_;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    bool colourGiven_ = false;

    QString pending_;
    CharStyle pendingStyle_;
    qsizetype pieces_ = 0;
    qsizetype runsInParagraph_ = 0;
    qsizetype wordLength_ = 0;
    qsizetype characters_ = 0;
    bool full_ = false;
};

} // namespace

bool readRtf(const QByteArray &bytes, QTextDocument *document, QString *error)
{
    if (error)
        error->clear();
    if (!document)
        return false;
    document->clear();

    qsizetype start = 0;
    while (start < bytes.size() && QByteArrayView(" \t\r\n").contains(bytes[start]))
        ++start;
    const QByteArrayView body = QByteArrayView(bytes).sliced(start);
    if (!body.startsWith("{\\rtf")) {
        if (error)
            *error = QStringLiteral("The file is not a Rich Text Format document: it does not begin with {\\rtf.");
        return false;
    }

    // Loading is not an edit the user could undo, and the undo record would double the memory.
    const bool undoRedo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    Reader(document).read(body.sliced(1));
    document->setUndoRedoEnabled(undoRedo);
    return true;
}

} // namespace rtf
