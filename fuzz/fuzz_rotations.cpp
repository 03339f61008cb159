// Fuzzes the one-pass search of all 26 rotations against 26 plain steps, each a substring search per entry.
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

    const RotationCounts counts = CountRotations(WordMatcher(entries), text);
    const reference::AutoRotResult plain = reference::AutoRot(reference::PlainSearch(entries), text);
    Require(counts.byStep == plain.byStep, "every step's count equals 26 plain steps'");
    Require(counts.verdict.level == plain.level && counts.verdict.matches == plain.matches,
        "the verdict equals 26 plain steps'");
    return 0;
}
