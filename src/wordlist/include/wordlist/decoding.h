// Turning a word-list file's bytes into UTF-16 units, and telling from its first bytes how it is encoded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "wordlist/growbuffer.h"

namespace decoding
{

enum class Encoding { Undecided, Bytes, Utf16Le, Utf16Be, Utf32Le, Utf32Be };

// Bytes enough to tell UTF-16 without a byte-order mark from single bytes.
constexpr std::size_t kSniffBytes = 1024;

// The encoding that a file's start shows, and how many bytes of byte-order mark to skip. Files that start
// with a UTF-16 or UTF-32 byte-order mark, and files whose first bytes have NULs in the places UTF-16 puts
// them, are read as that; any other file as bytes.
struct Detected {
    Encoding encoding;
    std::size_t markBytes;
};
Detected Detect(std::string_view start);

bool IsAscii(std::string_view line);

// Windows-1252, one unit per byte.
void AppendCp1252(std::string_view line, GrowBuffer<char16_t> &result);

// Strict UTF-8: no overlong forms, no encoded surrogates, nothing above U+10FFFF. False on the first breach,
// with part of the line appended.
bool AppendUtf8(std::string_view line, GrowBuffer<char16_t> &result);

// Whole units of unitBytes in the given byte order. UTF-32 code points above U+FFFF become surrogate pairs;
// a surrogate code point is kept as a lone unit, as in UTF-16, and a value past U+10FFFF reads as U+FFFD.
void AppendUnits(std::string_view bytes, std::size_t unitBytes, bool bigEndian, std::u16string &result);

} // namespace decoding
