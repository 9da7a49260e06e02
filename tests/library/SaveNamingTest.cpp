#include "library/SaveNaming.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace orvix;

namespace {

const QDateTime kWhen(QDate(2024, 3, 5), QTime(7, 8, 9));
const QString kRoot = QStringLiteral("/home/ann/Korvane Technology/Orvix5-CAM/");

SaveRequest request(int tab, bool measurement = false)
{
    SaveRequest r;
    r.activeTab = tab;
    r.measurement = measurement;
    r.rulerVertical = 95;
    r.rulerHorizontal = 120;
    r.bmpFolder = kRoot + "DATA/Image/Bmp";
    r.jpgFolder = "/media/stick/jpegs";
    r.when = kWhen;
    return r;
}

} // namespace

TEST(SaveNaming, TimeStampsAndNames)
{
    EXPECT_EQ(longTimeStamp(kWhen), "20240305070809");
    EXPECT_EQ(shortTimeStamp(kWhen), "240305070809");
    EXPECT_EQ(longTimeStamp(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58))), "19991231235958");
    EXPECT_EQ(bmpBaseName(kWhen), "Bmp_20240305070809");
    EXPECT_EQ(jpgBaseName(kWhen), "Jpg_20240305070809");
    const QString m = measurementBaseName(95, 120, kWhen);
    EXPECT_TRUE(QRegularExpression("^v95h120_\\d{12}$").match(m).hasMatch()) << m.toStdString();
    EXPECT_EQ(measurementBaseName(-3, 0, kWhen), "v-3h0_240305070809");
}

TEST(SaveNaming, PlanFollowsTheActiveTab)
{
    const SavePlan bmp = planSave(request(0));
    EXPECT_EQ(bmp.filterIndex, 1);
    EXPECT_EQ(bmp.dialogFolder, kRoot + "DATA/Image/Bmp");
    EXPECT_EQ(bmp.suggestedName, "Bmp_20240305070809");
    EXPECT_EQ(bmp.automaticPath, kRoot + "DATA/Image/Bmp/Bmp_20240305070809.bmp");
    EXPECT_FALSE(bmp.switchToJpgTab);

    for (int tab : {1, 2}) {
        const SavePlan jpg = planSave(request(tab));
        EXPECT_EQ(jpg.filterIndex, 2);
        EXPECT_EQ(jpg.dialogFolder, "/media/stick/jpegs");
        EXPECT_EQ(jpg.suggestedName, "Jpg_20240305070809");
        EXPECT_EQ(jpg.automaticPath, "/media/stick/jpegs/Jpg_20240305070809.jpg");
        EXPECT_EQ(jpg.switchToJpgTab, tab == 2);
    }
    // An automatic save with the AVI tab active writes a JPEG after showing the JPG tab.
    const SaveTarget automatic = automaticSave(planSave(request(2)));
    EXPECT_EQ(automatic.format, SaveFormat::Jpeg);
    EXPECT_EQ(automaticSave(planSave(request(0))).format, SaveFormat::Bmp);
}

TEST(SaveNaming, MeasurementPictureUsesRulerValues)
{
    const SavePlan plan = planSave(request(2, true));
    EXPECT_EQ(plan.suggestedName, "v95h120_240305070809");
    EXPECT_EQ(plan.redirectJpgPath, "/media/stick/jpegs/v95h120_240305070809.jpg");
    EXPECT_EQ(plan.redirectBmpPath, kRoot + "DATA/Image/Bmp/v95h120_240305070809.bmp");
    EXPECT_FALSE(plan.switchToJpgTab);
}

TEST(SaveNaming, DialogResultDecidesFormatAndRedirects)
{
    const SavePlan plan = planSave(request(0));
    // A ".jpg" name in the BMP tree goes to the JPG folder under a generated name.
    SaveTarget t = decideDialogSave(kRoot + "DATA/Image/Bmp/mine.jpg", plan);
    EXPECT_EQ(t.format, SaveFormat::Jpeg);
    EXPECT_TRUE(t.redirected);
    EXPECT_EQ(t.path, "/media/stick/jpegs/Jpg_20240305070809.jpg");
    EXPECT_EQ(listKindOf(t.format), 1);

    t = decideDialogSave(kRoot + "DATA/Image/Jpg/sub/mine.BMP", plan);
    EXPECT_EQ(t.format, SaveFormat::Bmp);
    EXPECT_EQ(t.path, kRoot + "DATA/Image/Bmp/Bmp_20240305070809.bmp");
    EXPECT_EQ(listKindOf(t.format), 0);

    // Extensions in any case; the containment tests are case-sensitive.
    t = decideDialogSave("/tmp/data/image/bmp/x.JpG", plan);
    EXPECT_EQ(t.format, SaveFormat::Jpeg);
    EXPECT_FALSE(t.redirected);
    EXPECT_EQ(t.path, "/tmp/data/image/bmp/x.JpG");
    t = decideDialogSave(kRoot + "DATA/Image/Bmp/x.bmp", plan);
    EXPECT_EQ(t.format, SaveFormat::Bmp);
    EXPECT_FALSE(t.redirected);

    for (const char* other : {"/tmp/x.png", "/tmp/x.jpeg", "/tmp/x", "/tmp/x.bmp.txt", "/tmp/jpg"})
        EXPECT_FALSE(decideDialogSave(other, plan)) << other;
}
