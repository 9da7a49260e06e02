#include "text/ButtonImages.h"

#include <QDir>
#include <QImageReader>
#include <QSet>

#include <cstdio>

namespace orvix {

QPixmap ButtonImages::loadPicture(const QString& programDir, const QString& relPath)
{
    const QString path = QDir(programDir).filePath(relPath);
    QImageReader reader(path);
    const QImage img = reader.read();
    if (img.isNull()) {
        static QSet<QString> reported;
        if (!reported.contains(path)) {
            reported.insert(path);
            std::fprintf(stderr, "orvix5-cam-viewer: cannot load picture %s: %s\n",
                         qPrintable(path), qPrintable(reader.errorString()));
        }
        return {};
    }
    return QPixmap::fromImage(img);
}

QPixmap ButtonImages::loadButton(const QString& programDir, const QString& fileName)
{
    return loadPicture(programDir, QLatin1String(kMainButtonFolder) + fileName);
}

} // namespace orvix
