// Fuzzes WordMatcher against a plain substring search per entry over the same case-folded strings.
#include "wordlist/wordlist.h"

#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace
{

std::u16string Folded(std::u16string text)
{
    for (char16_t &c : text) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return text;
}

} // namespace

// The first line is the text, every further line one entry; a newline inside either is escaped (FF 00 0A).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::size_t pos = 0;
    const std::u16string text = TakeUnits(data, size, pos, '\n');
    std::vector<std::u16string> entries;
    while (pos < size)
        entries.push_back(TakeUnits(data, size, pos, '\n'));

    const std::u16string foldedText = Folded(text);
    int expected = 0;
    for (const std::u16string &entry : entries) {
        // An empty entry would match every rotation alike, so the matcher never counts one.
        if (!entry.empty() && foldedText.find(Folded(entry)) != std::u16string::npos)
            ++expected;
    }
    Require(WordMatcher(entries).CountMatches(text) == expected, "the count equals a plain search per entry");
    return 0;
}
