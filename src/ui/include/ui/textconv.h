// The one crossing between Qt's strings and the core's UTF-16 strings.
#pragma once

#include <string>
#include <string_view>

#include <QString>

// A view of the QString's own storage; valid while the QString lives unchanged.
inline std::u16string_view ToCore(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}

inline QString ToQt(const std::u16string &text)
{
    return QString::fromStdU16String(text);
}
