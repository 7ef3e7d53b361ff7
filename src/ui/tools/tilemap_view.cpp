#include "ui/tools/tilemap_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {

constexpr int EntrySide = 8;

}  // namespace

TilemapView::TilemapView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TilemapView::SetPicture(const std::vector<std::uint8_t>& indices, int width, int height,
                             const QList<QRgb>& colors)
{
    picture_ = QImage(width, height, QImage::Format_Indexed8);
    picture_.setColorTable(colors);
    for (int y = 0; y < height; ++y)
        std::memcpy(picture_.scanLine(y), indices.data() + static_cast<std::size_t>(y) * width,
                    static_cast<std::size_t>(width));
    setFixedSize(picture_.size() * zoom_);
    update();
}

void TilemapView::SetColors(const QList<QRgb>& colors)
{
    picture_.setColorTable(colors);
    update();
}

void TilemapView::SetZoom(int zoom)
{
    zoom_ = std::max(zoom, 1);
    setFixedSize(picture_.size() * zoom_);
    update();
}

void TilemapView::SetSelected(int column, int line)
{
    selectedColumn_ = column;
    selectedLine_ = line;
    update();
}

QSize TilemapView::sizeHint() const
{
    return picture_.size() * zoom_;
}

void TilemapView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    // Only the map pixels under the part shown are drawn, each a zoom x zoom
    // square without smoothing: a large map at a high zoom costs what the
    // visible part does.
    const QRect exposed = event->rect();
    const QRect source = QRect(QPoint(exposed.left() / zoom_, exposed.top() / zoom_),
                               QPoint(exposed.right() / zoom_, exposed.bottom() / zoom_))
                             .intersected(picture_.rect());
    if (!source.isEmpty())
        painter.drawImage(QRect(source.topLeft() * zoom_, source.size() * zoom_), picture_, source);
    if (selectedColumn_ >= 0) {
        const int side = EntrySide * zoom_;
        painter.setPen(Qt::white);
        painter.drawRect(selectedColumn_ * side, selectedLine_ * side, side, side);
    }
}

void TilemapView::mousePressEvent(QMouseEvent* event)
{
    const int side = EntrySide * zoom_;
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || at.x() < 0 || at.y() < 0 || at.x() >= picture_.width() * zoom_ ||
        at.y() >= picture_.height() * zoom_)
        return;
    emit EntryClicked(at.x() / side, at.y() / side);
}
