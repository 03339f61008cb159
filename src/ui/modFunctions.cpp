// Loading "wordlist.txt" at start-up.
#include "ui/modFunctions.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "platform/messagebox.h"
#include "platform/paths.h"
#include "ui/frmMain.h"
#include "ui/messages.h"
#include "ui/wordlistholder.h"
#include "wordlist/lineparser.h"

namespace modFunctions
{

namespace
{
// No line decodes to more units than it has bytes, so a smaller file always fits the list's offsets. In
// decimal, as the message says it.
constexpr qint64 kLargestListBytes = 4'000'000'000;

ReadFailure FailureOf(WordListError error)
{
    return {error == WordListError::OutOfMemory ? ReadFailure::Kind::OutOfMemory : ReadFailure::Kind::TooLong,
        {}};
}

// Why a path that names no file is not simply missing: a loop of links, for one. A dangling link, or no
// entry at all, is missing.
std::optional<QString> WhyUnreachable(const QString &path)
{
    std::error_code error;
    const auto status = std::filesystem::status(std::filesystem::path(path.toStdU16String()), error);
    if (!error || status.type() == std::filesystem::file_type::not_found)
        return std::nullopt;
    return QString::fromStdString(error.message());
}
} // namespace

QString WordListPath()
{
    return QDir::toNativeSeparators(platform::ProgramDirectory() + QStringLiteral("/wordlist.txt"));
}

std::variant<WordList, ReadFailure> ReadWordListFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return ReadFailure {ReadFailure::Kind::NotRegularFile, {}};
    if (info.size() >= kLargestListBytes)
        return ReadFailure {ReadFailure::Kind::TooLarge, {}};
    // Parsed piece by piece through one small buffer: holding the whole file first costs start-up a fresh
    // buffer of its size. Not mapped either: a mapped file that another program shortens while it is
    // parsed would end the process with SIGBUS.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadFailure {ReadFailure::Kind::System, file.errorString()};
    WordListParser parser;
    std::array<char, 64 * 1024> buffer;
    for (qint64 got; !parser.Failed() && (got = file.read(buffer.data(), buffer.size())) != 0;) {
        if (got < 0)
            return ReadFailure {ReadFailure::Kind::System, file.errorString()};
        parser.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    WordListResult parsed = parser.Finish();
    if (const auto *error = std::get_if<WordListError>(&parsed))
        return FailureOf(*error);
    return std::get<WordList>(std::move(parsed));
}

void LoadWordList(frmMain &form, const QString &path)
{
    if (!QFileInfo::exists(path)) {
        const std::optional<QString> unreachable = WhyUnreachable(path);
        platform::ShowMessage(nullptr,
            unreachable ? messages::WordListUnreadable(path, {ReadFailure::Kind::System, *unreachable})
                        : messages::WordListMissing());
        form.cmdAutoRot->setEnabled(false);
        return;
    }
    auto read = ReadWordListFile(path);
    if (const auto *failure = std::get_if<ReadFailure>(&read)) {
        platform::ShowMessage(nullptr, messages::WordListUnreadable(path, *failure));
        form.cmdAutoRot->setEnabled(false);
        return;
    }
    form.lstWords->setItems(std::move(std::get<WordList>(std::move(read))), path);
}

} // namespace modFunctions
