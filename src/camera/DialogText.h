#pragma once
// Texts of the camera's own dialogs: the language file's text when it has the key, else the
// English text.

#include "text/TextRecords.h"

namespace orvix {

inline QString cameraDialogText(const char* key, const char* english)
{
    const QString t = texts().CompressDialogData[QString::fromLatin1(key)];
    return t.isEmpty() ? QString::fromUtf8(english) : t;
}

} // namespace orvix
