#include "app/UserSettings.h"

#include "text/LangFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <SimpleIni.h>

#include <cstdio>

namespace orvix {

struct UserSettings::Doc {
    CSimpleIniCaseA ini{true, false, false};
};

UserSettings::UserSettings(const QString& profileFolder)
    : m_profile(profileFolder), m_doc(std::make_unique<Doc>())
{
    QString p = profileFolder;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    DataRoot = p + QStringLiteral("/Korvane Technology/Orvix5-CAM/");
    DefaultBmpPath = DataRoot + QStringLiteral("DATA/Image/Bmp");
    DefaultJpgPath = DataRoot + QStringLiteral("DATA/Image/Jpg");
    DefaultAviPath = DataRoot + QStringLiteral("DATA/Video");
    CurrentBmpPath = DefaultBmpPath;
    CurrentJpgPath = DefaultJpgPath;
    CurrentAviPath = DefaultAviPath;
}

UserSettings::~UserSettings() = default;

QString UserSettings::userProfileFolder()
{
    const QString profile = qEnvironmentVariable("USERPROFILE");
    if (!profile.isEmpty())
        return profile;
    return qEnvironmentVariable("HOME");
}

void UserSettings::createFolders()
{
    const QString company = DataRoot.left(DataRoot.size() - int(strlen("Orvix5-CAM/")));
    for (const QString& d :
         {company, DataRoot, DataRoot + QStringLiteral("DATA"),
          DataRoot + QStringLiteral("DATA/Image"), DataRoot + QStringLiteral("DATA/Image/Bmp"),
          DataRoot + QStringLiteral("DATA/Image/Jpg"), DataRoot + QStringLiteral("DATA/Video"),
          DataRoot + QStringLiteral("DATA/Image/Cover")}) {
        QDir().mkdir(d); // failures show up when something is saved there
    }
    CurrentBmpPath = DefaultBmpPath;
    CurrentJpgPath = DefaultJpgPath;
    CurrentAviPath = DefaultAviPath;
}

bool UserSettings::readDocument()
{
    m_doc->ini.Reset();
    QFile f(settingsPath());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    if (f.size() > kMaxFileSize) {
        std::fprintf(stderr, "orvix5-cam-viewer: %s is too large, using default settings\n",
                     qPrintable(settingsPath()));
        return true;
    }
    QString text;
    if (!LangFile::decode(f.readAll(), &text)) {
        std::fprintf(stderr, "orvix5-cam-viewer: %s is damaged, using default settings\n",
                     qPrintable(settingsPath()));
        return true;
    }
    const QByteArray utf8 = text.toUtf8();
    if (m_doc->ini.LoadData(utf8.constData(), size_t(utf8.size())) < 0)
        m_doc->ini.Reset();
    return true;
}

bool UserSettings::saveDocument()
{
    std::string out;
    if (m_doc->ini.Save(out) < 0) {
        m_lastError = QStringLiteral("cannot format the settings");
        return false;
    }
    QSaveFile f(settingsPath());
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(out.data(), qint64(out.size())) != qint64(out.size()) || !f.commit()) {
        m_lastError = f.errorString();
        std::fprintf(stderr, "orvix5-cam-viewer: cannot write %s: %s\n", qPrintable(settingsPath()),
                     qPrintable(m_lastError));
        return false;
    }
    m_lastError.clear();
    return true;
}

bool UserSettings::writeValue(const QString& section, const QString& key, const QString& value)
{
    m_doc->ini.SetValue(section.toUtf8().constData(), key.toUtf8().constData(),
                        value.toUtf8().constData());
    return saveDocument();
}

QString UserSettings::readText(const char* section, const char* key, const QString& def) const
{
    const char* v = m_doc->ini.GetValue(section, key, nullptr);
    return v ? QString::fromUtf8(v) : def;
}

bool UserSettings::readBool(const char* section, const char* key, bool def) const
{
    const char* v = m_doc->ini.GetValue(section, key, nullptr);
    if (!v)
        return def;
    // Like the profile integer reader: leading digits count, anything else reads as 0.
    QString s = QString::fromUtf8(v).trimmed();
    int i = 0;
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        ++i;
    bool any = false;
    for (; i < s.size() && s[i].isDigit(); ++i)
        if (s[i] != QLatin1Char('0'))
            any = true;
    return any;
}

