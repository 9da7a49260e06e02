// Media library and still saving, each measured against its baseline in the same run:
//   page refresh of the JPG list (2,000 pictures of 1600 x 1200) vs. listing the folder and
//   fully decoding the same five files;
//   JPEG save at quality 90 vs. a bare tjCompress2 of the same pixels;
//   BMP save vs. writing the same bytes with plain file I/O;
//   frame 8 of a 640 x 480 AVI.

#include "camera/MediaInit.h"
#include "library/AviFrame.h"
#include "library/ImageIO.h"
#include "library/MediaList.h"
#include "library/ThumbnailPage.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <turbojpeg.h>

#include <fcntl.h>
#include <unistd.h>

using namespace orvix;

namespace {

constexpr int kPictures = 2000;

QImage still1600()
{
    QImage img(1600, 1200, QImage::Format_RGB888);
    for (int y = 0; y < img.height(); ++y) {
        uchar* row = img.scanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            row[3 * x] = uchar((x * 7 + y) & 0xFF);
            row[3 * x + 1] = uchar((y * 3) & 0xFF);
            row[3 * x + 2] = uchar(((x ^ y) * 5) & 0xFF);
        }
    }
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 3));
    for (int i = 0; i < 40; ++i)
        p.drawEllipse(QPoint(800, 600), 20 + i * 14, 15 + i * 11);
    return img;
}

// ORVIX_BENCH_DIR chooses where the files go (for example a tmpfs, to leave out the disk).
QString benchRoot()
{
    const QString root = qEnvironmentVariable("ORVIX_BENCH_DIR");
    return (root.isEmpty() ? QDir::tempPath() : root) + QStringLiteral("/orvix-bench-XXXXXX");
}

struct Fixture {
    QTemporaryDir dir{benchRoot()};
    QString jpgFolder;
    QString aviPath;
    QImage still = still1600();

