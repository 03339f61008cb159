// Fuzzes the level checks: any text is safe to check, and an accepted level gives two levels that add to 26.
#include "rot/rot.h"

#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>

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
        Require(encode + decode == 26, "encode and decode levels add up to 26");
    }
    return 0;
}
