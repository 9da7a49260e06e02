#include "app/UserSettings.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>

#include <sys/stat.h>

using orvix::UserSettings;

namespace {
// Reads a value back with an INI reader that is not ours.
QString iniValue(const QString& file, const QString& section, const QString& key)
{
    QSettings s(file, QSettings::IniFormat);
    return s.value(section + "/" + key).toString();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

TEST(UserSettings, FirstStartCreatesTheTreeAndTheSettingsFile)
{
    QTemporaryDir home;
    UserSettings s(home.path());
    s.createFolders();
    s.load();
    const QString root = home.path() + "/Korvane Technology/Orvix5-CAM/";
    EXPECT_EQ(s.DataRoot, root);
    for (const char* d : {"DATA", "DATA/Image", "DATA/Image/Bmp", "DATA/Image/Jpg", "DATA/Video",
                          "DATA/Image/Cover"})
        EXPECT_TRUE(QFileInfo(root + d).isDir()) << d;
    const QString ini = root + "UserSysInfo.ini";
    ASSERT_TRUE(QFileInfo(ini).isFile());
    EXPECT_EQ(iniValue(ini, "Initial", "DefData.Init"), "0");
    EXPECT_EQ(iniValue(ini, "ListPath", "DefData.BmpPath"), root + "DATA/Image/Bmp");
    EXPECT_EQ(iniValue(ini, "ListPath", "DefData.JpgPath"), root + "DATA/Image/Jpg");
    EXPECT_EQ(iniValue(ini, "ListPath", "DefData.AviPath"), root + "DATA/Video");
    EXPECT_EQ(iniValue(ini, "User", "DefData.User"), home.path());
    EXPECT_EQ(iniValue(ini, "Setting", "DefData.Mark"), "0");
    EXPECT_EQ(iniValue(ini, "Setting", "DefData.AutoSave"), "0");
    EXPECT_FALSE(s.DefaultData.Init);
}

TEST(UserSettings, ReadsBackStoredValuesWithFallbacks)
{
    QTemporaryDir home;
    const QString chosen = home.path() + "/chosen";
    QDir().mkpath(chosen);
    {
        UserSettings s(home.path());
        s.createFolders();
        s.load();
        s.DefaultData.Init = true;
        s.DefaultData.AutoSave = true;
        s.CurrentBmpPath = chosen;
        s.CurrentJpgPath = home.path() + "/gone"; // does not exist at the next start
        s.CurrentLanguage = "German";
        ASSERT_TRUE(s.SysInfoUserSet());
    }
    UserSettings s(home.path());
    s.createFolders();
    s.load();
    EXPECT_TRUE(s.DefaultData.Init);
    EXPECT_TRUE(s.DefaultData.AutoSave);
    EXPECT_EQ(s.CurrentBmpPath, chosen);
    EXPECT_EQ(s.CurrentJpgPath, s.DefaultJpgPath);
    EXPECT_EQ(s.DefaultData.Language, "German");
    // Booleans: any integer other than 0 is true.
    ASSERT_TRUE(s.writeValue("Setting", "DefData.AutoSave", "7"));
    ASSERT_TRUE(s.writeValue("Setting", "DefData.Mark", "yes"));
    UserSettings again(home.path());
    again.createFolders();
    again.load();
    EXPECT_TRUE(again.DefaultData.AutoSave);
    EXPECT_FALSE(again.DefaultData.Mark);
}

TEST(UserSettings, SettingsOfAnotherUserAreNotTakenOver)
{
    QTemporaryDir home;
    {
        UserSettings s(home.path());
        s.createFolders();
        s.load();
        s.DefaultData.Init = true;
        s.DefaultData.User = "/home/someone-else";
        ASSERT_TRUE(s.SysInfoUserSet());
    }
    UserSettings s(home.path());
    s.createFolders();
    s.load();
    EXPECT_FALSE(s.DefaultData.Init);
    EXPECT_EQ(s.DefaultData.User, home.path());
    EXPECT_EQ(iniValue(s.settingsPath(), "User", "DefData.User"), home.path());
    EXPECT_EQ(iniValue(s.settingsPath(), "Initial", "DefData.Init"), "0");
}

TEST(UserSettings, DamagedFilesFallBackToDefaultsAndAreRewrittenCleanly)
{
    const QByteArray binary("\x00\x01\xff\xfe\x80garbage\x00\x00", 15);
    const QByteArray huge(3 * 1024 * 1024, 'x');
    for (const QByteArray& content :
         {QByteArray(), QByteArray("garbage without any structure\n[[[\n==="), binary, huge}) {
        QTemporaryDir home;
        UserSettings first(home.path());
        first.createFolders();
        writeFile(first.settingsPath(), content);
        UserSettings s(home.path());
        s.createFolders();
        s.load();
        EXPECT_FALSE(s.DefaultData.Init);
        EXPECT_EQ(s.CurrentBmpPath, s.DefaultBmpPath);
        s.DefaultData.Init = true;
        ASSERT_TRUE(s.SysInfoUserSet());
        EXPECT_EQ(iniValue(s.settingsPath(), "Initial", "DefData.Init"), "1");
        EXPECT_LT(QFileInfo(s.settingsPath()).size(), 4096);
    }
}

TEST(UserSettings, AFolderThatCannotBeCreatedLeavesTheProgramOnDefaults)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root can write into read-only folders";
    QTemporaryDir home;
    ::chmod(home.path().toLocal8Bit().constData(), 0500);
    UserSettings s(home.path());
    s.createFolders();
    s.load();
    EXPECT_FALSE(s.DefaultData.Init);
    EXPECT_FALSE(s.lastError().isEmpty());
    ::chmod(home.path().toLocal8Bit().constData(), 0700);
}

TEST(UserSettings, AProfileThatIsAFileIsHandled)
{
    QTemporaryDir dir;
    const QString notADir = dir.path() + "/file";
    writeFile(notADir, "x");
    UserSettings s(notADir);
    s.createFolders();
    s.load();
    EXPECT_FALSE(s.DefaultData.Init);
    EXPECT_FALSE(s.SysInfoUserSet());
    EXPECT_FALSE(s.lastError().isEmpty());
}
