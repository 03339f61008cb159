// Loading "wordlist.txt" at start-up.
#include "ui/modFunctions.h"

#include <string_view>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "platform/messagebox.h"
#include "platform/paths.h"
#include "ui/frmMain.h"
#include "ui/messages.h"
#include "ui/wordlistholder.h"
#include "wordlist/wordlist.h"

namespace modFunctions
{

namespace
{
// No line decodes to more units than it has bytes, so a smaller file always fits the list's offsets.
constexpr qint64 kLargestListBytes = qint64 {1} << 32;
} // namespace

QString WordListPath()
{
    return QDir::toNativeSeparators(platform::ProgramDirectory() + QStringLiteral("/wordlist.txt"));
}

std::variant<FileBytes, ReadFailure> ReadWordListFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return ReadFailure {ReadFailure::Kind::NotRegularFile, {}};
    if (info.size() >= kLargestListBytes)
        return ReadFailure {ReadFailure::Kind::TooLarge, {}};
    FileBytes result;
    result.file = std::make_unique<QFile>(path);
    QFile &file = *result.file;
    const auto systemFailure = [&file] {
        return ReadFailure {ReadFailure::Kind::System, file.errorString()};
    };
    if (!file.open(QIODevice::ReadOnly))
        return systemFailure();
    // Mapped, the page cache is read in place: no copy, and a fraction of the page faults that filling a
    // buffer of the same size costs, which is most of what a large list adds to start-up.
    if (const uchar *mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr) {
        result.bytes = {reinterpret_cast<const char *>(mapped), static_cast<std::size_t>(file.size())};
        return result;
    }
    // Read where the file system cannot map; opening again clears the error the mapping left.
    file.close();
    if (!file.open(QIODevice::ReadOnly))
        return systemFailure();
    result.copy = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return systemFailure();
    result.bytes = {result.copy.constData(), static_cast<std::size_t>(result.copy.size())};
    return result;
}

void LoadWordList(frmMain &form, const QString &path)
{
    if (!QFileInfo::exists(path)) {
        platform::ShowMessage(nullptr, messages::WordListMissing());
        form.cmdAutoRot->setEnabled(false);
        return;
    }
    const auto read = ReadWordListFile(path);
    if (const auto *failure = std::get_if<ReadFailure>(&read)) {
        platform::ShowMessage(nullptr, messages::WordListUnreadable(path, *failure));
        form.cmdAutoRot->setEnabled(false);
        return;
    }
    form.lstWords->setItems(ParseWordList(std::get<FileBytes>(read).bytes));
}

} // namespace modFunctions
