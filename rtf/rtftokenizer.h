// SPDX-License-Identifier: MIT
#pragma once
// The RTF reader's first layer: the bytes of a document cut into tokens (group braces, control
// words with their optional number, control symbols, \'hh bytes and runs of plain text).

#include <QByteArrayView>
#include <QtGlobal>

namespace rtf {

enum class TokenKind { End, GroupOpen, GroupClose, ControlWord, ControlSymbol, HexByte, Text };

struct Token {
    TokenKind kind = TokenKind::End;
    QByteArrayView text; // the control word's name, or a run of plain text
    int number = 0;
    bool hasNumber = false;
    char symbol = 0;
    uchar byte = 0;
};

// Every call consumes at least one byte or returns End, so reading is linear in the input.
class Tokenizer {
public:
    explicit Tokenizer(QByteArrayView bytes) : bytes_(bytes) {}

    Token next();

private:
    Token controlWord();

    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

} // namespace rtf
