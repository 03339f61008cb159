// Fuzzes WordMatcher against a plain substring search per entry over the same case-folded strings.
#include "wordlist/wordlist.h"

#include "fuzz_support.h"
#include "wordlist_reference.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The first line is the text, every further line one entry; a newline inside either is escaped (FF 00 0A).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::size_t pos = 0;
    const std::u16string text = TakeUnits(data, size, pos, '\n');
    std::vector<std::u16string> entries;
    while (pos < size)
        entries.push_back(TakeUnits(data, size, pos, '\n'));

    Require(WordMatcher(entries).CountMatches(text) == reference::PlainSearch(entries).CountMatches(text),
        "the count equals a plain search per entry");
    return 0;
}
