// The letter rotation itself, kept branch-free so that the compiler vectorizes it.
#include "rot/rot.h"

#include <cstddef>
#include <cstdint>

namespace
{

// On x86-64 Linux a wider AVX2 copy of the loop is picked at load time where the processor has it.
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__)
#define QUINDLE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define QUINDLE_VECTOR_CLONES
#endif

inline char16_t RotateUnit(std::uint16_t c, unsigned shift)
{
    // Setting bit 5 folds A-Z onto a-z; nothing else lands in a-z that way.
    const std::uint16_t index = static_cast<std::uint16_t>((c | 0x20u) - u'a');
    const bool isLetter = index < kAlphabetSize;
    std::uint16_t moved = static_cast<std::uint16_t>(index + shift);
    moved = static_cast<std::uint16_t>(moved >= kAlphabetSize ? moved - kAlphabetSize : moved);
    return isLetter ? static_cast<char16_t>(c - index + moved) : static_cast<char16_t>(c);
}

// In blocks of a fixed length: at -O2 the compiler vectorizes only loops that need no leftover
// iterations.
constexpr std::size_t kBlock = 64;

QUINDLE_VECTOR_CLONES
void Rotate(const char16_t *__restrict in, char16_t *__restrict out, std::size_t size, unsigned shift)
{
    std::size_t i = 0;
    for (; i + kBlock <= size; i += kBlock) {
        for (std::size_t j = 0; j < kBlock; ++j)
            out[i + j] = RotateUnit(in[i + j], shift);
    }
    for (; i < size; ++i)
        out[i] = RotateUnit(in[i], shift);
}

} // namespace

void RotText(std::u16string_view text, int level, char16_t *out)
{
    const unsigned shift = static_cast<unsigned>(((level % kAlphabetSize) + kAlphabetSize) % kAlphabetSize);
    Rotate(text.data(), out, text.size(), shift);
}

std::u16string RotText(std::u16string_view text, int level)
{
    std::u16string result(text.size(), u'\0');
    RotText(text, level, result.data());
    return result;
}
