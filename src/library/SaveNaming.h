#pragma once
// Names and decisions of the one save operation for stills (Save_ImageFile), as pure
// functions so that the main window only shows the dialog and writes the file.

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace orvix {

// Time stamps of generated names: local date and time, "yyyymmddhhnnss" and "yymmddhhnnss".
QString longTimeStamp(const QDateTime& when);
QString shortTimeStamp(const QDateTime& when);

// "Bmp_" / "Jpg_" + long stamp; the measurement picture "v" + V + "h" + H + "_" + short stamp.
QString bmpBaseName(const QDateTime& when);
QString jpgBaseName(const QDateTime& when);
QString measurementBaseName(int32_t vertical, int32_t horizontal, const QDateTime& when);

enum class SaveFormat { None, Bmp, Jpeg };

struct SaveRequest {
    int activeTab = 0;         // media library tab: 0 BMP, 1 JPG, 2 AVI
    bool measurement = false;  // the measurement picture save
    int32_t rulerVertical = 0; // ruler values for the measurement name
    int32_t rulerHorizontal = 0;
    QString bmpFolder; // current folders, without trailing "/"
    QString jpgFolder;
    QDateTime when; // start of the save
};

struct SavePlan {
    int filterIndex = 1;         // save dialog filter: 1 BMP, 2 JPG
    QString dialogFolder;        // folder the dialog opens in
    QString suggestedName;       // dialog file name, without extension
    QString automaticPath;       // path of an automatic save, with extension
    QString redirectBmpPath;     // where a ".bmp" chosen inside the JPG tree goes
    QString redirectJpgPath;     // where a ".jpg" chosen inside the BMP tree goes
    bool switchToJpgTab = false; // ordinary save from the AVI tab: show and refresh JPG first
};

SavePlan planSave(const SaveRequest& request);

struct SaveTarget {
    SaveFormat format = SaveFormat::None;
    QString path;
    bool redirected = false;
    explicit operator bool() const { return format != SaveFormat::None; }
};

// What a path chosen in the save dialog turns into: ".JPG" (any case) saves a JPEG, redirected
// to the JPG folder under a generated name when the path lies in "DATA/Image/Bmp"; ".BMP" the
// same way round; any other extension saves nothing.
SaveTarget decideDialogSave(const QString& chosenPath, const SavePlan& plan);

// The automatic save of a capture: the plan's automatic path in the format of its filter.
SaveTarget automaticSave(const SavePlan& plan);

// The list kind (0 BMP, 1 JPG) whose pending new file a written target becomes; -1 for none.
int listKindOf(SaveFormat format);

} // namespace orvix
