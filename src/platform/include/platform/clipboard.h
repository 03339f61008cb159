// Plain-text access to the system clipboard.
#pragma once

#include <QString>

namespace platform
{

void SetClipboardText(const QString &text);
// The clipboard's plain text, empty when it holds none.
QString ClipboardText();

} // namespace platform
