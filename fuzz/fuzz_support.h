// Shared by the fuzz targets: UTF-16 text from fuzz bytes, and a check that says which rule broke.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// 0xFF hi lo is the one unit 0xhilo; any other byte is the unit of the same value. Mutations then mostly
// land on letters and punctuation, where the rules are, yet surrogates and the like stay one escape away.
// Stops after the first unescaped `stop` byte (which it drops) and moves `pos` past what it read.
inline std::u16string TakeUnits(const std::uint8_t *data, std::size_t size, std::size_t &pos, int stop = -1)
{
    std::u16string text;
    while (pos < size) {
        const std::uint8_t byte = data[pos++];
        if (byte == stop)
            break;
        if (byte == 0xFF && pos + 2 <= size) {
            text += static_cast<char16_t>(data[pos] << 8 | data[pos + 1]);
            pos += 2;
        } else {
            text += static_cast<char16_t>(byte);
        }
    }
    return text;
}

inline std::u16string TakeUnits(const std::uint8_t *data, std::size_t size)
{
    std::size_t pos = 0;
    return TakeUnits(data, size, pos);
}

// The first line as a text and every further line as one entry, as the matcher targets read their input.
struct TextAndEntries {
    std::u16string text;
    std::vector<std::u16string> entries;
};

inline TextAndEntries TakeTextAndEntries(const std::uint8_t *data, std::size_t size)
{
    std::size_t pos = 0;
    TextAndEntries input {TakeUnits(data, size, pos, '\n'), {}};
    while (pos < size)
        input.entries.push_back(TakeUnits(data, size, pos, '\n'));
    return input;
}

// Names the broken rule before aborting, so a finding explains itself in the log.
inline void Require(bool ok, const char *rule)
{
    if (!ok) {
        std::fprintf(stderr, "Broken rule: %s\n", rule);
        std::abort();
    }
}
