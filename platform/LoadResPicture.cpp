#include "LoadResPicture.h"

#include <QString>

#include <array>
#include <unordered_map>

namespace {
// The board asks for one picture per cell, tens of thousands per paint, so the
// usual small numbers are found by direct index rather than by hashing.
constexpr int DirectIds = 1024;
}

const QImage& LoadResPicture(int id)
{
    static std::array<const QImage*, DirectIds> direct{};
    const bool small = id >= 0 && id < DirectIds;
    if (small && direct[static_cast<size_t>(id)])
        return *direct[static_cast<size_t>(id)];

    // A node-based map: callers keep references while further pictures load.
    static std::unordered_map<int, QImage> cache;
    auto it = cache.find(id);
    if (it == cache.end()) {
        QImage picture(QStringLiteral(":/bitmaps/%1.bmp").arg(id));
        // Opaque pictures (the palette ones too) are widened once to plain 32-bit
        // colour, the format a picture box draws by copying rows; the colours stay
        // exactly the same.
        if (!picture.isNull() && !picture.hasAlphaChannel() && picture.format() != QImage::Format_RGB32)
            picture = picture.convertToFormat(QImage::Format_RGB32);
        it = cache.emplace(id, std::move(picture)).first;
    }
    if (small)
        direct[static_cast<size_t>(id)] = &it->second;
    return it->second;
}
