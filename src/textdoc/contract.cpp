// Reports a broken check of the text box's document.
#include "textdoc/contract.h"

#include <cstdio>
#include <cstdlib>

void Contract::Broken(const char *rule, const QString &detail)
{
    std::fprintf(stderr, "text box check failed: %s: %s\n", rule, qUtf8Printable(detail));
    std::fflush(stderr);
    std::abort();
}
