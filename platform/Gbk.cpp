#include "Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray toGbk(const QString& text)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return text.toLatin1();
    return encoder.encode(text);
}

QString fromGbk(const QByteArray& bytes)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}
