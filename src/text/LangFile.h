#pragma once
// A language file: one INI section named as the language, UTF-8 or UTF-16 with a byte-order
// mark. The whole file is validated before anything is taken from it, so a damaged file is
// rejected as a whole instead of leaving the interface half translated.

#include <QHash>
#include <QString>
#include <QStringList>

namespace orvix {

class LangFile {
public:
    enum class Status { Ok, Missing, Unreadable, TooLarge, BadEncoding, NoSection, BadCharset };

    // Longest value kept, in UTF-16 code units (the rest is cut off).
    static constexpr int kMaxValueLength = 2047;
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    // Reads and validates path; section is the language name.
    static LangFile load(const QString& path, const QString& section);
    // Parses text already in memory (tests, and files read by load()).
    static LangFile fromBytes(const QByteArray& bytes, const QString& section);

    Status status() const { return m_status; }
    bool ok() const { return m_status == Status::Ok; }
    QString statusText() const;

    // The value of key; a missing key reads as the empty text.
    QString value(const QString& key) const;
    bool contains(const QString& key) const;
    // Keys in file order.
    QStringList keys() const { return m_order; }

    // "Font->Charset" (its low 8 bits) and "Font->Name"; only meaningful when ok().
    int charset() const { return m_charset; }
    QString fontName() const { return value(QStringLiteral("Font->Name")); }

    // Converts a language file's bytes to UTF-8 text: strips a UTF-8 BOM, decodes UTF-16 LE/BE
    // with BOM. Returns false for invalid or truncated text.
    static bool decode(const QByteArray& bytes, QString* text);

private:
    Status m_status = Status::Missing;
    QHash<QString, QString> m_values; // lower-cased key -> value
    QStringList m_order;
    int m_charset = 0;
};

} // namespace orvix
