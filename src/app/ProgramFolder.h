#pragma once
// Where the program's read-only resources live: the folder of the executable.

#include <QString>

namespace orvix {

class ProgramFolder {
public:
    // The folder of the executable, unless overridden (tests point it at the build tree).
    static QString path();
    static void setPath(const QString& folder);
    // A resource that is looked up in the current folder first, then in the program folder.
    // Returns a path relative to path() or an absolute one.
    static QString cwdResource(const QString& relPath);
};

} // namespace orvix
