// Fuzzes the level checks: any text is safe, and an accepted level converts to levels that fit together.
#include "rot/rot.h"

#include "fuzz_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace
{

std::size_t FractionDigits(std::u16string_view levelText)
{
    const std::size_t stop = levelText.find(u'.');
    if (stop == std::u16string_view::npos)
        return 0;
    const std::u16string_view rest = levelText.substr(stop + 1);
    return std::min(rest.find_first_not_of(u"0123456789"), rest.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string levelText = TakeUnits(data, size);
    const bool numeric = IsLevelNumeric(levelText);
    const bool inRange = IsLevelInRange(levelText);
    // Out-of-range or junk levels must still convert without tripping a sanitizer.
    const int encode = EncodeLevel(levelText);
    const int decode = DecodeLevel(levelText);

    Require(numeric || !inRange, "a level in range is numeric");
    Require(CheckInput(u"", levelText) == InputProblem::EmptyText, "empty text is reported first");
    const InputProblem problem = CheckInput(u"x", levelText);
    Require((problem == InputProblem::None) == (numeric && inRange), "CheckInput agrees with the predicates");
    if (problem == InputProblem::None) {
        Require(encode >= -1 && encode <= 27, "the encode level lies in -1..27");
        Require(decode >= -1 && decode <= 27, "the decode level lies in -1..27");
        // Decoding rounds 26 - level as a double. With a dozen fraction digits at most, that value is never
        // within a double's error of a half unless it is one, so the two levels add up exactly; a longer
        // fraction can tip onto a half and leave decoding one level off, never more.
        Require(encode + decode >= 25 && encode + decode <= 27,
            "encode and decode levels add up to 25, 26 or 27");
        if (FractionDigits(levelText) <= 12)
            Require(encode + decode == 26, "encode and decode levels add up to 26");
    }
    return 0;
}
