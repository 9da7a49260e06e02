#include "library/SaveNaming.h"

#include <QFileInfo>

namespace orvix {

QString longTimeStamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyyMMddHHmmss"));
}

QString shortTimeStamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyMMddHHmmss"));
}

QString bmpBaseName(const QDateTime& when)
{
    return QStringLiteral("Bmp_") + longTimeStamp(when);
}

QString jpgBaseName(const QDateTime& when)
{
    return QStringLiteral("Jpg_") + longTimeStamp(when);
}

QString measurementBaseName(int32_t vertical, int32_t horizontal, const QDateTime& when)
{
    return QStringLiteral("v%1h%2_%3").arg(vertical).arg(horizontal).arg(shortTimeStamp(when));
}

SavePlan planSave(const SaveRequest& r)
{
    SavePlan plan;
    const QString bmpName = r.measurement
                                ? measurementBaseName(r.rulerVertical, r.rulerHorizontal, r.when)
                                : bmpBaseName(r.when);
    const QString jpgName = r.measurement
                                ? measurementBaseName(r.rulerVertical, r.rulerHorizontal, r.when)
                                : jpgBaseName(r.when);
    plan.redirectBmpPath = r.bmpFolder + QLatin1Char('/') + bmpName + QStringLiteral(".bmp");
    plan.redirectJpgPath = r.jpgFolder + QLatin1Char('/') + jpgName + QStringLiteral(".jpg");

    if (r.activeTab == 0) {
        plan.filterIndex = 1;
        plan.dialogFolder = r.bmpFolder;
        plan.suggestedName = bmpName;
        plan.automaticPath =
            r.bmpFolder + QStringLiteral("/") + bmpBaseName(r.when) + QStringLiteral(".bmp");
    } else {
        plan.filterIndex = 2;
        plan.dialogFolder = r.jpgFolder;
        plan.suggestedName = jpgName;
        plan.automaticPath =
            r.jpgFolder + QStringLiteral("/") + jpgBaseName(r.when) + QStringLiteral(".jpg");
        plan.switchToJpgTab = !r.measurement && r.activeTab == 2;
    }
    return plan;
}

SaveTarget decideDialogSave(const QString& chosenPath, const SavePlan& plan)
{
    const QString suffix = QFileInfo(chosenPath).suffix();
    const QString ext = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix.toUpper();
    if (ext == QLatin1String(".JPG")) {
        if (chosenPath.contains(QLatin1String("DATA/Image/Bmp"), Qt::CaseSensitive))
            return {SaveFormat::Jpeg, plan.redirectJpgPath, true};
        return {SaveFormat::Jpeg, chosenPath, false};
    }
    if (ext == QLatin1String(".BMP")) {
        if (chosenPath.contains(QLatin1String("DATA/Image/Jpg"), Qt::CaseSensitive))
            return {SaveFormat::Bmp, plan.redirectBmpPath, true};
        return {SaveFormat::Bmp, chosenPath, false};
    }
    return {};
}

SaveTarget automaticSave(const SavePlan& plan)
{
    return {plan.filterIndex == 1 ? SaveFormat::Bmp : SaveFormat::Jpeg, plan.automaticPath, false};
}

int listKindOf(SaveFormat format)
{
    switch (format) {
    case SaveFormat::Bmp:
        return 0;
    case SaveFormat::Jpeg:
        return 1;
    case SaveFormat::None:
        break;
    }
    return -1;
}

} // namespace orvix
