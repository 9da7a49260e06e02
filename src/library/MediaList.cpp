#include "library/MediaList.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace orvix {

QStringList listExtensions(ListKind kind)
{
    switch (kind) {
    case ListKind::Bmp:
        return {QStringLiteral("bmp")};
    case ListKind::Jpg:
        return {QStringLiteral("jpg"), QStringLiteral("jpeg")};
    case ListKind::Avi:
        return {QStringLiteral("avi")};
    }
    return {};
}

QStringList findMediaFiles(const QString& folder, ListKind kind)
{
    QStringList files;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return files;
    QStringList filters;
    for (const QString& ext : listExtensions(kind))
        filters << QStringLiteral("*.") + ext;
    // Files and hidden files; no folders and, without QDir::System, no sockets, pipes, devices
    // or dangling links. Links to regular files count as files.
    QDirIterator it(folder, filters, QDir::Files | QDir::Hidden);
    QString prefix = QDir::cleanPath(folder);
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    while (it.hasNext()) {
        it.next();
        files << prefix + it.fileName();
    }
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b; // a stable order for names that differ only in case
    });
    return files;
}

MediaList::MediaList(ListKind kind, QString folder) : m_kind(kind), m_folder(std::move(folder)) {}

void MediaList::setPendingNewFile(const QString& path)
{
    m_pending = true;
    m_pendingPath = path;
}

const FileListDate& MediaList::refresh()
{
    const QStringList files = findMediaFiles(m_folder, m_kind);
    m_count = int(files.size());
    if (m_pending) {
        // The listing holds cleaned paths; the saved path may carry ".." or "//".
        const QString wanted = QDir::cleanPath(m_pendingPath);
        m_state.pendingIndex = int(files.indexOf(wanted));
        m_state.currentPage = m_state.pendingIndex / kSlotsPerPage;
        m_pending = false;
    }
    m_state.lastPage = (m_count - 1) / kSlotsPerPage;
    m_state.lastSlot = (m_count - 1) % kSlotsPerPage;
    if (m_state.currentPage > m_state.lastPage)
        m_state.currentPage = m_state.lastPage;
    if (m_state.currentPage < 0)
        m_state.currentPage = 0;
    for (int n = 0; n < kSlotsPerPage; ++n) {
        const int p = m_state.currentPage * kSlotsPerPage + n;
        m_state.slotPaths[n] = p < m_count ? files[p] : QString();
    }
    return m_state;
}

bool MediaList::nextPage()
{
    if (m_state.currentPage >= m_state.lastPage)
        return false;
    ++m_state.currentPage;
    refresh();
    return true;
}

bool MediaList::previousPage()
{
    if (m_state.currentPage <= 0)
        return false;
    --m_state.currentPage;
    refresh();
    return true;
}

QString MediaList::counterText() const
{
    return QString::asprintf("%3.3d/%3.3d", m_state.currentPage + 1, m_state.lastPage + 1);
}

} // namespace orvix
