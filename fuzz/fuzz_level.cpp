// Fuzzes the level checks: any text is safe to check, and an accepted level gives two levels that add to 26.
#include "rot/rot.h"

#include "fuzz_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string levelText = TakeUnits(data, size);
    const bool numeric = IsLevelNumeric(levelText);
    const bool inRange = IsLevelInRange(levelText);
    // Out-of-range or junk levels must still convert without tripping a sanitizer.
    const int encode = EncodeLevel(levelText);
    const int decode = DecodeLevel(levelText);

    if (inRange && !numeric)
        std::abort();
    if (CheckInput(u"", levelText) != InputProblem::EmptyText)
        std::abort();
    // CheckInput and the two predicates must never disagree about a level.
    const InputProblem problem = CheckInput(u"x", levelText);
    if ((problem == InputProblem::None) != (numeric && inRange))
        std::abort();
    if (problem == InputProblem::None) {
        if (encode < -1 || encode > 27 || decode < -1 || decode > 27 || encode + decode != 26)
            std::abort();
    }
    return 0;
}
