#pragma once
// The video compressors a recording can use: the installed GStreamer video encoders whose
// output the AVI multiplexer takes, in a stable order. Position n of the list is compressor
// index n + 1; index 0 is "No Compressor" (raw video). The list is enumerated afresh on every
// call, so an index names whatever sits at its position now.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace orvix {

struct CompressorInfo {
    QString factory;      // GStreamer element factory
    QString friendlyName; // the factory's long name
};

class CompressorCatalog {
public:
    static QString noCompressorName() { return QStringLiteral("No Compressor"); }

    // Every usable encoder, ordered by factory name.
    static std::vector<CompressorInfo> enumerate();

    // Names never offered in the compressor dialog, in the order they are tested
    // (case-sensitive substrings).
    static const QStringList& excludedTexts();
    static bool isExcluded(const QString& friendlyName);

    // The compressor of an index in a fresh enumeration; nothing for index 0 or below, or
    // for a position that no longer exists.
    static std::optional<CompressorInfo> find(int index);
};

// State of the compressor dialog without its widgets: the entries offered, the entry a user
// chose, and whether anything was chosen since the list was filled.
class CompressorChoice {
public:
    struct Entry {
        QString name;
        int index; // compressor index this entry stands for
    };

    // Fills the entries from an enumeration: "No Compressor" first, then every compressor
    // with a non-empty name that is not excluded. Clears the changed flag.
    void fill(const std::vector<CompressorInfo>& enumeration);
    const std::vector<Entry>& entries() const { return m_entries; }
    // The entry carrying the name chosen last (during this run), or -1.
    int rememberedEntry() const;

    // A user picked entry k.
    void choose(int entry);
    bool changed() const { return m_changed; }
    int chosenIndex() const { return m_chosen; }
    // What OK hands back: the chosen index, only when something was chosen.
    std::optional<int> okResult() const;

    // The name chosen last, kept for the life of the program.
    static QString rememberedName();
    static void forgetRememberedName();

private:
    std::vector<Entry> m_entries;
    bool m_changed = false;
    int m_chosen = 0;
};

} // namespace orvix
