#include "Gbk.h"

#include "LogCategories.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
// A Qt built without the codec turns every Chinese name in the files and the
// registry into question marks or stray Latin letters; said once per process,
// as it holds for every text after.
void fallingBackToLatin1()
{
    static const bool told = [] {
        qCDebug(lcText, "GBK is not available in this Qt: text is read and written as Latin-1");
        return true;
    }();
    Q_UNUSED(told);
}
}

QByteArray toGbk(const QString& text)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    if (!encoder.isValid()) {
        fallingBackToLatin1();
        return text.toLatin1();
    }
    return encoder.encode(text);
}

QString fromGbk(const QByteArray& bytes)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
        fallingBackToLatin1();
        return QString::fromLatin1(bytes);
    }
    return decoder.decode(bytes);
}
