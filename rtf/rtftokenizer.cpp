// SPDX-License-Identifier: MIT
#include "rtftokenizer.h"

#include <algorithm>
#include <climits>

namespace rtf {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isSpecial(char c) { return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n'; }

} // namespace

Token Tokenizer::next()
{
    // Line ends in RTF are only there for the writer's convenience.
    while (pos_ < bytes_.size() && (bytes_[pos_] == '\r' || bytes_[pos_] == '\n'))
        ++pos_;
    Token token;
    if (pos_ >= bytes_.size())
        return token;
    const char c = bytes_[pos_];
    if (c == '{' || c == '}') {
        ++pos_;
        token.kind = c == '{' ? TokenKind::GroupOpen : TokenKind::GroupClose;
        return token;
    }
    if (c != '\\') {
        const qsizetype start = pos_;
        while (pos_ < bytes_.size() && !isSpecial(bytes_[pos_]))
            ++pos_;
        token.kind = TokenKind::Text;
        token.text = bytes_.sliced(start, pos_ - start);
        return token;
    }
    if (++pos_ >= bytes_.size())
        return token; // a lone backslash at the very end
    if (isLetter(bytes_[pos_]))
        return controlWord();
    token.kind = TokenKind::ControlSymbol;
    token.symbol = bytes_[pos_++];
    if (token.symbol == '\'') {
        int value = 0;
        int digits = 0;
        for (; digits < 2 && pos_ < bytes_.size() && hexValue(bytes_[pos_]) >= 0; ++digits)
            value = value * 16 + hexValue(bytes_[pos_++]);
        // A broken \' escape stays a symbol, which the reader ignores.
        if (digits == 2) {
            token.kind = TokenKind::HexByte;
            token.byte = static_cast<uchar>(value);
        }
    }
    return token;
}

Token Tokenizer::controlWord()
{
    Token token;
    token.kind = TokenKind::ControlWord;
    const qsizetype start = pos_;
    while (pos_ < bytes_.size() && isLetter(bytes_[pos_]))
        ++pos_;
    token.text = bytes_.sliced(start, pos_ - start);

    const bool negative = pos_ + 1 < bytes_.size() && bytes_[pos_] == '-' && isDigit(bytes_[pos_ + 1]);
    if (negative)
        ++pos_;
    qint64 value = 0;
    for (; pos_ < bytes_.size() && isDigit(bytes_[pos_]); ++pos_) {
        token.hasNumber = true;
        value = std::min<qint64>(value * 10 + (bytes_[pos_] - '0'), INT_MAX);
    }
    token.number = static_cast<int>(negative ? -value : value);
    if (pos_ < bytes_.size() && bytes_[pos_] == ' ')
        ++pos_;

    // Binary data may hold any byte, braces included, so it is stepped over here.
    if (token.text == QByteArrayView("bin") && token.number > 0)
        pos_ = std::min<qsizetype>(pos_ + token.number, bytes_.size());
    return token;
}

} // namespace rtf
