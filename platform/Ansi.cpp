#include "Ansi.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray toAnsi(const QString& text)
{
    QStringEncoder encoder("GBK");
    // Without the code page (a Qt built without ICU) the text still goes through
    // whole: Latin-1 for what fits, as the system would lose the rest anyway.
    if (!encoder.isValid())
        return text.toLatin1();
    return encoder.encode(text);
}

QString fromAnsi(const QByteArray& bytes)
{
    QStringDecoder decoder("GBK");
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}
