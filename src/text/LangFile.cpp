#include "text/LangFile.h"

#include <QFile>
#include <QStringDecoder>

#include <SimpleIni.h>

namespace orvix {

bool LangFile::decode(const QByteArray& bytes, QString* text)
{
    QByteArray body = bytes;
    QStringDecoder::Encoding enc = QStringDecoder::Utf8;
    if (body.startsWith("\xFF\xFE")) {
        enc = QStringDecoder::Utf16LE;
        body.remove(0, 2);
    } else if (body.startsWith("\xFE\xFF")) {
        enc = QStringDecoder::Utf16BE;
        body.remove(0, 2);
    } else if (body.startsWith("\xEF\xBB\xBF")) {
        body.remove(0, 3);
    }
    if (enc != QStringDecoder::Utf8 && body.size() % 2 != 0)
        return false; // a UTF-16 file cut in the middle of a character
    QStringDecoder decoder(enc, QStringDecoder::Flag::Stateless);
    QString out = decoder.decode(body);
    if (decoder.hasError())
        return false;
    if (out.contains(QChar(0)))
        return false;
    *text = out;
    return true;
}

LangFile LangFile::load(const QString& path, const QString& section)
{
    LangFile f;
    QFile file(path);
    if (!file.exists()) {
        f.m_status = Status::Missing;
        return f;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        f.m_status = Status::Unreadable;
        return f;
    }
    if (file.size() > kMaxFileSize) {
        f.m_status = Status::TooLarge;
        return f;
    }
    return fromBytes(file.readAll(), section);
}

LangFile LangFile::fromBytes(const QByteArray& bytes, const QString& section)
{
    LangFile f;
    QString text;
    if (!decode(bytes, &text)) {
        f.m_status = Status::BadEncoding;
        return f;
    }
    const QByteArray utf8 = text.toUtf8();
    CSimpleIniCaseA ini(true, false, false);
    if (ini.LoadData(utf8.constData(), size_t(utf8.size())) < 0) {
        f.m_status = Status::BadEncoding;
        return f;
    }
    const QByteArray sec = section.toUtf8();
    CSimpleIniCaseA::TNamesDepend keys;
    if (!ini.GetAllKeys(sec.constData(), keys)) {
        f.m_status = Status::NoSection;
        return f;
    }
    keys.sort(CSimpleIniCaseA::Entry::LoadOrder());
    for (const auto& k : keys) {
        const QString key = QString::fromUtf8(k.pItem);
        QString value = QString::fromUtf8(ini.GetValue(sec.constData(), k.pItem, ""));
        if (value.size() > kMaxValueLength)
            value.truncate(kMaxValueLength);
        const QString lower = key.toLower();
        if (!f.m_values.contains(lower))
            f.m_order << key;
        f.m_values.insert(lower, value);
    }
    bool numeric = false;
    const int charset = f.value(QStringLiteral("Font->Charset")).trimmed().toInt(&numeric, 10);
    if (!numeric) {
        f.m_status = Status::BadCharset;
        return f;
    }
    f.m_charset = charset & 0xFF;
    f.m_status = Status::Ok;
    return f;
}

QString LangFile::value(const QString& key) const
{
    return m_values.value(key.toLower());
}

bool LangFile::contains(const QString& key) const
{
    return m_values.contains(key.toLower());
}

QString LangFile::statusText() const
{
    switch (m_status) {
    case Status::Ok:
        return QStringLiteral("ok");
    case Status::Missing:
        return QStringLiteral("the file does not exist");
    case Status::Unreadable:
        return QStringLiteral("the file cannot be read");
    case Status::TooLarge:
        return QStringLiteral("the file is too large");
    case Status::BadEncoding:
        return QStringLiteral("the file is not valid UTF-8 or UTF-16 text");
    case Status::NoSection:
        return QStringLiteral("the file has no section for its language");
    case Status::BadCharset:
        return QStringLiteral("\"Font->Charset\" is missing or not a number");
    }
    return {};
}

} // namespace orvix
