// Opening and reading a word-list file in pieces, with the standard library alone.
#include "wordlist/wordlistfile.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string_view>
#include <system_error>
#include <utility>

#include "wordlist/lineparser.h"

namespace
{

using Kind = WordListFileError::Kind;

WordListFileError SystemError(int error)
{
    return {Kind::System, std::generic_category().message(error)};
}

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenForReading(const std::filesystem::path &path)
{
    errno = 0;
#ifdef _WIN32
    File file(_wfopen(path.c_str(), L"rb"));
#else
    File file(std::fopen(path.c_str(), "rb"));
#endif
    // The pieces are large: the stream's own buffer would only add a copy.
    if (file)
        std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return file;
}

} // namespace

WordListFileResult ReadWordListFile(const std::filesystem::path &path)
{
    return ReadWordListFile(path, {});
}

WordListFileResult ReadWordListFile(
    const std::filesystem::path &path, const std::function<void(std::uintmax_t)> &afterPiece)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    // A dangling link, or no entry at all, is missing; a loop of links is not, and the system says why.
    if (status.type() == std::filesystem::file_type::not_found)
        return WordListFileError {Kind::Missing, {}};
    if (error)
        return WordListFileError {Kind::System, error.message()};
    if (!std::filesystem::is_regular_file(status))
        return WordListFileError {Kind::NotRegularFile, {}};
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return WordListFileError {Kind::System, error.message()};
    if (size >= kLargestListBytes)
        return WordListFileError {Kind::TooLarge, {}};

    // Parsed piece by piece through one small buffer: holding the whole file first costs start-up a fresh
    // buffer of its size. Not mapped either: a mapped file that another program shortens while it is
    // parsed would end the process with SIGBUS. Read to its end, not to the size above, which a file that
    // changes meanwhile no longer has.
    const File file = OpenForReading(path);
    if (!file)
        return SystemError(errno);
    WordListParser parser;
    std::array<char, 64 * 1024> buffer;
    std::uintmax_t read = 0;
    while (!parser.Failed()) {
        errno = 0;
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (got < buffer.size() && std::ferror(file.get()))
            return SystemError(errno);
        if (got == 0)
            break;
        parser.Feed(std::string_view(buffer.data(), got));
        read += got;
        if (afterPiece)
            afterPiece(read);
    }
    WordListResult parsed = parser.Finish();
    if (const auto *failure = std::get_if<WordListError>(&parsed))
        return WordListFileError {
            *failure == WordListError::OutOfMemory ? Kind::OutOfMemory : Kind::TooLong, {}};
    return std::get<WordList>(std::move(parsed));
}
