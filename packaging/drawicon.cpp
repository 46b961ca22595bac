// Draws the program's icon for the desktop's icon theme: the scalable SVG and a PNG for
// each size desktops ask for, from one description of its shapes, so the sizes never
// drift apart. Usage: zorv-draw-icon <hicolor folder> <icon name> <size>...
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>

namespace {

// On a canvas of 256 units: a blue rounded square, a white "Z" and a yellow coin with a
// blue rim at its lower right, as the tray icon shows it.
constexpr double kCanvas = 256;
const QRectF kSquare(16, 16, 224, 224);
constexpr double kCorner = 44;
const QPolygonF kLetter({{60, 52},
                         {178, 52},
                         {178, 84},
                         {104, 168},
                         {178, 168},
                         {178, 200},
                         {60, 200},
                         {60, 168},
                         {134, 84},
                         {60, 84}});
const QPointF kCoinCentre(188, 188);
constexpr double kCoinRadius = 44;
constexpr double kRim = 10;
const QColor kBlue(0x00, 0x41, 0x74);
const QColor kWhite(0xff, 0xff, 0xff);
const QColor kYellow(0xf2, 0xc2, 0x30);

QByteArray svg()
{
    QString points;
    for (const QPointF &p : kLetter)
        points += QStringLiteral("%1,%2 ").arg(p.x()).arg(p.y());
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
               "  <rect x=\"%2\" y=\"%3\" width=\"%4\" height=\"%5\" rx=\"%6\" fill=\"%7\"/>\n"
               "  <polygon points=\"%8\" fill=\"%9\"/>\n"
               "  <circle cx=\"%10\" cy=\"%11\" r=\"%12\" fill=\"%13\" stroke=\"%7\" stroke-width=\"%14\"/>\n"
               "</svg>\n")
        .arg(kCanvas)
        .arg(kSquare.x())
        .arg(kSquare.y())
        .arg(kSquare.width())
        .arg(kSquare.height())
        .arg(kCorner)
        .arg(kBlue.name())
        .arg(points.trimmed())
        .arg(kWhite.name())
        .arg(kCoinCentre.x())
        .arg(kCoinCentre.y())
        .arg(kCoinRadius)
        .arg(kYellow.name())
        .arg(kRim)
        .toUtf8();
}

QImage png(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kCanvas, size / kCanvas);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBlue);
    painter.drawRoundedRect(kSquare, kCorner, kCorner);
    painter.setBrush(kWhite);
    painter.drawPolygon(kLetter);
    // The rim is drawn centred on the circle's edge, as an SVG stroke is.
    painter.setPen(QPen(kBlue, kRim));
    painter.setBrush(kYellow);
    painter.drawEllipse(kCoinCentre, kCoinRadius, kCoinRadius);
    painter.end();
    return image;
}

bool write(const QString &file, const QByteArray &bytes)
{
    QFile out(file);
    return QDir().mkpath(QFileInfo(file).absolutePath()) && out.open(QIODevice::WriteOnly) &&
           out.write(bytes) == bytes.size() && out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <hicolor folder> <icon name> <size>...\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    if (!write(root + QStringLiteral("/scalable/apps/") + name + QStringLiteral(".svg"), svg()))
        return 1;
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString folder = root + QStringLiteral("/%1x%1/apps").arg(size);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !png(size).save(folder + QLatin1Char('/') + name + QStringLiteral(".png")))
            return 1;
    }
    return 0;
}
