#include "text/LangFile.h"
#include "text/LanguageTable.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using orvix::LangFile;
using orvix::LanguageTable;

namespace {
QByteArray utf16le(const QString& s, bool bom = true)
{
    QByteArray out;
    if (bom)
        out.append("\xFF\xFE", 2);
    for (QChar c : s) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}
} // namespace

TEST(LangFile, ReadsUtf8AndUtf16WithTheSameResult)
{
    const QString text = QStringLiteral("[German]\nFont->Charset=0\nFont->Name=DejaVu Sans\n"
                                        "Exit->Caption=Beenden\nAbout->Caption=Über\n");
    const LangFile a = LangFile::fromBytes(text.toUtf8(), QStringLiteral("German"));
    const LangFile b = LangFile::fromBytes(utf16le(text), QStringLiteral("German"));
    const LangFile c =
        LangFile::fromBytes("\xEF\xBB\xBF" + text.toUtf8(), QStringLiteral("German"));
    for (const LangFile* f : {&a, &b, &c}) {
        ASSERT_TRUE(f->ok()) << f->statusText().toStdString();
        EXPECT_EQ(f->value(QStringLiteral("About->Caption")), QStringLiteral("Über"));
        EXPECT_EQ(f->value(QStringLiteral("exit->caption")), QStringLiteral("Beenden"));
        EXPECT_EQ(f->fontName(), QStringLiteral("DejaVu Sans"));
        EXPECT_EQ(f->value(QStringLiteral("Missing->Caption")), QString());
    }
}

TEST(LangFile, KeepsAtMost2047CharactersAndTheLowByteOfTheCharset)
{
    const QString longText(5000, QLatin1Char('x'));
    const QByteArray data =
        ("[English]\nFont->Charset=460\nLong->Hint=" + longText + "\n").toUtf8();
    const LangFile f = LangFile::fromBytes(data, QStringLiteral("English"));
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(f.value(QStringLiteral("Long->Hint")).size(), 2047);
    EXPECT_EQ(f.charset(), 460 & 0xFF);
}

TEST(LangFile, RejectsDamagedFilesAsAWhole)
{
    // Each of these must be refused before anything is taken from it.
    struct Case {
        QByteArray bytes;
        LangFile::Status expect;
    };
    const QByteArray good = "[English]\nFont->Charset=0\nExit->Caption=Exit\n";
    QByteArray truncated16 = utf16le(QString::fromUtf8(good));
    truncated16.chop(1);
    const Case cases[] = {
        {"[English]\nFont->Name=X\n", LangFile::Status::BadCharset},
        {"[English]\nFont->Charset=\n", LangFile::Status::BadCharset},
        {"[English]\nFont->Charset=abc\n", LangFile::Status::BadCharset},
        {"[German]\nFont->Charset=0\n", LangFile::Status::NoSection},
        {"[English]\nFont->Charset=0\nA=\xC3\x28\n", LangFile::Status::BadEncoding},
        {truncated16, LangFile::Status::BadEncoding},
        {QByteArray("\x00\x01\x02\x03", 4), LangFile::Status::BadEncoding},
    };
    for (const Case& c : cases) {
        const LangFile f = LangFile::fromBytes(c.bytes, QStringLiteral("English"));
        EXPECT_EQ(int(f.status()), int(c.expect)) << c.bytes.toStdString();
        EXPECT_FALSE(f.ok());
    }
    EXPECT_EQ(
        int(LangFile::load(QStringLiteral("/nonexistent/x.ini"), QStringLiteral("x")).status()),
        int(LangFile::Status::Missing));
}

TEST(LanguageTable, MapsLocalesAndLanguageIds)
{
    auto all = [](const QString&) { return true; };
    EXPECT_EQ(LanguageTable::forLanguageId(QStringLiteral("0C0A"), all), QStringLiteral("Spanish"));
    EXPECT_EQ(LanguageTable::forLanguageId(QStringLiteral("0c0a"), all), QStringLiteral("Spanish"));
    EXPECT_EQ(LanguageTable::forLanguageId(QStringLiteral("0C07"), all), QStringLiteral("English"));
    EXPECT_EQ(LanguageTable::forLanguageId(QStringLiteral("040C"), all), QStringLiteral("French"));
    // A language whose menu item is not offered falls back to English.
    EXPECT_EQ(LanguageTable::forLanguageId(QStringLiteral("0407"),
                                           [](const QString& n) { return n != "German"; }),
              QStringLiteral("English"));

    struct {
        const char* locale;
        const char* language;
    } cases[] = {{"de_DE.UTF-8", "German"},
                 {"de_AT", "German"},
                 {"es_ES.UTF-8", "Spanish"},
                 {"es_MX", "Spanish"},
                 {"zh_TW.UTF-8", "ChineseTraditional"},
                 {"zh_HK", "ChineseTraditional"},
                 {"zh_CN.UTF-8", "ChineseSimplified"},
                 {"zh_SG", "ChineseSimplified"},
                 {"ja_JP.UTF-8", "Japanese"},
                 {"ko_KR.UTF-8", "Korean"},
                 {"ru_RU.UTF-8", "Russian"},
                 {"pl_PL.UTF-8", "Polish"},
                 {"fr_CA.UTF-8", "French"},
                 {"it_IT.UTF-8", "English"},
                 {"C", "English"},
                 {"POSIX", "English"},
                 {"en_GB.UTF-8@euro", "English"},
                 {"", "English"}};
    for (const auto& c : cases) {
        const QString id = LanguageTable::languageIdForLocale(QString::fromLatin1(c.locale));
        EXPECT_EQ(LanguageTable::forLanguageId(id, all), QString::fromLatin1(c.language))
            << c.locale;
    }
}
