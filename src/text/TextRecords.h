#pragma once
// The global text records filled from the language file: message texts, dialog texts, button
// hints and labels. Each record keeps its fields in a fixed key order.

#include <QHash>
#include <QString>
#include <QStringList>

namespace orvix {

class LangFile;

class TextRecord {
public:
    explicit TextRecord(QStringList keys) : m_keys(std::move(keys)) {}
    // Clears every field, then reads each key (missing keys read as empty).
    void load(const LangFile& file);
    void clear() { m_values.clear(); }
    QString operator[](const QString& key) const { return m_values.value(key); }
    QString text(const QString& key) const { return m_values.value(key); }
    void set(const QString& key, const QString& value) { m_values.insert(key, value); }
    const QStringList& keys() const { return m_keys; }

private:
    QStringList m_keys;
    QHash<QString, QString> m_values;
};

struct TextRecords {
    TextRecord ButtonHintData;
    TextRecord MessgeBoxData;
    TextRecord AboutDialogData;
    TextRecord CompressDialogData;
    TextRecord LineDialogData;
    TextRecord PathDialogData;
    TextRecord NewScaleNameDialogData;
    TextRecord DialogButtonData;
    TextRecord LabelCaptionData;
    TextRecord RulerScaleDialogData;
    TextRecord ShowDrawInfoDialogData;
    TextRecord CalibrateDialogData;
    TextRecord DeviceControlTBText;

    TextRecords();
    // All records in the order the interface reads them.
    void loadAll(const LangFile& file);
    // Every fixed key of every record.
    QStringList allKeys() const;
};

// The one instance for the run.
TextRecords& texts();

// Shorthands for the message box texts.
inline QString msgText(const QString& key)
{
    return texts().MessgeBoxData[key];
}

} // namespace orvix
