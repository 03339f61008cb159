// AutoRot's search: how many word-list entries each of the 26 rotations of a text holds, and the verdict.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "rot/alphabet.h"
#include "wordlist/matcher.h"

// The best step so far. Only a strictly greater count moves it, so the earlier step keeps a tie; the level
// is the one the text would have been enciphered with. No match at all leaves `matches` at 0: a failure.
struct AutoRotVerdict {
    int level = 0;
    std::uint64_t matches = 0;

    void Consider(int step, std::uint64_t count)
    {
        if (count > matches) {
            matches = count;
            level = kAlphabetSize - step;
        }
    }
    bool Found() const { return matches > 0; }
};

struct RotationCounts {
    // Index step - 1: the entries (every listed copy) in the text rotated forward by step, 1 to 26.
    std::array<std::uint64_t, kAlphabetSize> byStep {};
    AutoRotVerdict verdict;
};

// One pass over the text. Throws std::bad_alloc when its marks cannot be held.
RotationCounts CountRotations(const WordMatcher &matcher, std::u16string_view text);

// The entries in the text as it stands.
std::uint64_t CountMatches(const WordMatcher &matcher, std::u16string_view text);
