// Draws every picture the skins and the advertisement tab use, so that the project ships only
// pictures it made itself. Run it with the skin/ folder as argument (the CMake target
// `kelpmere_regenerate_images` does so); the results are committed, so builds without Qt have them.
//
//   skin/images/Procss_bg.png   progress bar background, 647 x 33
//   skin/images/Process.png     progress bar fill, 647 x 33
//   skin/images/kelpmere.png    window icon, 256 x 256 (packed into the skin archive)
//   skin/icons/kelpmere-N.png   the icon at 16 ... 256 px for the desktop's icon theme
//   skin/Ad/images/400x300.jpg  advertisement tab pictures
//   skin/Ad/images/100x300.jpg
//   skin/Ad/images/795x100.jpg  the advertisement banner and square picture the page shows
//   skin/Ad/images/300x300.jpg  unless other addresses are configured

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cmath>
#include <cstdio>

namespace {

// The palette shared with the XML skins.
const QColor kSlate(0x26, 0x30, 0x3D);  // caption strip, dark surfaces
const QColor kAccent(0xFF, 0x2D, 0x2D); // the one accent (hot colour)
const QColor kTrack(0xE4, 0xE7, 0xEB);  // progress track
const QColor kLine(0xC5, 0xCC, 0xD6);   // borders
const QColor kFrond(0xE8, 0xEC, 0xF1);  // light kelp strands

const char* const kFontFamily = "WenQuanYi Micro Hei";

bool save(const QImage& image, const QString& path, const char* format, int quality = -1)
{
    if (!image.save(path, format, quality)) {
        std::fprintf(stderr, "generate-images: can't write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

QImage progressTrack()
{
    QImage image(647, 33, QImage::Format_ARGB32);
    image.fill(kTrack);
    QPainter p(&image);
    p.setPen(kLine);
    p.drawRect(0, 0, image.width() - 1, image.height() - 1);
    return image;
}

QImage progressFill()
{
    QImage image(647, 33, QImage::Format_ARGB32);
    image.fill(kAccent);
    QPainter p(&image);
    // A faint lighter line along the top keeps the flat fill from looking like a hole.
    p.setPen(kAccent.lighter(118));
    p.drawLine(1, 1, image.width() - 2, 1);
    p.setPen(kAccent.darker(115));
    p.drawRect(0, 0, image.width() - 1, image.height() - 1);
    return image;
}

// One kelp strand: a thick wavy stroke rising from the bottom, drawn in a 256-unit square.
QPainterPath strand(double baseX, double phase, double top)
{
    QPainterPath path;
    const double bottom = 262.0;
    path.moveTo(baseX, bottom);
    for (double y = bottom; y >= top; y -= 4.0) {
        const double t = (bottom - y) / (bottom - top);
        const double x = baseX + std::sin(t * 5.2 + phase) * 20.0 * (0.3 + t);
        path.lineTo(x, y);
    }
    return path;
}

// The window and desktop icon: kelp strands under water on a rounded slate tile.
QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    QPainterPath tile;
    tile.addRoundedRect(QRectF(8, 8, 240, 240), 52, 52);
    p.fillPath(tile, kSlate);
    p.setClipPath(tile);

    QPen pen(kFrond, 20, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.drawPath(strand(70, 0.6, 96));
    p.drawPath(strand(186, 2.2, 108));
    pen.setColor(kAccent);
    pen.setWidthF(26);
    p.setPen(pen);
    p.drawPath(strand(128, 1.4, 44));

    // Bubbles rising beside the middle strand.
    p.setPen(Qt::NoPen);
    p.setBrush(kFrond);
    p.drawEllipse(QPointF(170, 62), 11, 11);
    p.drawEllipse(QPointF(198, 36), 7, 7);
    return image;
}

QFont font(int pixelSize, bool bold)
{
    QFont f(kFontFamily);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// 400 x 300: the wide advertisement picture, the program's own name and what it does.
QImage adWide()
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(kSlate);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    p.drawImage(QRect(262, 150, 120, 120), icon(120));

    p.setPen(Qt::white);
    p.setFont(font(44, true));
    p.drawText(QRect(28, 34, 360, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kelpmere"));
    p.fillRect(QRect(30, 100, 64, 5), kAccent);
    p.setFont(font(22, false));
    p.setPen(kFrond);
    p.drawText(QRect(30, 122, 360, 34), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("种子文件改名 · 批量清洗"));
    p.setFont(font(16, false));
    p.setPen(kLine);
    p.drawText(QRect(30, 166, 230, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
        QStringLiteral("新名称、新的信息哈希，\n文件数据保持不变。"));
    return image;
}

// 100 x 300: the narrow advertisement picture, a vertical slogan on the accent colour.
QImage adNarrow()
{
    QImage image(100, 300, QImage::Format_RGB32);
    image.fill(kAccent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::white);
    p.setFont(font(30, true));
    const QString slogan = QStringLiteral("一键洗种");
    for (int i = 0; i < slogan.size(); ++i)
        p.drawText(QRect(0, 24 + i * 50, 100, 50), Qt::AlignCenter, slogan.mid(i, 1));
    p.drawImage(QRect(30, 236, 40, 40), icon(40));
    return image;
}

// 795 x 100: the banner across the top of the advertisement page, pointing to public torrents.
QImage adBanner()
{
    QImage image(795, 100, QImage::Format_RGB32);
    QLinearGradient water(0, 0, 795, 0);
    water.setColorAt(0.0, kSlate);
    water.setColorAt(1.0, kSlate.lighter(135));
    QPainter p(&image);
    p.fillRect(image.rect(), water);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    p.drawImage(QRect(18, 14, 72, 72), icon(72));
    p.setPen(Qt::white);
    p.setFont(font(34, true));
    p.drawText(QRect(108, 10, 300, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kelpmere"));
    p.setFont(font(18, false));
    p.setPen(kFrond);
    p.drawText(QRect(110, 56, 420, 32), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("换个名字，数据不变 · 公共领域的种子"));

    // The accent button on the right: where the banner leads.
    QPainterPath button;
    button.addRoundedRect(QRectF(600, 28, 170, 44), 8, 8);
    p.fillPath(button, kAccent);
    p.setFont(font(20, true));
    p.setPen(Qt::white);
    p.drawText(QRect(600, 28, 170, 44), Qt::AlignCenter, QStringLiteral("去搜索种子"));
    return image;
}

// 300 x 300: the square picture below the banner, an accent tile with a magnet and the slogan.
QImage adSquare()
{
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(kFrond);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    p.fillRect(QRect(0, 0, 300, 170), kAccent);
    // A horseshoe magnet, the sign of torrent links.
    QPen magnet(Qt::white, 26, Qt::SolidLine, Qt::FlatCap);
    p.setPen(magnet);
    p.drawArc(QRectF(100, 40, 100, 100), 180 * 16, 180 * 16);
    p.drawLine(QPointF(100, 90), QPointF(100, 44));
    p.drawLine(QPointF(200, 90), QPointF(200, 44));
    p.fillRect(QRectF(87, 30, 26, 16), kSlate);
    p.fillRect(QRectF(187, 30, 26, 16), kSlate);

    p.setPen(kSlate);
    p.setFont(font(28, true));
    p.drawText(QRect(0, 186, 300, 44), Qt::AlignCenter, QStringLiteral("自由的种子"));
    p.setFont(font(16, false));
    p.drawText(
        QRect(20, 232, 260, 50), Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("公共领域的电影、音乐与书籍"));
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate-images <skin folder>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QDir skin(QString::fromLocal8Bit(argv[1]));
    for (const char* sub : {"images", "icons", "Ad/images"}) {
        if (!skin.mkpath(QString::fromLatin1(sub))) {
            std::fprintf(stderr, "generate-images: can't create %s\n", sub);
            return 1;
        }
    }

    bool ok = save(progressTrack(), skin.filePath("images/Procss_bg.png"), "PNG")
        && save(progressFill(), skin.filePath("images/Process.png"), "PNG")
        && save(icon(256), skin.filePath("images/kelpmere.png"), "PNG");
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        ok = ok && save(icon(size), skin.filePath(QStringLiteral("icons/kelpmere-%1.png").arg(size)), "PNG");
    ok = ok && save(adWide(), skin.filePath("Ad/images/400x300.jpg"), "JPEG", 90)
        && save(adNarrow(), skin.filePath("Ad/images/100x300.jpg"), "JPEG", 90)
        && save(adBanner(), skin.filePath("Ad/images/795x100.jpg"), "JPEG", 90)
        && save(adSquare(), skin.filePath("Ad/images/300x300.jpg"), "JPEG", 90);
    return ok ? 0 : 1;
}
