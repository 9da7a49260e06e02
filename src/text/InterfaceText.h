#pragma once
// Applies a language file to a window: every object with a role gets its caption or hint from
// the key built from its name, and the interface font follows the file.

#include <QFont>
#include <QString>

class QObject;
class QWidget;

namespace orvix {

class LangFile;

class InterfaceText {
public:
    // Sets captions and hints of root and all its descendants that carry a role. Each text is
    // cleared first, so a missing key leaves it empty.
    static void applyRoles(QObject* root, const LangFile& file);
    // The key an object reads, or an empty text when it has no role.
    static QString keyFor(const QObject* o);

    // The interface font for a character set and face name: the face when it is installed
    // and covers the script of the character set, otherwise an installed face that does.
    static QFont fontFor(int charset, const QString& faceName, const QFont& base);
};

} // namespace orvix
