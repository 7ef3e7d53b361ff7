#include "ui/floor/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

namespace {

constexpr int Size = 20;

void DrawTiles(QPainter& p, QColor a, QColor b)
{
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            p.fillRect(3 + x * 7, 3 + y * 7, 6, 6, (x + y) % 2 ? a : b);
}

// A filled arrow head at tip, pointing along (dx, dy).
void ArrowHead(QPainter& p, QPointF tip, double dx, double dy, QColor color)
{
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip.x() - 4 * dx + 3 * dy, tip.y() - 4 * dy - 3 * dx);
    head.lineTo(tip.x() - 4 * dx - 3 * dy, tip.y() - 4 * dy + 3 * dx);
    head.closeSubpath();
    p.fillPath(head, color);
}

}  // namespace

QIcon DrawnIcon(IconKind kind)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(50, 50, 60);
    const QColor tile(90, 140, 210);
    const QColor arrow(40, 150, 70);
    p.setPen(QPen(ink, 1.6));
    switch (kind) {
    case IconKind::Open:
        p.fillRect(2, 6, 16, 11, QColor(230, 190, 80));
        p.drawRect(2, 6, 16, 11);
        p.drawLine(2, 6, 7, 3);
        break;
    case IconKind::Close:
        p.setPen(QPen(QColor(190, 40, 40), 2.4));
        p.drawLine(5, 5, 15, 15);
        p.drawLine(15, 5, 5, 15);
        break;
    case IconKind::ZoomIn:
    case IconKind::ZoomOut:
        p.drawEllipse(3, 3, 10, 10);
        p.drawLine(12, 12, 17, 17);
        p.drawLine(5, 8, 11, 8);
        if (kind == IconKind::ZoomIn)
            p.drawLine(8, 5, 8, 11);
        break;
    case IconKind::Grid:
        for (int i = 3; i <= 17; i += 7) {
            p.drawLine(i, 3, i, 17);
            p.drawLine(3, i, 17, i);
        }
        break;
    case IconKind::ColorSet:
        p.fillRect(3, 3, 7, 7, Qt::red);
        p.fillRect(10, 3, 7, 7, Qt::green);
        p.fillRect(3, 10, 7, 7, Qt::blue);
        p.fillRect(10, 10, 7, 7, Qt::yellow);
        break;
    case IconKind::Bookmark: {
        QPainterPath path;
        path.moveTo(5, 2);
        path.lineTo(15, 2);
        path.lineTo(15, 18);
        path.lineTo(10, 13);
        path.lineTo(5, 18);
        path.closeSubpath();
        p.fillPath(path, QColor(200, 60, 60));
        break;
    }
    case IconKind::FileInfo:
        p.drawRect(4, 2, 12, 16);
        p.drawLine(7, 7, 13, 7);
        p.drawLine(7, 10, 13, 10);
        p.drawLine(7, 13, 11, 13);
        break;
    case IconKind::Menu:
        for (int y : {5, 10, 15})
            p.drawLine(3, y, 17, y);
        break;
    case IconKind::Help:
        p.drawEllipse(3, 3, 14, 14);
        p.drawLine(10, 9, 10, 14);
        p.drawPoint(10, 6);
        break;
    case IconKind::Options:
        p.drawEllipse(6, 6, 8, 8);
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(10, 10);
            p.rotate(45 * i);
            p.drawLine(0, 5, 0, 8);
            p.restore();
        }
        break;
    case IconKind::BmpImport:
    case IconKind::BmpExport:
        DrawTiles(p, QColor(90, 160, 90), QColor(220, 220, 120));
        p.setPen(QPen(QColor(40, 90, 170), 2));
        p.drawLine(kind == IconKind::BmpImport ? 17 : 11, 17, kind == IconKind::BmpImport ? 11 : 17, 17);
        break;
    case IconKind::Patterns:
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                p.fillRect(3 + x * 5, 3 + y * 5, 4, 4, (x + y) % 2 ? ink : QColor(160, 160, 200));
        break;
    case IconKind::TileTool:
        DrawTiles(p, QColor(200, 120, 40), QColor(250, 220, 160));
        break;
    case IconKind::Editor:
        DrawTiles(p, QColor(120, 120, 200), QColor(220, 220, 250));
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.drawLine(9, 17, 17, 9);
        break;
    case IconKind::Browser:
        DrawTiles(p, QColor(60, 120, 60), QColor(180, 220, 180));
        p.drawLine(17, 3, 17, 17);
        break;
    // The tile tool's pictures.
    case IconKind::TileFlipX:
        p.drawLine(10, 2, 10, 18);
        p.fillRect(3, 6, 5, 8, tile);
        p.drawRect(12, 6, 5, 8);
        break;
    case IconKind::TileFlipY:
        p.drawLine(2, 10, 18, 10);
        p.fillRect(6, 3, 8, 5, tile);
        p.drawRect(6, 12, 8, 5);
        break;
    case IconKind::TileRotate:
        p.fillRect(7, 7, 6, 6, tile);
        p.setPen(QPen(arrow, 1.8));
        p.drawArc(3, 3, 14, 14, 90 * 16, 270 * 16);
        ArrowHead(p, QPointF(10, 3), -1, 0, arrow);
        break;
    case IconKind::TileClear:
        p.fillRect(3, 3, 14, 14, tile);
        p.setPen(QPen(QColor(190, 40, 40), 2.4));
        p.drawLine(5, 5, 15, 15);
        p.drawLine(15, 5, 5, 15);
        break;
    case IconKind::TileSave:
        p.fillRect(3, 3, 14, 14, tile);
        p.fillRect(6, 3, 8, 5, Qt::white);
        p.fillRect(5, 11, 10, 6, QColor(230, 230, 230));
        p.drawRect(3, 3, 14, 14);
        break;
    case IconKind::TileReload:
        p.setPen(QPen(arrow, 1.8));
        p.drawArc(3, 3, 14, 14, 30 * 16, 300 * 16);
        ArrowHead(p, QPointF(16, 6), 0.5, -1, arrow);
        break;
    case IconKind::TileCopyToAddress:
        p.fillRect(3, 2, 8, 8, tile);
        p.setPen(QPen(arrow, 1.8));
        p.drawLine(7, 10, 7, 15);
        ArrowHead(p, QPointF(7, 18), 0, 1, arrow);
        p.setPen(QPen(ink, 1.2));
        p.drawLine(11, 17, 18, 17);
        break;
    case IconKind::TileCopyToSelection:
        p.fillRect(2, 2, 7, 7, tile);
        p.drawRect(11, 11, 7, 7);
        p.setPen(QPen(arrow, 1.8));
        p.drawLine(7, 7, 11, 11);
        ArrowHead(p, QPointF(13, 13), 0.7, 0.7, arrow);
        break;
    // The PNG buttons: tiles in cool colors with a "P", the arrow under
    // them as on the BMP buttons; the browser grid's has four small tiles.
    case IconKind::PngImport:
    case IconKind::PngExport:
    case IconKind::PngBrowser:
        if (kind == IconKind::PngBrowser) {
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 4; ++x)
                    p.fillRect(2 + x * 4, 3 + y * 6, 3, 5, (x + y) % 2 ? QColor(60, 120, 60) : QColor(180, 220, 180));
        } else {
            DrawTiles(p, QColor(120, 80, 170), QColor(170, 220, 230));
        }
        p.setPen(QPen(QColor(150, 30, 110), 1.8));
        p.drawLine(6, 5, 6, 13);
        p.drawArc(2, 5, 8, 5, -90 * 16, 180 * 16);
        p.setPen(QPen(QColor(40, 90, 170), 2));
        p.drawLine(kind == IconKind::PngImport ? 17 : 11, 17, kind == IconKind::PngImport ? 11 : 17, 17);
        break;
    case IconKind::FindGraphics:
        // A magnifying glass over a tile.
        DrawTiles(p, QColor(90, 160, 90), QColor(220, 220, 120));
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
        p.drawLine(11, 11, 17, 17);
        break;
    }
    p.end();
    return QIcon(pixmap);
}

QToolButton* MakePictureButton(IconKind icon, const char* toolTip, bool toggle, bool pressed)
{
    auto* button = new QToolButton;
    button->setIcon(DrawnIcon(icon));
    button->setIconSize(QSize(20, 20));
    button->setToolTip(QString::fromLatin1(toolTip));
    button->setCheckable(toggle);
    button->setChecked(pressed);
    return button;
}
