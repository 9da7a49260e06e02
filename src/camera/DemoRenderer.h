#pragma once
// The demo camera's picture: a stage micrometer (1 mm in 0.01 mm divisions) on a back-lit
// bright field with a soft vignette and a few translucent cells drifting over it. The
// static part is rendered once per size and settings; a frame only copies it and blends
// the cells at their current place.

#include <QImage>
#include <QSize>

#include <array>
#include <cstdint>
#include <vector>

namespace orvix {

// Pixels per millimetre at 640 pixels width and zoom 100 %; proportional to width and zoom.
constexpr double kDemoPixelsPerMm = 500.0;

struct DemoPictureSettings {
    int brightness = 0; // added to every value
    int contrast = 32;  // 32 = as lit; slope contrast / 32 around mid grey
    int exposure = 156; // manual exposure time; 156 is the nominal one
    bool autoExposure = true;
    int zoom = 100;  // magnification in percent
    int light = 100; // back-light level in percent
    bool lightOn = true;
    bool motion = true; // cells drift; off gives identical frames

    bool operator==(const DemoPictureSettings&) const = default;
};

// Where the scale lies in a picture of the given size.
struct DemoScaleGeometry {
    double pixelsPerMm = 0;
    double zeroX = 0;  // centre of the 0 mm tick
    int baselineY = 0; // the scale's base line; ticks rise above it
    int tickWidth = 1;
    int shortTick = 0;  // 0.01 mm
    int mediumTick = 0; // 0.05 mm
    int longTick = 0;   // 0.1 mm, numbered
    // Left pixel column of tick i (0..100).
    int tickLeft(int i) const;
};

DemoScaleGeometry demoScaleGeometry(QSize size, int zoomPercent = 100);

class DemoRenderer {
public:
    // Re-renders the static part when the size or a setting that shows in it changed.
    void configure(QSize size, const DemoPictureSettings& settings);
    QSize size() const { return m_size; }

    // Writes frame number n (at fps frames per second) as packed RGB rows of stride bytes.
    void renderFrame(uint8_t* dst, int stride, quint64 n, double fps) const;
    // The same frame as an image.
    QImage frame(quint64 n, double fps) const;

    // The picture without cells, after the picture controls.
    const QImage& staticLayer() const { return m_static; }

private:
    struct Cell {
        double x0, y0, vx, vy; // in picture widths / heights and per second
        int radius;
        int spriteW, spriteH;
        std::vector<std::array<uint16_t, 3>> factor; // per sprite pixel, 256 = unchanged
    };
    void renderScene();
    void applyControls();
    void buildCells();

    QSize m_size;
    DemoPictureSettings m_settings;
    bool m_haveSettings = false;
    QImage m_scene;  // lit scene before the controls
    QImage m_static; // after the controls, RGB888
    std::vector<Cell> m_cells;
};

} // namespace orvix
