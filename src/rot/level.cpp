// Reading the ROT level that the user typed: numeric test, range test and the two rounded levels.
#include "rot/rot.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace
{

// A numeric level is an optionally signed decimal in ASCII digits with an optional fraction after a full
// stop ("13", "+2", "-0.5", ".5", "7."), with optional spaces or tabs around it. Nothing else counts:
// no exponents, no thousands separators, no hex, no other scripts' digits, no "inf" or "nan".
std::optional<double> ParseLevel(std::u16string_view text)
{
    const auto isBlank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);

    bool negative = false;
    if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    const auto intEnd = std::find_if_not(text.begin(), text.end(), isDigit);
    std::u16string_view intPart(text.begin(), intEnd);
    std::u16string_view fracPart;
    if (intEnd != text.end()) {
        if (*intEnd != u'.')
            return std::nullopt;
        fracPart = std::u16string_view(intEnd + 1, text.end());
        if (!std::all_of(fracPart.begin(), fracPart.end(), isDigit))
            return std::nullopt;
    }
    if (intPart.empty() && fracPart.empty())
        return std::nullopt;

    std::string ascii;
    ascii.reserve(intPart.size() + fracPart.size() + 3);
    ascii.append(intPart.begin(), intPart.end());
    if (intPart.empty())
        ascii += '0';
    ascii += '.';
    ascii.append(fracPart.begin(), fracPart.end());
    if (fracPart.empty())
        ascii += '0';

    double value = 0.0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too many digits either side: huge if any significant integer digit, otherwise next to zero.
        const bool huge = std::any_of(intPart.begin(), intPart.end(), [](char16_t c) { return c != u'0'; });
        value = huge ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

int RoundToLevel(double value)
{
    // nearbyint rounds halves to even in the default rounding mode. A level is a signed 16-bit value, so
    // anything beyond that range (only junk such as "1e400" digits, which the range test refuses before a
    // command rounds) saturates there instead of making the cast undefined.
    return static_cast<int>(std::nearbyint(std::clamp(value, -32768.0, 32767.0)));
}

} // namespace

bool IsLevelNumeric(std::u16string_view levelText)
{
    return ParseLevel(levelText).has_value();
}

bool IsLevelInRange(std::u16string_view levelText)
{
    const auto value = ParseLevel(levelText);
    return value && *value > -1.0 && *value < 27.0;
}

InputProblem CheckInput(std::u16string_view text, std::u16string_view levelText)
{
    if (text.empty())
        return InputProblem::EmptyText;
    if (levelText.empty())
        return InputProblem::EmptyLevel;
    if (!IsLevelNumeric(levelText))
        return InputProblem::LevelNotNumeric;
    if (!IsLevelInRange(levelText))
        return InputProblem::LevelOutOfRange;
    return InputProblem::None;
}

int EncodeLevel(std::u16string_view levelText)
{
    return RoundToLevel(ParseLevel(levelText).value_or(0.0));
}

int DecodeLevel(std::u16string_view levelText)
{
    // 26 - v is rounded as a double, not taken as 26 minus the encode level: 26.6 decodes with -1 and 0.5
    // with 26. The subtraction can also round a long fraction onto a half, so past a dozen fraction digits
    // the two levels may add up to 25 or 27.
    return RoundToLevel(kAlphabetSize - ParseLevel(levelText).value_or(0.0));
}
