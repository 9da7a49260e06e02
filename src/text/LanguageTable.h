#pragma once
// The ten interface languages: name (file, INI section and stored value), menu item, the
// Windows language id that selects it, and the mapping from the POSIX locale to that id.

#include <QString>
#include <QStringList>

#include <functional>

namespace orvix {

struct LanguageEntry {
    const char* name;        // "English", also Lang/English.ini and its section
    const char* menuItem;    // "Lang_English"
    const char* initialText; // design caption of the menu item
    const char* languageId;  // four hex digits, lower case
};

class LanguageTable {
public:
    // In menu order: English first.
    static const LanguageEntry* entries(int* count);
    static QStringList names();
    static const LanguageEntry* byName(const QString& name);

    // True when name is one of the ten (exact comparison) and offered(name) holds.
    static bool exists(const QString& name, const std::function<bool(const QString&)>& offered);

    // The language a Windows language id selects ("0C0A" and "0c0a" both give Spanish); ids
    // not in the table, and languages not offered, give "English".
    static QString forLanguageId(const QString& id,
                                 const std::function<bool(const QString&)>& offered);

    // The Windows language id of a POSIX locale name such as "de_DE.UTF-8" or "zh_TW".
    static QString languageIdForLocale(const QString& locale);
    // The POSIX locale in force: LC_ALL, then LC_MESSAGES, then LANG.
    static QString systemLocaleName();
};

} // namespace orvix
