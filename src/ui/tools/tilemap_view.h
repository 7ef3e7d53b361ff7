#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <vector>

// The drawn map: color indices shown through a palette, each map pixel a
// zoom x zoom square, with a white frame around the selected entry. A
// click names the entry under the pointer.
class TilemapView : public QWidget {
    Q_OBJECT

public:
    explicit TilemapView(QWidget* parent = nullptr);

    // indices: width x height color indices, row by row.
    void SetPicture(const std::vector<std::uint8_t>& indices, int width, int height, const QList<QRgb>& colors);
    void SetColors(const QList<QRgb>& colors);
    void SetZoom(int zoom);
    void SetSelected(int column, int line);
    int Zoom() const { return zoom_; }
    const QImage& Picture() const { return picture_; }

signals:
    void EntryClicked(int column, int line);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    QSize sizeHint() const override;

private:
    QImage picture_;  // Format_Indexed8, one map pixel a pixel
    int zoom_ = 2;
    int selectedColumn_ = -1;
    int selectedLine_ = -1;
};
