// The letter rotation itself, kept branch-free so that the compiler vectorizes it.
#include "rot/rot.h"

#include <cstddef>
#include <cstdint>

std::u16string RotText(std::u16string_view text, int level)
{
    const int shift = ((level % 26) + 26) % 26;
    std::u16string result(text.size(), u'\0');
    const char16_t *in = text.data();
    char16_t *out = result.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint16_t c = in[i];
        // Setting bit 5 folds A-Z onto a-z; nothing else lands in a-z that way.
        const std::uint16_t index = static_cast<std::uint16_t>((c | 0x20u) - u'a');
        const bool isLetter = index < 26u;
        std::uint16_t moved = static_cast<std::uint16_t>(index + shift);
        moved = static_cast<std::uint16_t>(moved >= 26u ? moved - 26u : moved);
        out[i] = isLetter ? static_cast<char16_t>(c - index + moved) : static_cast<char16_t>(c);
    }
    return result;
}
