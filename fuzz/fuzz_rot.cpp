// Fuzzes RotText: letters move within their own alphabet, nothing else changes, the inverse level undoes it.
#include "rot/rot.h"

#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>

namespace
{

// The alphabet start of an ASCII letter, or 0 for any other unit.
char16_t AlphabetOf(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return u'a';
    if (c >= u'A' && c <= u'Z')
        return u'A';
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string text = TakeUnits(data, size);
    // Beyond 0..26 on purpose: the program accepts -1 and 27 and they must still rotate properly.
    for (int level = -1; level <= 27; ++level) {
        const std::u16string out = RotText(text, level);
        Require(out.size() == text.size(), "the text keeps its length");
        const int shift = (level % 26 + 26) % 26;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t base = AlphabetOf(text[i]);
            if (base == 0) {
                Require(out[i] == text[i], "only ASCII letters change");
            } else {
                Require(AlphabetOf(out[i]) == base, "a letter stays a letter of its case");
                Require((text[i] - base + shift) % 26 == out[i] - base, "a letter moves by the level");
            }
        }
        Require(RotText(out, 26 - level) == text, "the inverse level gives the text back");
    }
    return 0;
}
