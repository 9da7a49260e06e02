#pragma once
// Button and window pictures of the program folder. A missing or unreadable picture leaves
// its control without a picture and is reported once on standard error; the program runs on.

#include <QPixmap>
#include <QString>

namespace orvix {

class ButtonImages {
public:
    static constexpr const char* kMainButtonFolder = "Bitmap/MainButton/";
    static constexpr const char* kShowMapFolder = "Bitmap/ShowMap/";

    // relPath below programDir, e.g. "Bitmap/ShowMap/AboutMap.bmp".
    static QPixmap loadPicture(const QString& programDir, const QString& relPath);
    // A main-button picture by file name, e.g. "connect.bmp".
    static QPixmap loadButton(const QString& programDir, const QString& fileName);
};

} // namespace orvix
