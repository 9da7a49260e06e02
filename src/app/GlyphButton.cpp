#include "app/GlyphButton.h"

#include <QPainter>

namespace orvix {

GlyphButton::GlyphButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    resize(80, 60);
}

void GlyphButton::setGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    update();
}

void GlyphButton::enterEvent(QEnterEvent*)
{
    m_hover = true;
    update();
}

void GlyphButton::leaveEvent(QEvent*)
{
    m_hover = false;
    update();
}

void GlyphButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    const bool down = isDown();
    if (down)
        r.translate(1, 1);
    if (!m_glyph.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(r, m_glyph);
    } else {
        p.fillRect(rect(), palette().button());
    }
    if (!isEnabled())
        p.fillRect(rect(), QColor(255, 255, 255, 140));
    if (m_hover && isEnabled()) {
        p.setPen(QPen(QColor(40, 120, 200, down ? 230 : 170), 2));
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
    }
    if (!text().isEmpty()) {
        p.setPen(palette().buttonText().color());
        p.drawText(r.adjusted(0, 0, 0, -2), Qt::AlignHCenter | Qt::AlignBottom, text());
    }
}

} // namespace orvix