void UserSettings::load()
{
    DefaultData = TDefaultData{};
    m_existed = QFileInfo(settingsPath()).isFile();
    if (m_existed && readDocument()) {
        DefaultData.Init = readBool("Initial", "DefData.Init", false);
        DefaultData.BmpPath = readText("ListPath", "DefData.BmpPath", DefaultBmpPath);
        DefaultData.JpgPath = readText("ListPath", "DefData.JpgPath", DefaultJpgPath);
        DefaultData.AviPath = readText("ListPath", "DefData.AviPath", DefaultAviPath);
        DefaultData.Language = readText("Language", "DefData.Language", QStringLiteral("English"));
        DefaultData.User = readText("User", "DefData.User", QString());
        DefaultData.Mark = readBool("Setting", "DefData.Mark", false);
        DefaultData.AutoSave = readBool("Setting", "DefData.AutoSave", false);
        auto fallback = [](QString& stored, const QString& def) {
            if (!QFileInfo(stored).isDir())
                stored = def;
        };
        fallback(DefaultData.BmpPath, DefaultBmpPath);
        fallback(DefaultData.JpgPath, DefaultJpgPath);
        fallback(DefaultData.AviPath, DefaultAviPath);
    } else {
        m_doc->ini.Reset();
        DefaultData.Init = false;
        DefaultData.BmpPath = DefaultBmpPath;
        DefaultData.JpgPath = DefaultJpgPath;
        DefaultData.AviPath = DefaultAviPath;
        DefaultData.Language = QStringLiteral("English");
        DefaultData.User = m_profile;
        DefaultData.Mark = false;
        DefaultData.AutoSave = false;
        SysInfoUserSet();
    }
    if (DefaultData.User != m_profile) {
        // Settings copied from another profile: start over for this user.
        DefaultData.Init = false;
        DefaultData.User = m_profile;
        writeValue(QStringLiteral("Initial"), QStringLiteral("DefData.Init"), boolText(false));
        writeValue(QStringLiteral("User"), QStringLiteral("DefData.User"), m_profile);
    }
    if (DefaultData.Init) {
        CurrentBmpPath = DefaultData.BmpPath;
        CurrentJpgPath = DefaultData.JpgPath;
        CurrentAviPath = DefaultData.AviPath;
    }
}

bool UserSettings::SysInfoUserSet()
{
    auto set = [this](const char* s, const char* k, const QString& v) {
        m_doc->ini.SetValue(s, k, v.toUtf8().constData());
    };
    set("Initial", "DefData.Init", boolText(DefaultData.Init));
    set("ListPath", "DefData.BmpPath", CurrentBmpPath);
    set("ListPath", "DefData.JpgPath", CurrentJpgPath);
    set("ListPath", "DefData.AviPath", CurrentAviPath);
    set("Language", "DefData.Language", CurrentLanguage);
    set("User", "DefData.User", DefaultData.User);
    set("Setting", "DefData.Mark", boolText(DefaultData.Mark));
    set("Setting", "DefData.AutoSave", boolText(DefaultData.AutoSave));
    return saveDocument();
}

QString UserSettings::folder(ListKind kind) const
{
    switch (kind) {
    case ListKind::Bmp:
        return CurrentBmpPath;
    case ListKind::Jpg:
        return CurrentJpgPath;
    case ListKind::Avi:
        return CurrentAviPath;
    }
    return {};
}

void UserSettings::setFolder(ListKind kind, const QString& path)
{
    switch (kind) {
    case ListKind::Bmp:
        CurrentBmpPath = path;
        break;
    case ListKind::Jpg:
        CurrentJpgPath = path;
        break;
    case ListKind::Avi:
        CurrentAviPath = path;
        break;
    }
}

QString UserSettings::defaultFolder(ListKind kind) const
{
    switch (kind) {
    case ListKind::Bmp:
        return DefaultBmpPath;
    case ListKind::Jpg:
        return DefaultJpgPath;
    case ListKind::Avi:
        return DefaultAviPath;
    }
    return {};
}

void UserSettings::restoreDefaultFolders()
{
    CurrentBmpPath = DefaultBmpPath;
    CurrentJpgPath = DefaultJpgPath;
    CurrentAviPath = DefaultAviPath;
}

} // namespace orvix
