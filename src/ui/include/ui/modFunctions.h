// Start-up work outside the window class: reading the word list into the window's hidden list.
#pragma once

#include <variant>

#include <QString>

#include "wordlist/lineparser.h"
#include "wordlist/wordlist.h"

class frmMain;

namespace modFunctions
{

// Why an existing word-list file gave no entries.
struct ReadFailure {
    enum class Kind {
        // A folder, pipe or device: it has no lines, or reading it could block start-up.
        NotRegularFile,
        // 4 GB or more: past what the list's 32-bit offsets are sure to reach.
        TooLarge,
        // Its entries hold more text than the list's offsets reach.
        TooLong,
        // Not enough memory to hold its list.
        OutOfMemory,
        // Opening or reading failed, or its name leads nowhere (a loop of links); the system says why.
        System,
    };
    Kind kind;
    QString systemReason;
};

// "wordlist.txt" in the folder of the running executable.
QString WordListPath();

// The file's entries, or why it cannot be read.
std::variant<WordList, ReadFailure> ReadWordListFile(const QString &path);

// Fills the window's word list from the file; a missing or unreadable file is reported and AutoRot
// is disabled for the rest of the run.
void LoadWordList(frmMain &form, const QString &path);

} // namespace modFunctions
