#include "ui/PictureList.h"

namespace tavlor {

QImage WithTransparentColour(const QImage& picture) {
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    if (result.isNull()) return result;
    const QRgb key = result.pixel(0, result.height() - 1) & 0x00FFFFFF;
    for (int y = 0; y < result.height(); ++y) {
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): an ARGB32 line is QRgb
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == key) line[x] = 0;
    }
    return result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QPixmap StretchSmooth(const QImage& picture, QSize size) {
    if (picture.isNull() || size.isEmpty()) return QPixmap();
    if (picture.size() == size) return QPixmap::fromImage(picture);
    return QPixmap::fromImage(
        picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

const QPixmap& TStretchedPicture::Get(const QImage& picture, QSize size) {
    if (picture.cacheKey() != FKey || size != FSize) {
        FKey = picture.cacheKey();
        FSize = size;
        FPixmap = StretchSmooth(picture, size);
    }
    return FPixmap;
}

void TPictureList::Clear() {
    FOpaque.clear();
    FTransparent.clear();
    FStretched.clear();
}

void TPictureList::Add(const QImage& picture) {
    QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    QImage transparent = WithTransparentColour(picture);
    if (opaque.size() != FEntrySize) {
        opaque = opaque.scaled(FEntrySize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        transparent =
            transparent.scaled(FEntrySize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    FOpaque.push_back(std::move(opaque));
    FTransparent.push_back(std::move(transparent));
}

const QPixmap& TPictureList::Stretched(int index, QSize size, bool transparent) const {
    const auto key = std::make_tuple(index, size.width(), size.height(), transparent);
    auto found = FStretched.find(key);
    if (found == FStretched.end())
        found =
            FStretched
                .emplace(key, StretchSmooth(transparent ? Transparent(index) : Opaque(index), size))
                .first;
    return found->second;
}

}  // namespace tavlor
