// The shipped language files: the same keys everywhere, every visible text translated.

#include "TestSupport.h"
#include "text/LangFile.h"
#include "text/LanguageTable.h"
#include "text/TextRecords.h"

#include <QDir>
#include <QSet>
#include <gtest/gtest.h>

using orvix::LangFile;

namespace {
LangFile loadShipped(const QString& name)
{
    return LangFile::load(QDir(orvix::test::programDir()).filePath("Lang/" + name + ".ini"), name);
}

bool isSeparatorKey(const QString& key)
{
    return key.contains(QLatin1String("Dash")) || key.contains(QLatin1String("TabDiv"));
}
} // namespace

TEST(LanguageFiles, AllTenHoldExactlyTheEnglishKeys)
{
    const LangFile english = loadShipped("English");
    ASSERT_TRUE(english.ok()) << english.statusText().toStdString();
    const QStringList englishKeys = english.keys();
    const QSet<QString> keySet(englishKeys.begin(), englishKeys.end());
    EXPECT_EQ(keySet.size(), englishKeys.size()) << "duplicate keys in English.ini";
    // Every text record key is in the English file.
    for (const QString& k : orvix::texts().allKeys())
        EXPECT_TRUE(english.contains(k)) << k.toStdString();

    for (const QString& lang : orvix::LanguageTable::names()) {
        const LangFile f = loadShipped(lang);
        ASSERT_TRUE(f.ok()) << lang.toStdString() << ": " << f.statusText().toStdString();
        EXPECT_EQ(f.keys(), englishKeys) << lang.toStdString();
    }
}

TEST(LanguageFiles, VisibleTextsAreTranslatedAndSeparatorsStaySeparators)
{
    const LangFile english = loadShipped("English");
    // Texts that are the same in every language: numbers, units, names, and a few words
    // that a language shares with English.
    const QSet<QString> shared = {"1X",     "OK",      "English",   "DejaVu Sans", "0",
                                  "Pause",  "Ellipse", "Text",      "Horizontal",  "Vertical",
                                  "Radius", "Error",   "Rectangle", "Attention",   "Options"};
    for (const QString& lang : orvix::LanguageTable::names()) {
        if (lang == QLatin1String("English"))
            continue;
        const LangFile f = loadShipped(lang);
        ASSERT_TRUE(f.ok());
        int same = 0;
        for (const QString& key : english.keys()) {
            const QString en = english.value(key);
            const QString tr = f.value(key);
            if (isSeparatorKey(key) && en == QLatin1String("-")) {
                EXPECT_EQ(tr, QStringLiteral("-"))
                    << lang.toStdString() << " " << key.toStdString();
                continue;
            }
            if (en.isEmpty()) {
                EXPECT_TRUE(tr.isEmpty()) << lang.toStdString() << " " << key.toStdString();
                continue;
            }
            EXPECT_FALSE(tr.isEmpty()) << lang.toStdString() << " " << key.toStdString();
            // Language names are written in their own language in every file.
            if (key.startsWith(QLatin1String("Lang_")))
                continue;
            if (tr == en && !shared.contains(en) && !en.contains(QChar(0x00D7)))
                ++same;
        }
        EXPECT_EQ(same, 0) << lang.toStdString() << " has untranslated texts";
    }
}
