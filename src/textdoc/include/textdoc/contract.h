// The text box's consistency checks: live in the test builds (QUINDLE_CHECKS), compiled out of the program.
#pragma once

#include <QString>

namespace Contract
{

#ifdef QUINDLE_CHECKS
inline constexpr bool kChecked = true;
#else
inline constexpr bool kChecked = false;
#endif

// Stops the program with the rule that broke and what differed, so that a test or a fuzzer reports it
// where it happened, not where a drifted position later shows.
[[noreturn]] void Broken(const char *rule, const QString &detail);

} // namespace Contract
