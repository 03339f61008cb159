// Decoding word-list bytes: UTF-8 with a Windows-1252 fallback per line, UTF-16 and UTF-32, and detection.
#include "wordlist/decoding.h"

#include <cstdint>

namespace decoding
{

namespace
{
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 0x80-0x9F. The five bytes it leaves undefined keep their own code points, as Windows does.
constexpr char16_t kCp1252C1[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Editors save UTF-16 without a byte-order mark too. In a list of Latin words every other byte is then
// NUL, which text of single bytes almost never has.
constexpr std::size_t kSniffMinUnits = 4;

enum class NulPattern { None, Utf16Le, Utf16Be };

NulPattern FindNulPattern(std::string_view start)
{
    const std::size_t units = start.size() / 2;
    if (units < kSniffMinUnits || start.find('\0') == start.npos)
        return NulPattern::None;
    std::size_t highNul = 0;
    std::size_t lowNul = 0;
    for (std::size_t i = 0; i < units; ++i) {
        const bool first = start[2 * i] == '\0';
        const bool second = start[2 * i + 1] == '\0';
        highNul += !first && second;
        lowNul += first && !second;
    }
    // Three units in four: a few characters such as U+4E00 put their NUL on the other side.
    if (highNul * 4 >= units * 3)
        return NulPattern::Utf16Le;
    if (lowNul * 4 >= units * 3)
        return NulPattern::Utf16Be;
    return NulPattern::None;
}

} // namespace

Detected Detect(std::string_view start)
{
    if (start.starts_with(std::string_view("\xFF\xFE\0\0", 4)))
        return {Encoding::Utf32Le, 4};
    if (start.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
        return {Encoding::Utf32Be, 4};
    if (start.starts_with("\xFF\xFE"))
        return {Encoding::Utf16Le, 2};
    if (start.starts_with("\xFE\xFF"))
        return {Encoding::Utf16Be, 2};
    if (start.starts_with(kByteOrderMark))
        return {Encoding::Bytes, kByteOrderMark.size()};
    switch (FindNulPattern(start)) {
    case NulPattern::Utf16Le:
        return {Encoding::Utf16Le, 0};
    case NulPattern::Utf16Be:
        return {Encoding::Utf16Be, 0};
    case NulPattern::None:
        break;
    }
    return {Encoding::Bytes, 0};
}

void AppendCp1252(std::string_view line, GrowBuffer<char16_t> &result)
{
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        result.push_back(byte >= 0x80 && byte < 0xA0 ? kCp1252C1[byte - 0x80] : static_cast<char16_t>(byte));
    }
}

bool AppendUtf8(std::string_view line, GrowBuffer<char16_t> &result)
{
    const auto *p = reinterpret_cast<const unsigned char *>(line.data());
    const auto *end = p + line.size();
    auto continuation = [&end](const unsigned char *at, unsigned char low, unsigned char high) {
        return at < end && *at >= low && *at <= high;
    };
    while (p < end) {
        const unsigned char lead = *p;
        char32_t cp;
        if (lead < 0x80) {
            result.push_back(lead);
            ++p;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            if (!continuation(p + 1, 0x80, 0xBF))
                return false;
            cp = (lead & 0x1Fu) << 6 | (p[1] & 0x3Fu);
            p += 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
            const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
            if (!continuation(p + 1, low, high) || !continuation(p + 2, 0x80, 0xBF))
                return false;
            cp = (lead & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
            p += 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
            const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
            if (!continuation(p + 1, low, high) || !continuation(p + 2, 0x80, 0xBF)
                || !continuation(p + 3, 0x80, 0xBF))
                return false;
            cp = (lead & 0x07u) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 | (p[3] & 0x3Fu);
            p += 4;
        } else {
            return false;
        }
        if (cp < 0x10000) {
            result.push_back(static_cast<char16_t>(cp));
        } else {
            result.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    return true;
}

bool IsAscii(std::string_view line)
{
    unsigned char bytesOred = 0;
    for (const char c : line)
        bytesOred |= static_cast<unsigned char>(c);
    return bytesOred < 0x80;
}

void AppendUnits(std::string_view bytes, std::size_t unitBytes, bool bigEndian, std::u16string &result)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = p + bytes.size();
    for (; p < end; p += unitBytes) {
        char32_t value = 0;
        for (std::size_t i = 0; i < unitBytes; ++i)
            value |= char32_t {p[bigEndian ? i : unitBytes - 1 - i]} << (8 * (unitBytes - 1 - i));
        if (value < 0x10000) {
            result.push_back(static_cast<char16_t>(value));
        } else if (value <= 0x10FFFF) {
            result.push_back(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
        } else {
            result.push_back(u'\ufffd');
        }
    }
}

} // namespace decoding
