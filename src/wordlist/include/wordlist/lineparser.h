// Reading a word-list file's bytes, whole or in pieces, into a WordList: lines, comments and blanks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "wordlist/decoding.h"
#include "wordlist/wordlist.h"

// Why a file's list could not be held.
enum class WordListError {
    // More text than kMaxUnits.
    TooLong,
    OutOfMemory,
};

using WordListResult = std::variant<WordList, WordListError>;

// Entries of a word-list file, or why they cannot be held. Files that start with a UTF-16 or UTF-32
// byte-order mark, and files whose first bytes have NULs in the places UTF-16 puts them, are read as
// that (a lone surrogate is kept as it is, a cut last unit reads as U+FFFD); any other file is read line
// by line as UTF-8 where the line is valid UTF-8 and as Windows-1252 where it is not.
WordListResult ParseWordList(std::string_view fileBytes);

// The same reading for a file handed over in pieces split anywhere, so that it never has to be held whole.
// Time and memory grow in step with what has been read, whatever the length of its lines.
class WordListParser
{
public:
    void Feed(std::string_view bytes);
    // Once true, Feed ignores what it is given: the rest of the file need not be read.
    bool Failed() const { return error_.has_value(); }
    WordListResult Finish();

private:
    void Decide(bool atEnd);
    void FeedDecided(std::string_view bytes);
    void FeedUnits(std::string_view bytes);
    void ParseLines(std::string_view bytes);
    void ParseLines(std::u16string_view units);
    void Fail(WordListError error);
    void Release();

    WordList list_;
    std::optional<WordListError> error_;
    decoding::Encoding encoding_ = decoding::Encoding::Undecided;
    // The start of the file until the encoding is decided; then the bytes after the last line end, or for
    // UTF-16 and UTF-32 the bytes of a unit cut between pieces.
    std::string pending_;
    // UTF-16 and UTF-32: the units after the last line end.
    std::u16string pendingUnits_;
    std::u16string decoded_;
};
