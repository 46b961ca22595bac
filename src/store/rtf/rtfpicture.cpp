#include "rtfpicture.h"

#include <QColor>
#include <QPainter>

#include <algorithm>

namespace zorv::rtf {

namespace {
constexpr int kTwipsPerPixel = 15;  // 1440 twips an inch, 96 pixels an inch
constexpr int kMaxImageSide = 4000; // pixels a picture is ever drawn at
} // namespace

QImage decodePicture(const PictData &pict)
{
    QImage image;
    switch (pict.kind) {
    case PictKind::Png:
        image = QImage::fromData(pict.data, "PNG");
        break;
    case PictKind::Jpeg:
        image = QImage::fromData(pict.data, "JPEG");
        break;
    case PictKind::Dib: {
        // A device-independent bitmap without its file header: put one in front.
        const QByteArray &d = pict.data;
        if (d.size() >= 40) {
            auto u32 = [&d](int at) {
                return quint32(quint8(d[at])) | quint32(quint8(d[at + 1])) << 8 |
                       quint32(quint8(d[at + 2])) << 16 | quint32(quint8(d[at + 3])) << 24;
            };
            const quint32 headerSize = u32(0);
            const quint16 bitCount = quint16(quint8(d[14]) | quint8(d[15]) << 8);
            const quint32 compression = u32(16);
            quint32 colours = u32(32);
            if (colours == 0 && bitCount <= 8)
                colours = 1u << bitCount;
            quint64 offset = 14 + quint64(headerSize) + quint64(colours) * 4;
            if (compression == 3 && headerSize == 40)
                offset += 12;
            if (headerSize >= 12 && offset <= quint64(d.size()) + 14) {
                QByteArray file("BM");
                const quint32 total = quint32(14 + d.size());
                for (quint32 v : {total, 0u, quint32(offset)})
                    for (int b = 0; b < 4; ++b)
                        file.append(char((v >> (8 * b)) & 0xFF));
                file.append(d);
                image = QImage::fromData(file, "BMP");
            }
        }
        break;
    }
    default:
        break;
    }
    return image;
}

QSize displaySize(const PictData &pict, const QImage &image)
{
    int w = 0, h = 0;
    if (pict.goalW > 0 && pict.goalH > 0) {
        w = int(qint64(pict.goalW) * pict.scaleX / 100 / kTwipsPerPixel);
        h = int(qint64(pict.goalH) * pict.scaleY / 100 / kTwipsPerPixel);
    } else if (!image.isNull()) {
        w = image.width() * pict.scaleX / 100;
        h = image.height() * pict.scaleY / 100;
    } else {
        w = h = 32;
    }
    return QSize(std::clamp(w, 1, kMaxImageSide), std::clamp(h, 1, kMaxImageSide));
}

QImage boxImage()
{
    QImage box(32, 32, QImage::Format_ARGB32_Premultiplied);
    box.fill(Qt::transparent);
    QPainter p(&box);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(0, 0, 31, 31);
    return box;
}

} // namespace zorv::rtf
