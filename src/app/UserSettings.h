#pragma once
// The per-user data tree and the settings file UserSysInfo.ini that remembers the three
// folders, the language, auto-save and the user the settings belong to.

#include "library/MediaList.h"

#include <QString>

#include <memory>

namespace orvix {

struct TDefaultData {
    bool Init = false;
    QString BmpPath;
    QString JpgPath;
    QString AviPath;
    QString Language;
    QString User;
    bool Mark = false;
    bool AutoSave = false;
};

class UserSettings {
public:
    // profileFolder: the user profile (USERPROFILE, else HOME).
    explicit UserSettings(const QString& profileFolder);
    ~UserSettings();
    UserSettings(const UserSettings&) = delete;
    UserSettings& operator=(const UserSettings&) = delete;

    static QString userProfileFolder();

    // Creates the data tree (failures are left for the saves to report) and sets the default
    // and current folders.
    void createFolders();
    // Reads the settings file, or creates it on the first start; folds in a settings file
    // copied from another user. The language is decided afterwards by the caller.
    void load();
    // Writes all eight values at once.
    bool SysInfoUserSet();
    // Writes one value to the file at once.
    bool writeValue(const QString& section, const QString& key, const QString& value);
    static QString boolText(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

    QString folder(ListKind kind) const;
    void setFolder(ListKind kind, const QString& path);
    QString defaultFolder(ListKind kind) const;
    void restoreDefaultFolders();

    QString profile() const { return m_profile; }
    QString DataRoot; // ends with "/"
    QString settingsPath() const { return DataRoot + QStringLiteral("UserSysInfo.ini"); }
    QString DefaultBmpPath, DefaultJpgPath, DefaultAviPath;
    QString CurrentBmpPath, CurrentJpgPath, CurrentAviPath;
    QString CurrentLanguage;
    TDefaultData DefaultData;
    bool fileExisted() const { return m_existed; }
    // Text of the last write failure (empty when the last write worked).
    QString lastError() const { return m_lastError; }

    // Settings files larger than this are treated as damaged.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

private:
    struct Doc;
    bool readDocument();
    bool saveDocument();
    QString readText(const char* section, const char* key, const QString& def) const;
    bool readBool(const char* section, const char* key, bool def) const;

    QString m_profile;
    std::unique_ptr<Doc> m_doc;
    bool m_existed = false;
    QString m_lastError;
};

} // namespace orvix
