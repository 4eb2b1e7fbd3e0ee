#include "roster/codepage.h"

#include <QStringDecoder>

namespace roster {

QString fromWindows1252(QByteArrayView bytes)
{
    // Qt finds the code page through ICU. Opening a converter costs far more than decoding a
    // line, so each thread keeps one; a single-byte code page carries no state between calls.
    thread_local QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
    if (decoder.isValid())
        return decoder.decode(bytes);
    // A Qt without ICU knows no Windows code page: Latin-1 differs only in 0x80-0x9F.
    return QString::fromLatin1(bytes);
}

} // namespace roster
