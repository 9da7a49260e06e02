#include "camera/DemoRenderer.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orvix {

namespace {

const QColor kInk(34, 37, 48);

double smoothstep(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Seven-segment digits: bit 0 = top, 1 = top right, 2 = bottom right, 3 = bottom,
// 4 = bottom left, 5 = top left, 6 = middle.
constexpr uint8_t kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};

// Draws a number centred on cx with its bottom at y; digits are h high.
void drawNumber(QPainter& p, int value, double cx, double bottom, double h)
{
    const QString text = QString::number(value);
    const double w = h * 0.5, gap = h * 0.22;
    const double total = text.size() * w + (text.size() - 1) * gap;
    double x = cx - total / 2;
    QPen pen(kInk, std::max(1.0, h / 7.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    const double top = bottom - h, mid = bottom - h / 2;
    for (QChar c : text) {
        const uint8_t s = kSegments[c.digitValue()];
        const QPointF tl(x, top), tr(x + w, top), ml(x, mid), mr(x + w, mid), bl(x, bottom),
            br(x + w, bottom);
        if (s & 0x01)
            p.drawLine(tl, tr);
        if (s & 0x02)
            p.drawLine(tr, mr);
        if (s & 0x04)
            p.drawLine(mr, br);
        if (s & 0x08)
            p.drawLine(bl, br);
        if (s & 0x10)
            p.drawLine(ml, bl);
        if (s & 0x20)
            p.drawLine(tl, ml);
        if (s & 0x40)
            p.drawLine(ml, mr);
        x += w + gap;
    }
}

double wrap(double v, double lo, double span)
{
    double r = std::fmod(v - lo, span);
    if (r < 0)
        r += span;
    return lo + r;
}

} // namespace

int DemoScaleGeometry::tickLeft(int i) const
{
    return int(std::lround(zeroX + i * pixelsPerMm * 0.01 - tickWidth / 2.0));
}

DemoScaleGeometry demoScaleGeometry(QSize size, int zoomPercent)
{
    DemoScaleGeometry g;
    g.pixelsPerMm = kDemoPixelsPerMm * size.width() / 640.0 * zoomPercent / 100.0;
    // The middle of the scale (0.5 mm) sits in the middle of the picture.
    g.zeroX = size.width() / 2.0 - 0.5 * g.pixelsPerMm;
    g.baselineY = int(std::lround(size.height() * 0.62));
    g.tickWidth = std::max(1, int(std::lround(g.pixelsPerMm * 0.0016)));
    g.shortTick = int(std::lround(g.pixelsPerMm * 0.06));
    g.mediumTick = int(std::lround(g.pixelsPerMm * 0.09));
    g.longTick = int(std::lround(g.pixelsPerMm * 0.13));
    return g;
}

void DemoRenderer::configure(QSize size, const DemoPictureSettings& settings)
{
    const bool sceneDirty = size != m_size || !m_haveSettings || settings.zoom != m_settings.zoom;
    DemoPictureSettings prev = m_settings;
    prev.motion = settings.motion;
    const bool controlsDirty = sceneDirty || !(prev == settings);
    if (size != m_size || m_cells.empty()) {
        m_size = size;
        buildCells();
    }
    m_settings = settings;
    m_haveSettings = true;
    if (sceneDirty)
        renderScene();
    if (controlsDirty)
        applyControls();
}

void DemoRenderer::renderScene()
{
    const int w = m_size.width(), h = m_size.height();
    m_scene = QImage(m_size, QImage::Format_RGB888);
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
    const double rmax2 = cx * cx + cy * cy;
    for (int y = 0; y < h; ++y) {
        uchar* row = m_scene.scanLine(y);
        const double dy2 = (y - cy) * (y - cy);
        for (int x = 0; x < w; ++x) {
            const double r2 = ((x - cx) * (x - cx) + dy2) / rmax2;
            const double v = 1.0 - 0.38 * r2 * r2 - 0.12 * r2;
            row[3 * x + 0] = uchar(std::lround(240 * v));
            row[3 * x + 1] = uchar(std::lround(236 * v));
            row[3 * x + 2] = uchar(std::lround(224 * v));
        }
    }

    const DemoScaleGeometry g = demoScaleGeometry(m_size, m_settings.zoom);
    QPainter p(&m_scene);
    // Base line from the 0 to the 1 mm tick.
    const int x0 = g.tickLeft(0), x1 = g.tickLeft(100) + g.tickWidth;
    p.fillRect(x0, g.baselineY, x1 - x0, g.tickWidth, kInk);
    for (int i = 0; i <= 100; ++i) {
        const int len = i % 10 == 0 ? g.longTick : i % 5 == 0 ? g.mediumTick : g.shortTick;
        p.fillRect(g.tickLeft(i), g.baselineY - len, g.tickWidth, len, kInk);
    }
    p.setRenderHint(QPainter::Antialiasing);
    const double digitH = g.pixelsPerMm * 0.045;
    for (int i = 0; i <= 100; i += 10)
        drawNumber(p, i, g.tickLeft(i) + g.tickWidth / 2.0,
                   g.baselineY - g.longTick - g.pixelsPerMm * 0.02, digitH);
    // The unit under the scale, so the picture says what it shows.
    drawNumber(p, 1, g.zeroX + 0.5 * g.pixelsPerMm, g.baselineY + g.pixelsPerMm * 0.09,
               digitH * 0.8);
    const double mmX = g.zeroX + 0.5 * g.pixelsPerMm + digitH * 0.5;
    const double mmY = g.baselineY + g.pixelsPerMm * 0.09;
    p.setPen(QPen(kInk, std::max(1.0, digitH / 9.0), Qt::SolidLine, Qt::RoundCap));
    // "mm" as two small arches.
    for (int k = 0; k < 2; ++k) {
        const double ax = mmX + k * digitH * 0.55, aw = digitH * 0.5, ah = digitH * 0.45;
        QPainterPath path;
        path.moveTo(ax, mmY);
        path.lineTo(ax, mmY - ah);
        path.moveTo(ax, mmY - ah * 0.6);
        path.cubicTo(ax + aw * 0.1, mmY - ah * 1.1, ax + aw * 0.5, mmY - ah * 1.1, ax + aw * 0.5,
                     mmY - ah * 0.5);
        path.lineTo(ax + aw * 0.5, mmY);
        path.moveTo(ax + aw * 0.5, mmY - ah * 0.5);
        path.cubicTo(ax + aw * 0.5, mmY - ah * 1.1, ax + aw, mmY - ah * 1.1, ax + aw,
                     mmY - ah * 0.5);
        path.lineTo(ax + aw, mmY);
        p.drawPath(path);
    }
}

void DemoRenderer::applyControls()
{
    const DemoPictureSettings& s = m_settings;
    const double light = s.lightOn ? s.light / 100.0 : 0.03;
    const double exposure = s.autoExposure ? 1.0 : s.exposure / 156.0;
    const double gain = light * exposure;
    const double slope = s.contrast / 32.0;
    uint8_t lut[256];
    for (int v = 0; v < 256; ++v) {
        const double out = (v * gain - 128.0) * slope + 128.0 + s.brightness;
        lut[v] = uint8_t(std::clamp(std::lround(out), 0L, 255L));
    }
    m_static = QImage(m_size, QImage::Format_RGB888);
    const int rowBytes = m_size.width() * 3;
    for (int y = 0; y < m_size.height(); ++y) {
        const uchar* in = m_scene.constScanLine(y);
        uchar* out = m_static.scanLine(y);
        for (int i = 0; i < rowBytes; ++i)
            out[i] = lut[in[i]];
    }
}

void DemoRenderer::buildCells()
{
    struct Seed {
        double x, y, vx, vy, r, tr, tg, tb;
    };
    // Speeds in picture sizes per second: a cell crosses the view in about a minute.
    static const Seed seeds[] = {
        {0.18, 0.22, 0.011, 0.004, 0.055, 0.78, 0.86, 0.74},
        {0.72, 0.30, -0.008, 0.006, 0.045, 0.84, 0.80, 0.88},
        {0.40, 0.80, 0.006, -0.009, 0.065, 0.80, 0.88, 0.80},
        {0.86, 0.74, -0.012, -0.003, 0.038, 0.76, 0.84, 0.78},
        {0.55, 0.12, 0.004, 0.010, 0.050, 0.86, 0.82, 0.76},
    };
    m_cells.clear();
    const int w = m_size.width();
    for (const Seed& s : seeds) {
        Cell c;
        c.x0 = s.x;
        c.y0 = s.y;
        c.vx = s.vx;
        c.vy = s.vy;
        c.radius = std::max(3, int(std::lround(s.r * w)));
        const int half = int(std::ceil(c.radius * 1.15)) + 1;
        c.spriteW = c.spriteH = 2 * half + 1;
        c.factor.resize(size_t(c.spriteW) * c.spriteH);
        const double tint[3] = {s.tr, s.tg, s.tb};
        for (int y = 0; y < c.spriteH; ++y)
            for (int x = 0; x < c.spriteW; ++x) {
                const double dx = (x - half) / double(c.radius), dy = (y - half) / double(c.radius);
                const double d = std::sqrt(dx * dx + dy * dy);
                double a = 0;
                if (d < 1.0)
                    a = 0.16 + 0.30 * smoothstep(0.72, 1.0, d);
                else
                    a = 0.46 * (1.0 - smoothstep(1.0, 1.15, d));
                const double nx = dx + 0.25, ny = dy + 0.15;
                a += 0.22 * (1.0 - smoothstep(0.18, 0.30, std::sqrt(nx * nx + ny * ny)));
                auto& f = c.factor[size_t(y) * c.spriteW + x];
                for (int k = 0; k < 3; ++k)
                    f[k] = uint16_t(std::lround(256.0 * (1.0 - a * (1.0 - tint[k] * 0.6))));
            }
        m_cells.push_back(std::move(c));
    }
}

void DemoRenderer::renderFrame(uint8_t* dst, int stride, quint64 n, double fps) const
{
    const int w = m_size.width(), h = m_size.height();
    const int rowBytes = w * 3;
    for (int y = 0; y < h; ++y)
        std::memcpy(dst + size_t(y) * stride, m_static.constScanLine(y), size_t(rowBytes));

    const double t = m_settings.motion && fps > 0 ? double(n) / fps : 0.0;
    for (const Cell& c : m_cells) {
        const double px = wrap(c.x0 + c.vx * t, -0.15, 1.3) * w;
        const double py = wrap(c.y0 + c.vy * t, -0.15, 1.3) * h;
        const int left = int(std::lround(px)) - c.spriteW / 2;
        const int top = int(std::lround(py)) - c.spriteH / 2;
        const int sx0 = std::max(0, -left), sy0 = std::max(0, -top);
        const int sx1 = std::min(c.spriteW, w - left), sy1 = std::min(c.spriteH, h - top);
        for (int sy = sy0; sy < sy1; ++sy) {
            uint8_t* row = dst + size_t(top + sy) * stride + size_t(left) * 3;
            const auto* f = &c.factor[size_t(sy) * c.spriteW];
            for (int sx = sx0; sx < sx1; ++sx) {
                uint8_t* p = row + sx * 3;
                p[0] = uint8_t((p[0] * f[sx][0]) >> 8);
                p[1] = uint8_t((p[1] * f[sx][1]) >> 8);
                p[2] = uint8_t((p[2] * f[sx][2]) >> 8);
            }
        }
    }
}

QImage DemoRenderer::frame(quint64 n, double fps) const
{
    QImage img(m_size, QImage::Format_RGB888);
    renderFrame(img.bits(), int(img.bytesPerLine()), n, fps);
    return img;
}

} // namespace orvix
