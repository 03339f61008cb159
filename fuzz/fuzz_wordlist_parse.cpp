// Fuzzes ParseWordList: any file bytes parse, and no entry is blank, a comment or split across lines.
#include "wordlist/wordlist.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    for (const std::u16string &entry : ParseWordList(bytes)) {
        if (entry.find_first_not_of(u' ') == std::u16string::npos)
            std::abort();
        if (entry.front() == u'#')
            std::abort();
        if (entry.find_first_of(u"\r\n") != std::u16string::npos)
            std::abort();
    }
    return 0;
}
