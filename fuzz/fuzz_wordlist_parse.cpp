// Fuzzes ParseWordList: any file bytes parse, no entry is blank, a comment or split across lines, and the
// file read in pieces gives the same entries.
#include "wordlist/lineparser.h"
#include "wordlist/wordlist.h"

#include "fuzz_support.h"
#include "wordlist_reference.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    // A fuzz input is far too small to pass the list's limits.
    const WordList list = reference::Loaded(ParseWordList(bytes));
    for (std::size_t run = 0; run < list.RunCount(); ++run) {
        const std::u16string_view entry = list.RunText(run);
        Require(entry.find_first_not_of(u' ') != entry.npos, "no entry is blank");
        Require(entry.front() != u'#', "no entry is a comment");
        Require(entry.find_first_of(u"\r\n") == entry.npos, "no entry holds a line break");
    }
    // Pieces of 1, 2, 3, ... bytes cut every line end, CR LF pair and byte-order mark somewhere.
    WordListParser parser;
    for (std::size_t at = 0, piece = 1; at < size; at += piece, ++piece)
        parser.Feed(bytes.substr(at, piece));
    const WordList pieces = reference::Loaded(parser.Finish());
    Require(pieces.size() == list.size(), "pieces give as many entries as the whole file");
    Require(reference::Items(pieces) == reference::Items(list), "pieces give the entries of the whole file");
    return 0;
}
