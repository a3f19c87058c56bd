#include "artwork.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

#include <cmath>

namespace artwork {
namespace {

constexpr QColor Peach(255, 224, 192); // the launcher's background, 0x00C0E0FF
constexpr QColor QuirewellRed(255, 0, 0);

// Every icon is drawn on a 256-unit square and scaled to its size, so the
// shapes stay in proportion at 16 pixels and at 256.
QImage Canvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Begin(QPainter &p, int size)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(size / 256.0, size / 256.0);
}

// A compact disc: silver, or gold for a blank CD-R, with a rainbow sheen on
// the data side and a real hole through the middle.
void Disc(QPainter &p, QPointF centre, qreal r, bool gold)
{
    p.save();
    QRadialGradient body(centre, r);
    if (gold) {
        body.setColorAt(0.0, QColor(255, 240, 180));
        body.setColorAt(1.0, QColor(214, 164, 58));
    } else {
        body.setColorAt(0.0, QColor(248, 248, 252));
        body.setColorAt(1.0, QColor(176, 184, 198));
    }
    p.setPen(QPen(QColor(92, 98, 112), r * 0.035));
    p.setBrush(body);
    p.drawEllipse(centre, r, r);

    // The sheen: a ring of colour that turns with the angle.
    QPainterPath ring;
    ring.addEllipse(centre, r * 0.96, r * 0.96);
    ring.addEllipse(centre, r * 0.40, r * 0.40);
    QConicalGradient sheen(centre, 30);
    const int alpha = 110;
    sheen.setColorAt(0.00, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.08, QColor(80, 200, 255, alpha));
    sheen.setColorAt(0.16, QColor(255, 90, 220, alpha));
    sheen.setColorAt(0.24, QColor(255, 240, 90, alpha));
    sheen.setColorAt(0.34, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.50, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.58, QColor(80, 200, 255, alpha));
    sheen.setColorAt(0.66, QColor(255, 90, 220, alpha));
    sheen.setColorAt(0.74, QColor(255, 240, 90, alpha));
    sheen.setColorAt(0.84, QColor(255, 255, 255, 0));
    sheen.setColorAt(1.00, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawPath(ring);

    // Clear hub, then the hole.
    p.setBrush(QColor(236, 240, 246, 230));
    p.setPen(QPen(QColor(140, 146, 160), r * 0.025));
    p.drawEllipse(centre, r * 0.34, r * 0.34);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(centre, r * 0.13, r * 0.13);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 126, 140), r * 0.025));
    p.drawEllipse(centre, r * 0.13, r * 0.13);
    p.restore();
}

// A small landscape: the "picture" of a cover.
void Landscape(QPainter &p, const QRectF &box)
{
    p.save();
    p.setClipRect(box);
    QLinearGradient sky(box.topLeft(), box.bottomLeft());
    sky.setColorAt(0.0, QColor(60, 120, 220));
    sky.setColorAt(1.0, QColor(190, 225, 255));
    p.fillRect(box, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 64));
    const qreal w = box.width();
    const qreal h = box.height();
    p.drawEllipse(QPointF(box.left() + w * 0.74, box.top() + h * 0.30), w * 0.11, w * 0.11);
    QPainterPath hills;
    hills.moveTo(box.left(), box.top() + h * 0.72);
    hills.cubicTo(box.left() + w * 0.30, box.top() + h * 0.45, box.left() + w * 0.55, box.top() + h * 0.95,
                  box.right(), box.top() + h * 0.62);
    hills.lineTo(box.bottomRight());
    hills.lineTo(box.bottomLeft());
    hills.closeSubpath();
    p.setBrush(QColor(54, 150, 72));
    p.drawPath(hills);
    p.restore();
}

void DrawLauncher(QPainter &p)
{
    const QRectF tile(12, 12, 232, 232);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0.0, QColor(255, 236, 214));
    fill.setColorAt(1.0, QColor(248, 204, 160));
    p.setPen(QPen(QColor(206, 138, 82), 8));
    p.setBrush(fill);
    p.drawRoundedRect(tile, 44, 44);

    Disc(p, QPointF(110, 124), 84, false);

    // A red "start" button over the disc's edge.
    const QPointF c(182, 182);
    QRadialGradient red(c - QPointF(12, 14), 60);
    red.setColorAt(0.0, QColor(255, 110, 90));
    red.setColorAt(1.0, QColor(200, 0, 0));
    p.setPen(QPen(QColor(120, 0, 0), 6));
    p.setBrush(red);
    p.drawEllipse(c, 54, 54);
    QPolygonF play;
    play << QPointF(164, 150) << QPointF(210, 182) << QPointF(164, 214);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(play);
}

void DrawDesigner(QPainter &p)
{
    // The jewel case with its hinge strip on the left.
    const QRectF jewelCase(16, 16, 224, 224);
    p.setPen(QPen(QColor(82, 100, 124), 8));
    p.setBrush(QColor(214, 226, 240, 200));
    p.drawRoundedRect(jewelCase, 16, 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(128, 148, 172, 210));
    p.drawRect(QRectF(20, 20, 26, 216));

    // The cover insert: headline, rules, picture, lower headline.
    const QRectF cover(56, 30, 170, 196);
    p.setPen(QPen(QColor(60, 60, 60), 3, Qt::DashLine));
    p.setBrush(Qt::white);
    p.drawRect(cover);
    p.setPen(Qt::NoPen);
    p.setBrush(QuirewellRed);
    p.drawRect(QRectF(82, 44, 118, 18));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(70, 72, 142, 8));
    Landscape(p, QRectF(82, 90, 118, 84));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(70, 184, 142, 8));
    p.setBrush(QColor(0, 0, 220));
    p.drawRect(QRectF(100, 202, 82, 12));
}

