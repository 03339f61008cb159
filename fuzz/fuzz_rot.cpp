// Fuzzes RotText: letters move within their own alphabet, nothing else changes, the inverse level undoes it.
#include "rot/rot.h"

#include "fuzz_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

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

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string text = TakeUnits(data, size);
    // Beyond 0..26 on purpose: the program accepts -1 and 27 and they must still rotate properly.
    for (int level = -1; level <= 27; ++level) {
        const std::u16string out = RotText(text, level);
        Check(out.size() == text.size());
        const int shift = (level % 26 + 26) % 26;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t base = AlphabetOf(text[i]);
            if (base == 0)
                Check(out[i] == text[i]);
            else
                Check(AlphabetOf(out[i]) == base && (text[i] - base + shift) % 26 == out[i] - base);
        }
        Check(RotText(out, 26 - level) == text);
    }
    return 0;
}
