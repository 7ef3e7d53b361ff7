#include "ui/app/help.h"

#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

QPixmap DrawAboutPicture()
{
    QPixmap picture(400, 80);
    QPainter p(&picture);
    QLinearGradient sky(0, 0, 0, 80);
    sky.setColorAt(0, QColor(24, 28, 64));
    sky.setColorAt(1, QColor(92, 52, 110));
    p.fillRect(picture.rect(), sky);

    // A row of 8x8 "tiles" in four shades, like a Game Boy tile strip.
    const QColor shades[4] = {QColor(224, 248, 208), QColor(136, 192, 112), QColor(52, 104, 86), QColor(8, 24, 32)};
    for (int t = 0; t < 12; ++t)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const int shade = ((x ^ y) + t + (x * y) / 7) % 4;
                p.fillRect(14 + t * 31 + x * 3, 6 + y * 3, 3, 3, shades[shade]);
            }

    QFont title(QStringLiteral("Sans Serif"), 18, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(255, 236, 160));
    p.drawText(QRect(14, 34, 200, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Brixel 0.54"));
    QFont line(QStringLiteral("Sans Serif"), 8);
    p.setFont(line);
    p.setPen(QColor(220, 220, 240));
    p.drawText(QRect(14, 60, 380, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Tile graphics editor for game-console ROM images"));
    p.end();
    return picture;
}

Help::Help(QWidget* parent) : ToolWindow(parent, Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Brixel"));
    Picture = new QLabel;
    Picture->setPixmap(DrawAboutPicture());
    Picture->setFixedSize(400, 80);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Picture);
    setFixedSize(400, 80);
    // Shown at start before a window manager has placed the main window, it
    // follows the main window to stay over it.
    if (parent)
        parent->installEventFilter(this);
}

void Help::ShowHelp()
{
    // Over the middle of the main window each time, wherever that went.
    move(DefaultToolPosition(*this));
    ShowTool();
}

bool Help::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && isVisible() && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        move(DefaultToolPosition(*this));
    return QWidget::eventFilter(watched, event);
}

void Help::mousePressEvent(QMouseEvent*)
{
    hide();
}
