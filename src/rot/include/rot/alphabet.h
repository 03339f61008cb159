// The two alphabets the cipher moves along, A-Z and a-z, and how far apart two of their letters lie.
#pragma once

// Letters in each alphabet: ROT n and ROT kAlphabetSize - n undo each other, and AutoRot tries that many
// steps.
inline constexpr int kAlphabetSize = 26;

// Only the 52 ASCII letters rotate and fold; every other unit stays as it is.
constexpr bool IsAsciiLetter(char16_t unit)
{
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
}

// 0 for A or a, 25 for Z or z.
constexpr int LetterIndex(char16_t unit)
{
    return unit >= u'a' ? unit - u'a' : unit - u'A';
}

// How many places forward the letter at index `from` moves to become the one at `to`: 0 to 25.
constexpr int LetterDistance(int from, int to)
{
    return (to - from + kAlphabetSize) % kAlphabetSize;
}
