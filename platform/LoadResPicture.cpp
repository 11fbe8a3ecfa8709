#include "LoadResPicture.h"

#include <QHash>
#include <QString>

const QImage& LoadResPicture(int id)
{
    static QHash<int, QImage> cache;
    auto it = cache.find(id);
    if (it == cache.end())
        it = cache.insert(id, QImage(QStringLiteral(":/bitmaps/%1.bmp").arg(id)));
    return *it;
}
