// orvix-picgen: draws the program's picture files (button glyphs, window pictures and the
// application icon) from the SVG sources in resources/art at build time.
//
//   orvix-picgen <art folder> <program folder>
//
// Every picture is painted from a stack of SVG layers; the "_Gray" twins are derived from
// the finished colour glyph so that they always match it. Files are replaced atomically and
// read back before the tool reports success.

#include "IcoFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Picture {
    QString file; // relative to the program folder
    QSize size;
    QStringList layers; // relative to the art folder, painted bottom to top
};

struct Button {
    QString name;
    QStringList layers;
    bool grayTwin;
};

constexpr QSize kButtonSize{80, 60};
const QString kButtonFolder = QStringLiteral("Bitmap/MainButton/");
const QString kMapFolder = QStringLiteral("Bitmap/ShowMap/");
const QString kFace = QStringLiteral("button/face.svg");

std::vector<Button> buttons()
{
    const auto b = [](const char* name, QStringList layers, bool gray) {
        layers.prepend(kFace);
        return Button{QString::fromLatin1(name), layers, gray};
    };
    return {
        b("connect", {"button/connect.svg"}, true),
        b("disconnect", {"button/plugged.svg", "button/badge-close.svg"}, false),
        b("capture", {"button/capture.svg"}, true),
        b("Save", {"button/save.svg"}, true),
        b("edit", {"button/edit.svg"}, true),
        b("exitedit", {"button/edit.svg", "button/badge-close.svg"}, false),
        b("delete", {"button/delete.svg"}, true),
        b("videorecord", {"button/camcorder.svg", "button/badge-record.svg"}, true),
        b("stopvideo", {"button/camcorder.svg", "button/badge-stop.svg"}, false),
        b("playvideo", {"button/film.svg", "button/badge-play.svg"}, true),
        b("stopplay", {"button/film.svg", "button/badge-stop.svg"}, false),
        b("imageprocess", {"button/process.svg"}, true),
        b("imageprocessexit", {"button/process.svg", "button/badge-close.svg"}, false),
        b("printer", {"button/printer.svg"}, true),
        b("exit", {"button/exit.svg"}, true),
        b("rightothers", {"button/orient-normal.svg"}, true),
        b("rightself", {"button/orient-upside-down.svg"}, true),
        b("leftothers", {"button/orient-both.svg"}, true),
        b("leftself", {"button/orient-mirrored.svg"}, true),
        b("returntomain", {"button/normal-size.svg"}, true),
    };
}

std::vector<Picture> windowPictures()
{
    return {
        {kMapFolder + "LeftWindowMap.bmp", {400, 300}, {"showmap/live-empty.svg"}},
        {kMapFolder + "RightWindowMap.bmp", {400, 300}, {"showmap/still-empty.svg"}},
        {kMapFolder + "Recording.bmp", {128, 96}, {"showmap/recording.svg"}},
        {kMapFolder + "AboutMap.bmp", {300, 350}, {"showmap/about.svg"}},
        {kMapFolder + "InitialMap.bmp", {300, 200}, {"showmap/splash.svg"}},
    };
}

[[noreturn]] void fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

class Painter {
public:
    explicit Painter(QString artFolder) : art_(std::move(artFolder)) {}

    // Paints the layers in order. Bitmaps get an opaque white ground (BMP has no alpha);
    // icon images stay transparent.
    QImage paint(QSize size, const QStringList& layers, bool opaque = true)
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(opaque ? Qt::white : Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                               QPainter::TextAntialiasing);
        for (const QString& layer : layers)
            renderer(layer).render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        return image;
    }

private:
    QSvgRenderer& renderer(const QString& layer)
    {
        for (auto& [name, r] : cache_) {
            if (name == layer)
                return *r;
        }
        const QString path = art_ + '/' + layer;
        auto r = std::make_unique<QSvgRenderer>(path);
        if (!r->isValid())
            fail(QStringLiteral("cannot read SVG %1").arg(path));
        cache_.emplace_back(layer, std::move(r));
        return *cache_.back().second;
    }

    QString art_;
    std::vector<std::pair<QString, std::unique_ptr<QSvgRenderer>>> cache_;
};

// The grey twin stands behind a hidden or disabled button: same drawing, no colour and
// little contrast, so it reads as "not available" next to live buttons.
QImage grayTwin(const QImage& colour)
{
    QImage out = colour.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < out.height(); ++y) {
        uchar* p = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x, p += 3) {
            const int lum = (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
            const auto v = static_cast<uchar>(138 + lum * 45 / 100);
            p[0] = p[1] = p[2] = v;
        }
    }
    return out;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

// 24-bit Windows bitmap, the only kind the program loads and writes.
void writeBmp(const QString& path, const QImage& image)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "BMP");
        if (!writer.write(image.convertToFormat(QImage::Format_RGB888)))
            fail(QStringLiteral("cannot encode %1: %2").arg(path, writer.errorString()));
    }
    // BITMAPINFOHEADER bit count at offset 28.
    if (bytes.size() < 30 || !bytes.startsWith("BM") || bytes[28] != 24 || bytes[29] != 0)
        fail(QStringLiteral("%1 did not encode as a 24-bit bitmap").arg(path));
    writeFile(path, bytes);

    const QImage back(path, "BMP");
    if (back.size() != image.size())
        fail(QStringLiteral("%1 does not read back").arg(path));
}

void writeIcon(Painter& painter, const QString& path)
{
    QList<QImage> images;
    for (const int px : {16, 32, 48, 64, 256}) {
        const QString source =
            px <= 16 ? QStringLiteral("icon/app-16.svg") : QStringLiteral("icon/app.svg");
        images.append(
            painter.paint({px, px}, {source}, false).convertToFormat(QImage::Format_ARGB32));
    }
    writeFile(path, picgen::buildIco(images));

    QImageReader reader(path, "ico");
    if (reader.imageCount() != images.size())
        fail(QStringLiteral("%1: icon reader sees %2 images").arg(path).arg(reader.imageCount()));
    for (int i = 0; i < images.size(); ++i) {
        const QImage back = reader.read();
        if (back.size() != images[i].size())
            fail(QStringLiteral("%1: image %2 does not read back (%3)")
                     .arg(path)
                     .arg(i)
                     .arg(reader.errorString()));
        if (i + 1 < images.size() && !reader.jumpToNextImage())
            fail(QStringLiteral("%1: cannot step to image %2").arg(path).arg(i + 1));
    }
}

void run(const QString& art, const QString& programDir)
{
    if (!QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")))
        fail(QStringLiteral(
            "the font \"DejaVu Sans\" is not installed (package fonts-dejavu-core)"));

    Painter painter(art);
    const QString root = programDir + '/';

    for (const Button& button : buttons()) {
        const QImage colour = painter.paint(kButtonSize, button.layers);
        writeBmp(root + kButtonFolder + button.name + ".bmp", colour);
        if (button.grayTwin)
            writeBmp(root + kButtonFolder + button.name + "_Gray.bmp", grayTwin(colour));
    }
    for (const Picture& picture : windowPictures())
        writeBmp(root + picture.file, painter.paint(picture.size, picture.layers));
    writeIcon(painter, root + "Bitmap/Icon.ico");
}

} // namespace

int main(int argc, char** argv)
{
    // Text needs a GUI application, but the tool runs in builds without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: orvix-picgen <art folder> <program folder>\n");
        return 2;
    }
    try {
        run(args[1], args[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvix-picgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
