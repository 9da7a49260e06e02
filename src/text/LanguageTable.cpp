#include "text/LanguageTable.h"

#include <QByteArray>

#include <array>

namespace orvix {

namespace {
constexpr std::array<LanguageEntry, 10> kLanguages{{
    {"English", "Lang_English", "English", "0409"},
    {"ChineseTraditional", "Lang_ChineseTradition", "Chinese Tradition", "0404"},
    {"ChineseSimplified", "Lang_ChineseSimplified", "Chinese Simplified", "0804"},
    {"Japanese", "Lang_Japanese", "Japanese", "0411"},
    {"German", "Lang_German", "German", "0407"},
    {"Russian", "Lang_Russian", "Russian", "0419"},
    {"Korean", "Lang_Korean", "kroean", "0412"},
    {"Polish", "Lang_Polish", "Polish", "0415"},
    {"Spanish", "Lang_Spanish", "Spanish", "0c0a"},
    {"French", "Lang_French", "French", "040c"},
}};

// Primary-language ids of common locales outside the table, so that they map to a real id
// (and so to English) rather than to nothing.
struct LocaleId {
    const char* lang;
    const char* id;
};
constexpr std::array<LocaleId, 24> kOtherLocales{{
    {"it", "0410"}, {"pt", "0816"}, {"nl", "0413"}, {"sv", "041d"}, {"da", "0406"}, {"fi", "040b"},
    {"nb", "0414"}, {"no", "0414"}, {"cs", "0405"}, {"sk", "041b"}, {"hu", "040e"}, {"ro", "0418"},
    {"tr", "041f"}, {"el", "0408"}, {"he", "040d"}, {"ar", "0401"}, {"th", "041e"}, {"uk", "0422"},
    {"bg", "0402"}, {"hr", "041a"}, {"sl", "0424"}, {"vi", "042a"}, {"id", "0421"}, {"hi", "0439"},
}};
} // namespace

const LanguageEntry* LanguageTable::entries(int* count)
{
    *count = int(kLanguages.size());
    return kLanguages.data();
}

QStringList LanguageTable::names()
{
    QStringList out;
    for (const auto& e : kLanguages)
        out << QString::fromLatin1(e.name);
    return out;
}

const LanguageEntry* LanguageTable::byName(const QString& name)
{
    for (const auto& e : kLanguages)
        if (name == QLatin1String(e.name))
            return &e;
    return nullptr;
}

bool LanguageTable::exists(const QString& name, const std::function<bool(const QString&)>& offered)
{
    return byName(name) != nullptr && (!offered || offered(name));
}

QString LanguageTable::forLanguageId(const QString& id,
                                     const std::function<bool(const QString&)>& offered)
{
    for (const auto& e : kLanguages) {
        const QString want = QString::fromLatin1(e.languageId);
        // The two ids with letters are compared without regard to case.
        const bool hasLetters = want == QLatin1String("0c0a") || want == QLatin1String("040c");
        const bool match = hasLetters ? id.toLower() == want : id == want;
        if (match && (!offered || offered(QString::fromLatin1(e.name))))
            return QString::fromLatin1(e.name);
    }
    return QStringLiteral("English");
}

QString LanguageTable::languageIdForLocale(const QString& locale)
{
    QString base = locale.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    const QString lang = base.section(QLatin1Char('_'), 0, 0).toLower();
    const QString territory = base.section(QLatin1Char('_'), 1, 1).toUpper();
    if (lang.isEmpty() || lang == QLatin1String("c") || lang == QLatin1String("posix"))
        return QStringLiteral("0409");
    if (lang == QLatin1String("zh")) {
        if (territory == QLatin1String("TW") || territory == QLatin1String("HK") ||
            territory == QLatin1String("MO"))
            return QStringLiteral("0404");
        return QStringLiteral("0804");
    }
    if (lang == QLatin1String("en"))
        return QStringLiteral("0409");
    if (lang == QLatin1String("ja"))
        return QStringLiteral("0411");
    if (lang == QLatin1String("de"))
        return QStringLiteral("0407");
    if (lang == QLatin1String("ru"))
        return QStringLiteral("0419");
    if (lang == QLatin1String("ko"))
        return QStringLiteral("0412");
    if (lang == QLatin1String("pl"))
        return QStringLiteral("0415");
    if (lang == QLatin1String("es"))
        return QStringLiteral("0c0a");
    if (lang == QLatin1String("fr"))
        return QStringLiteral("040c");
    for (const auto& o : kOtherLocales)
        if (lang == QLatin1String(o.lang))
            return QString::fromLatin1(o.id);
    return QStringLiteral("0409");
}

QString LanguageTable::systemLocaleName()
{
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray v = qgetenv(var);
        if (!v.isEmpty())
            return QString::fromLocal8Bit(v);
    }
    return QStringLiteral("C");
}

} // namespace orvix