void DrawIndexer(QPainter &p)
{
    // The printed index page with its cut line.
    const QRectF page(22, 14, 196, 228);
    p.setPen(QPen(QColor(110, 110, 110), 5));
    p.setBrush(Qt::white);
    p.drawRect(page);
    p.setPen(QPen(QColor(40, 40, 40), 3, Qt::DashDotDotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(page.adjusted(9, 9, -9, -9));

    // A folder column on the left, two file columns beside it.
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 8; ++row) {
        const qreal y = 42 + row * 22;
        p.setBrush(QColor(236, 180, 40));
        p.drawRoundedRect(QRectF(42, y, 22, 15), 3, 3);
        p.setBrush(QColor(120, 120, 130));
        p.drawRect(QRectF(70, y + 5, 30 - (row % 3) * 6, 6));
        p.setBrush(QColor(60, 90, 170));
        p.drawRect(QRectF(112, y + 5, 40 - (row % 4) * 7, 6));
        p.drawRect(QRectF(160, y + 5, 38 - ((row + 2) % 4) * 7, 6));
    }
    Disc(p, QPointF(194, 194), 54, true);
}

void DrawGuide(QPainter &p)
{
    // A closed book: pages, then the cover with a label and a disc.
    p.setPen(QPen(QColor(150, 150, 150), 4));
    p.setBrush(QColor(250, 248, 240));
    p.drawRoundedRect(QRectF(52, 28, 180, 214), 10, 10);
    QLinearGradient cover(QPointF(32, 0), QPointF(216, 0));
    cover.setColorAt(0.0, QColor(20, 52, 130));
    cover.setColorAt(1.0, QColor(52, 100, 200));
    p.setPen(QPen(QColor(14, 34, 90), 6));
    p.setBrush(cover);
    p.drawRoundedRect(QRectF(28, 16, 186, 214), 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRect(QRectF(62, 42, 118, 40));
    p.setBrush(QuirewellRed);
    p.drawRect(QRectF(74, 54, 94, 16));
    Disc(p, QPointF(121, 158), 52, false);
}

} // namespace

QImage Icon(Program program, int size)
{
    QImage image = Canvas(size);
    QPainter p(&image);
    Begin(p, size);
    switch (program) {
    case Program::Launcher: DrawLauncher(p); break;
    case Program::Designer: DrawDesigner(p); break;
    case Program::Indexer: DrawIndexer(p); break;
    case Program::Guide: DrawGuide(p); break;
    }
    p.end();
    return image;
}

QImage DesignFileIcon(int size)
{
    QImage image = Canvas(size);
    QPainter p(&image);
    Begin(p, size);
    // A sheet with a folded corner and a small cover on it.
    QPainterPath sheet;
    sheet.moveTo(40, 12);
    sheet.lineTo(168, 12);
    sheet.lineTo(216, 60);
    sheet.lineTo(216, 244);
    sheet.lineTo(40, 244);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(120, 120, 120), 6));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(168, 12);
    fold.lineTo(168, 60);
    fold.lineTo(216, 60);
    fold.closeSubpath();
    p.setBrush(QColor(220, 220, 220));
    p.drawPath(fold);

    const QRectF cover(62, 78, 132, 132);
    p.setPen(QPen(QColor(60, 60, 60), 3, Qt::DashLine));
    p.setBrush(Peach);
    p.drawRect(cover);
    p.setPen(Qt::NoPen);
    p.setBrush(QuirewellRed);
    p.drawRect(QRectF(86, 90, 84, 14));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(74, 110, 108, 6));
    Landscape(p, QRectF(84, 122, 88, 56));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(74, 186, 108, 6));
    p.end();
    return image;
}

QImage Banner()
{
    // Label1's text, "CD-R QUIREWELL", stands at the top left of the band;
    // the banner frames it with a cut-line rule below and two discs on the
    // right, and leaves the rest clear.
    QImage image(342, 65, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // A laser-red rule fading in from the left, over a cut line like the
    // one printed around every insert.
    QLinearGradient beam(QPointF(0, 0), QPointF(262, 0));
    beam.setColorAt(0.0, QColor(255, 0, 0, 0));
    beam.setColorAt(0.3, QColor(255, 0, 0, 210));
    beam.setColorAt(1.0, QColor(255, 128, 0, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(beam);
    p.drawRoundedRect(QRectF(0, 46, 262, 5), 2.5, 2.5);
    p.setPen(QPen(QColor(70, 70, 70), 1, Qt::DashDotDotLine));
    p.drawLine(QPointF(40, 57.5), QPointF(262, 57.5));

    // A blank CD-R behind a pressed CD, at the right end of the band.
    Disc(p, QPointF(289, 34), 23, true);
    Disc(p, QPointF(315, 32.5), 26.5, false);
    p.end();
    return image;
}

QIcon WindowIcon(Program program)
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(QPixmap::fromImage(Icon(program, size)));
    return icon;
}

const char *IconName(Program program)
{
    switch (program) {
    case Program::Launcher: return "sleevegate";
    case Program::Designer: return "sleevedesk";
    case Program::Indexer: return "sleeveindex";
    case Program::Guide: return "sleeveguide";
    }
    return "sleevegate";
}

} // namespace artwork
