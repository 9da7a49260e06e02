#include "text/MessageIcons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace orvix {

namespace {

// Same palette as the button pictures.
const QColor kSlate(0x2E, 0x3A, 0x48);
const QColor kBlue(0x2A, 0x6F, 0xBF);
const QColor kTeal(0x0E, 0x8C, 0x82);
const QColor kAmber(0xE0, 0x8A, 0x0C);
const QColor kRed(0xD6, 0x45, 0x3D);

constexpr qreal kStroke = 3.0;

QPen markPen(const QColor& colour)
{
    QPen pen(colour, kStroke);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void disc(QPainter& p, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(16, 16), 14.5, 14.5);
}

void dot(QPainter& p, const QColor& colour, QPointF centre)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre, 1.9, 1.9);
}

void drawQuestion(QPainter& p)
{
    disc(p, kBlue);
    // Hook of the question mark: three quarters of a circle ending in the stem.
    QPainterPath hook;
    const QRectF arc(11.6, 7.4, 8.8, 8.8);
    hook.arcMoveTo(arc, 165);
    hook.arcTo(arc, 165, -225);
    hook.quadTo(16, 17.2, 16, 19.2);
    p.setPen(markPen(Qt::white));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    dot(p, Qt::white, QPointF(16, 24.2));
}

void drawAttention(QPainter& p)
{
    QPainterPath triangle;
    triangle.moveTo(16, 3.5);
    triangle.lineTo(29.5, 27.5);
    triangle.lineTo(2.5, 27.5);
    triangle.closeSubpath();
    QPen edge(kAmber, 3.0);
    edge.setJoinStyle(Qt::RoundJoin);
    p.setPen(edge);
    p.setBrush(kAmber);
    p.drawPath(triangle);

    p.setPen(markPen(kSlate));
    p.drawLine(QPointF(16, 11.5), QPointF(16, 18.5));
    dot(p, kSlate, QPointF(16, 23.3));
}

void drawError(QPainter& p)
{
    disc(p, kRed);
    p.setPen(markPen(Qt::white));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

void drawInformation(QPainter& p)
{
    disc(p, kTeal);
    dot(p, Qt::white, QPointF(16, 9.8));
    p.setPen(markPen(Qt::white));
    p.drawLine(QPointF(16, 14.5), QPointF(16, 23));
}

} // namespace

QPixmap messageBoxIcon(int code)
{
    return messageBoxIcon(code, 1.0);
}

QPixmap messageBoxIcon(int code, qreal devicePixelRatio)
{
    if (code < 0 || code > 3)
        return {};
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int side = qRound(32 * ratio);

    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(side / 32.0, side / 32.0);
        switch (code) {
        case 0:
            drawQuestion(p);
            break;
        case 1:
            drawAttention(p);
            break;
        case 2:
            drawError(p);
            break;
        default:
            drawInformation(p);
            break;
        }
    }
    image.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(image);
}

} // namespace orvix