    Fixture()
    {
        jpgFolder = dir.filePath("Jpg");
        QDir().mkpath(jpgFolder);
        const QByteArray jpeg = encodeJpeg(still, 90);
        for (int i = 0; i < kPictures; ++i) {
            QFile f(jpgFolder + QStringLiteral("/Jpg_2024%1.jpg").arg(i, 6, 10, QLatin1Char('0')));
            if (!f.open(QIODevice::WriteOnly) || f.write(jpeg) != jpeg.size())
                qFatal("cannot write the benchmark pictures");
        }
        aviPath = dir.filePath("Video_bench.avi");
        const QByteArray desc =
            QStringLiteral(
                "videotestsrc num-buffers=60 pattern=ball ! video/x-raw,width=640,"
                "height=480,framerate=30/1 ! jpegenc ! avimux ! filesink location=\"%1\"")
                .arg(aviPath)
                .toUtf8();
        GstElement* pipeline = gst_parse_launch(desc.constData(), nullptr);
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* msg = gst_bus_timed_pop_filtered(
            bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (!msg || GST_MESSAGE_TYPE(msg) != GST_MESSAGE_EOS)
            qFatal("cannot write the benchmark video");
        gst_message_unref(msg);
        gst_object_unref(bus);
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// Page 200 of 400, as after paging into the middle of the list.
constexpr int kPage = 200;

void JpgPageRefresh_Warm(benchmark::State& state)
{
    Fixture& f = fixture();
    ThumbnailLoader loader;
    MediaList list(ListKind::Jpg, f.jpgFolder);
    list.refresh();
    for (auto _ : state) {
        list.refresh();
        PagePictures page = loader.loadPage(list);
        benchmark::DoNotOptimize(page);
    }
}

// One refresh of a page: list + five thumbnails (cold cache).
void JpgPageRefresh_OneRefresh(benchmark::State& state)
{
    Fixture& f = fixture();
    ThumbnailLoader loader;
    MediaList list(ListKind::Jpg, f.jpgFolder);
    list.refresh();
    for (int i = 0; i < kPage; ++i)
        list.nextPage();
    for (auto _ : state) {
        loader.clearCache();
        list.refresh();
        PagePictures page = loader.loadPage(list);
        benchmark::DoNotOptimize(page);
    }
}

void Baseline_ListAndFullDecodeFive(benchmark::State& state)
{
    Fixture& f = fixture();
    tjhandle tj = tjInitDecompress();
    for (auto _ : state) {
        QStringList files = QDir(f.jpgFolder)
                                .entryList({QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")},
                                           QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (int n = 0; n < 5; ++n) {
            QFile file(f.jpgFolder + QLatin1Char('/') + files[kPage * 5 + n]);
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            int w = 0, h = 0, sub = 0, cs = 0;
            auto* src = reinterpret_cast<const unsigned char*>(bytes.constData());
            tjDecompressHeader3(tj, src, bytes.size(), &w, &h, &sub, &cs);
            QImage out(w, h, QImage::Format_RGB888);
            tjDecompress2(tj, src, bytes.size(), out.bits(), w, int(out.bytesPerLine()), h,
                          TJPF_RGB, 0);
            benchmark::DoNotOptimize(out);
        }
    }
    tjDestroy(tj);
}

void SaveJpegQ90(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString path = f.dir.filePath("Jpg_save.jpg");
    for (auto _ : state) {
        IoResult r = saveJpeg(path, f.still, 90);
        if (!r.ok)
            state.SkipWithError(r.error.toUtf8().constData());
    }
}

void Baseline_BareTjCompress2Q90(benchmark::State& state)
{
    Fixture& f = fixture();
    tjhandle tj = tjInitCompress();
    for (auto _ : state) {
        unsigned char* out = nullptr;
        unsigned long size = 0;
        tjCompress2(tj, f.still.constBits(), f.still.width(), int(f.still.bytesPerLine()),
                    f.still.height(), TJPF_RGB, &out, &size, TJSAMP_420, 90, 0);
        benchmark::DoNotOptimize(out);
        tjFree(out);
    }
    tjDestroy(tj);
}

void SaveBmp(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString path = f.dir.filePath("Bmp_save.bmp");
    for (auto _ : state) {
        IoResult r = saveBmp(path, f.still);
        if (!r.ok)
            state.SkipWithError(r.error.toUtf8().constData());
    }
}

// The same bytes written with open/write/close; with fsync as a second baseline, since an
// atomic save must reach the disk before it replaces the old file.
void plainWrite(benchmark::State& state, bool sync)
{
    Fixture& f = fixture();
    const QByteArray bytes = encodeBmp(f.still);
    const QByteArray path = QFile::encodeName(f.dir.filePath("plain.bmp"));
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const ssize_t n = ::write(fd, bytes.constData(), size_t(bytes.size()));
        if (sync)
            ::fsync(fd);
        ::close(fd);
        if (n != bytes.size())
            state.SkipWithError("short write");
    }
}

void Baseline_PlainWriteBmpBytes(benchmark::State& state)
{
    plainWrite(state, false);
}
void Baseline_PlainWriteBmpBytesFsync(benchmark::State& state)
{
    plainWrite(state, true);
}

void AviFrame8_640x480(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        QImage frame;
        if (!GetAviFrame(f.aviPath, 8, &frame))
            state.SkipWithError("no frame");
        benchmark::DoNotOptimize(frame);
    }
}

} // namespace

BENCHMARK(JpgPageRefresh_OneRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(JpgPageRefresh_Warm)->Unit(benchmark::kMillisecond);
BENCHMARK(Baseline_ListAndFullDecodeFive)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveJpegQ90)->Unit(benchmark::kMillisecond);
BENCHMARK(Baseline_BareTjCompress2Q90)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(Baseline_PlainWriteBmpBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(Baseline_PlainWriteBmpBytesFsync)->Unit(benchmark::kMillisecond);
BENCHMARK(AviFrame8_640x480)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    orvix::initMedia(&argc, &argv);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
