// Reading a word-list file from disk: which files are refused, and why, before and while it is read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <variant>

#include "wordlist/wordlist.h"

// Why a word-list file gave no entries.
struct WordListFileError {
    enum class Kind {
        // Nothing at the path, or a link that leads to nothing.
        Missing,
        // A folder, pipe or device: it has no lines, or reading it could block start-up.
        NotRegularFile,
        // kLargestListBytes or more: past what the list's 32-bit offsets are sure to reach.
        TooLarge,
        // Its entries hold more text than the list's offsets reach.
        TooLong,
        // Not enough memory to hold its list.
        OutOfMemory,
        // Opening or reading failed, or its name leads nowhere (a loop of links); the system says why.
        System,
    };
    Kind kind;
    // For System: the system's own words, in its own encoding.
    std::string systemReason;
};

using WordListFileResult = std::variant<WordList, WordListFileError>;

// No line decodes to more units than it has bytes, so a smaller file always fits the list's offsets. In
// decimal, as the message says it.
inline constexpr std::uintmax_t kLargestListBytes = 4'000'000'000;

// The file's entries, or why it cannot be read.
WordListFileResult ReadWordListFile(const std::filesystem::path &path);

// The same, calling `afterPiece` with the bytes read so far after each piece it reads, so that a test can
// change the file between two reads.
WordListFileResult ReadWordListFile(
    const std::filesystem::path &path, const std::function<void(std::uintmax_t)> &afterPiece);
