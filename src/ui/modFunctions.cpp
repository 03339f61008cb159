// Loading "wordlist.txt" at start-up.
#include "ui/modFunctions.h"

#include <filesystem>
#include <utility>
#include <variant>

#include <QDir>

#include "platform/messagebox.h"
#include "platform/paths.h"
#include "ui/frmMain.h"
#include "ui/messages.h"
#include "wordlist/wordlistfile.h"

namespace modFunctions
{

QString WordListPath()
{
    return QDir::toNativeSeparators(platform::ProgramDirectory() + QStringLiteral("/wordlist.txt"));
}

void LoadWordList(frmMain &form, const QString &path)
{
    WordListFileResult read = ReadWordListFile(std::filesystem::path(path.toStdU16String()));
    if (const auto *failure = std::get_if<WordListFileError>(&read)) {
        platform::ShowMessage(nullptr,
            failure->kind == WordListFileError::Kind::Missing ? messages::WordListMissing()
                                                              : messages::WordListUnreadable(path, *failure));
        form.DisableAutoRot();
        return;
    }
    form.FillWordList(std::get<WordList>(std::move(read)), path);
}

} // namespace modFunctions
