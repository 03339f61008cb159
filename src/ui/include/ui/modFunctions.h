// Start-up work outside the window class: reading the word list into the window's hidden list.
#pragma once

#include <QString>

class frmMain;

namespace modFunctions
{

// "wordlist.txt" in the folder of the running executable.
QString WordListPath();

// Fills the window's word list from the file; a missing or unreadable file is reported and AutoRot
// is disabled for the rest of the run.
void LoadWordList(frmMain &form, const QString &path);

} // namespace modFunctions
