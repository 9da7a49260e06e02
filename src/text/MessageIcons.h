#pragma once

#include <QPixmap>

namespace orvix {

// The message box's 32 x 32 transparent icon for an icon code: 0 question, 1 attention,
// 2 error, 3 information. Any other code gives a null pixmap (no icon shown).
QPixmap messageBoxIcon(int code);

// The same icon for a high-density screen: 32 x 32 logical pixels at the given ratio.
QPixmap messageBoxIcon(int code, qreal devicePixelRatio);

} // namespace orvix
