// SPDX-License-Identifier: MIT
#include "codepage.h"

#include <QStringDecoder>

#include <array>

namespace roster {

namespace {

// Qt knows the code page through ICU. Asking it once for all 256 bytes gives the whole table:
// a single-byte code page maps each byte on its own, and a converter opened per line or per
// word of a help file would cost far more than the decoding.
std::array<char16_t, 256> windows1252Table()
{
    std::array<char16_t, 256> table{};
    QByteArray bytes(256, Qt::Uninitialized);
    for (int byte = 0; byte < 256; ++byte) {
        bytes[byte] = char(byte);
        table[std::size_t(byte)] = char16_t(byte); // Latin-1, should Qt have no Windows code page
    }
    QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
    const QString text = decoder.isValid() ? decoder.decode(bytes) : QString();
    if (text.size() == 256 && !decoder.hasError()) {
        for (int byte = 0; byte < 256; ++byte)
            table[std::size_t(byte)] = text[byte].unicode();
    }
    return table;
}

} // namespace

QString fromWindows1252(QByteArrayView bytes)
{
    static const std::array<char16_t, 256> Table = windows1252Table();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(Table[static_cast<uchar>(byte)]);
    return text;
}

qsizetype loneSurrogateAt(const QString &text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return i;
    }
    return -1;
}

} // namespace roster
