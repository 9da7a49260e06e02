#pragma once
// The three lists of the media strip (BMP, JPG, AVI): the files of one folder, paged five at a
// time, with the page record of each list and the pending new file that a save or a recording
// leaves for the next refresh.

#include <QString>
#include <QStringList>

#include <array>

namespace orvix {

enum class ListKind { Bmp = 0, Jpg = 1, Avi = 2 };

constexpr int kSlotsPerPage = 5;

// The extensions a list searches for, in search order.
QStringList listExtensions(ListKind kind);

// The regular files (or links to regular files) of folder whose extension belongs to kind,
// compared without regard to case, as full paths sorted case-insensitively. A folder that does
// not exist gives an empty list.
QStringList findMediaFiles(const QString& folder, ListKind kind);

// Page record of one list.
struct FileListDate {
    int lastPage = 0;      // (count - 1) / 5, truncated toward zero
    int lastSlot = 0;      // (count - 1) % 5, truncated toward zero (-1 for an empty list)
    int currentPage = 0;   // page shown, 0-based
    int pendingIndex = -1; // position of the last pending new file in the list, -1 if missing
    std::array<QString, kSlotsPerPage> slotPaths; // empty for an empty slot
};

class MediaList {
public:
    explicit MediaList(ListKind kind, QString folder = {});

    ListKind kind() const { return m_kind; }
    QString folder() const { return m_folder; }
    // A new folder: the next refresh lists it (the page is kept, clamped to the new list).
    void setFolder(const QString& folder) { m_folder = folder; }

    // The file a save or a recording just wrote: the next refresh opens the page holding it.
    void setPendingNewFile(const QString& path);
    bool hasPendingNewFile() const { return m_pending; }
    QString pendingNewFile() const { return m_pendingPath; }

    // FileList: rebuilds the list from disk, applies the pending file, clamps the page and
    // fills the slot paths. Returns the record.
    const FileListDate& refresh();

    // The pager's arrows: move one page when there is one and refresh; false when nothing
    // moved (and nothing was refreshed).
    bool nextPage();
    bool previousPage();

    const FileListDate& state() const { return m_state; }
    int fileCount() const { return m_count; }

    // "%3.3d/%3.3d" of current page + 1 and last page + 1, e.g. "002/012".
    QString counterText() const;

private:
    ListKind m_kind;
    QString m_folder;
    bool m_pending = false;
    QString m_pendingPath;
    int m_count = 0;
    FileListDate m_state;
};

} // namespace orvix
