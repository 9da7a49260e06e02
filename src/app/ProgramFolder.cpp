#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace orvix {

namespace {
QString g_override;
}

QString ProgramFolder::path()
{
    return g_override.isEmpty() ? QCoreApplication::applicationDirPath() : g_override;
}

void ProgramFolder::setPath(const QString& folder)
{
    g_override = folder;
}

QString ProgramFolder::cwdResource(const QString& relPath)
{
    const QString here = QDir::current().absoluteFilePath(relPath);
    if (QFileInfo::exists(here))
        return here;
    return relPath;
}

} // namespace orvix
