// Fuzzes WordMatcher against a plain substring search per entry over the same case-folded strings.
#include "wordlist/matcher.h"
#include "wordlist/search.h"

#include "fuzz_support.h"
#include "wordlist_reference.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The first line is the text, every further line one entry; a newline inside either is escaped (FF 00 0A).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto [text, entries] = TakeTextAndEntries(data, size);

    Require(CountMatches(WordMatcher(entries), text) == reference::PlainSearch(entries).CountMatches(text),
        "the count equals a plain search per entry");
    return 0;
}
