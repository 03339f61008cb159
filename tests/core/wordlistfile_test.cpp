// ReadWordListFile on real files in a temporary folder: what counts as missing, what is refused and why,
// and a file that is cut short while it is read.
#include "wordlist/wordlistfile.h"

#include <gtest/gtest.h>

#include "rowname.h"
#include "wordlist_reference.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace
{

namespace fs = std::filesystem;
using Kind = WordListFileError::Kind;
using rowname::PrintTo;

// A folder of the test's own, removed with everything in it afterwards.
class TempFolder
{
public:
    TempFolder()
        : path_(
            fs::temp_directory_path() / ("quindle-wordlistfile-" + std::to_string(std::random_device {}())))
    {
        fs::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    fs::path File() const { return path_ / "wordlist.txt"; }

private:
    fs::path path_;
};

void Write(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Makes what the row names at `file`; false when this system cannot make it.
using Maker = bool (*)(const fs::path &file);

bool Link(const fs::path &target, const fs::path &file)
{
    std::error_code error;
    fs::create_symlink(target, file, error);
    return !error;
}

struct PathCase {
    const char *name;
    Maker make;
    Kind expected;
    // For Kind::System: the system's words for this error.
    std::errc reason = {};
};

class ReadWordListFileTable : public testing::TestWithParam<PathCase>
{
};

TEST_P(ReadWordListFileTable, RefusesWithTheReason)
{
    const PathCase &c = GetParam();
    const TempFolder folder;
    if (!c.make(folder.File()))
        GTEST_SKIP() << "this system cannot make it here";
    // Refused before a byte is read: a size past the limit takes minutes to read, and a fifo forever.
    const WordListFileResult read = ReadWordListFile(
        folder.File(), [](std::uintmax_t) { throw std::runtime_error("a refused file was read"); });
    const auto *failure = std::get_if<WordListFileError>(&read);
    ASSERT_NE(failure, nullptr) << "read " << std::get<WordList>(read).size() << " entries";
    EXPECT_EQ(failure->kind, c.expected);
    if (c.expected == Kind::System) {
        EXPECT_EQ(failure->systemReason, std::make_error_code(c.reason).message());
    }
}

// clang-format off
const PathCase kPathCases[] = {
    PathCase{"NothingThere", [](const fs::path &) { return true; }, Kind::Missing},
    PathCase{"DanglingLink", [](const fs::path &file) { return Link(file.parent_path() / "nowhere", file); },
        Kind::Missing},
    PathCase{"LoopOfLinks", [](const fs::path &file) { return Link(file, file); },
        Kind::System, std::errc::too_many_symbolic_link_levels},
    PathCase{"Directory", [](const fs::path &file) { return fs::create_directory(file); },
        Kind::NotRegularFile},
    PathCase{"LinkToDirectory", [](const fs::path &file) {
        return fs::create_directory(file.parent_path() / "folder") && Link(file.parent_path() / "folder", file);
    }, Kind::NotRegularFile},
#ifndef _WIN32
    // Opening a fifo would wait for a writer that never comes.
    PathCase{"Fifo", [](const fs::path &file) { return ::mkfifo(file.c_str(), 0600) == 0; },
        Kind::NotRegularFile},
#endif
    // Sparse: no disk space is taken.
    PathCase{"FourBillionBytes", [](const fs::path &file) {
        Write(file, "");
        std::error_code error;
        fs::resize_file(file, 4'000'000'000, error);
        return !error;
    }, Kind::TooLarge},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Paths, ReadWordListFileTable, testing::ValuesIn(kPathCases), RowName());

TEST(ReadWordListFile, ReadsAFileAndALinkToIt)
{
    const TempFolder folder;
    const fs::path file = folder.File().parent_path() / "words.txt";
    Write(file, "#c\r\nhello\r\n  \r\n world \r\nhello");
    const std::vector<std::u16string> expected {u"hello", u" world ", u"hello"};
    EXPECT_EQ(reference::Items(std::get<WordList>(ReadWordListFile(file))), expected);
    if (!Link(file, folder.File()))
        GTEST_SKIP() << "no symbolic link could be made here";
    EXPECT_EQ(reference::Items(std::get<WordList>(ReadWordListFile(folder.File()))), expected);
}

// Another program may shorten the file while it is read: what was read before counts, nothing after it,
// and nothing waits for the bytes its size once promised.
TEST(ReadWordListFile, FileCutShortWhileRead)
{
    const TempFolder folder;
    std::string bytes;
    for (int i = 0; bytes.size() < 300'000; ++i)
        bytes += "word" + std::to_string(i) + (i % 3 == 0 ? "\r\n" : "\n");
    Write(folder.File(), bytes);
    std::vector<std::uintmax_t> pieces;
    const WordListFileResult read = ReadWordListFile(folder.File(), [&](std::uintmax_t readSoFar) {
        if (pieces.empty())
            fs::resize_file(folder.File(), 100);
        pieces.push_back(readSoFar);
        if (pieces.size() > 10)
            throw std::runtime_error("still reading after the end of the file");
    });
    ASSERT_EQ(pieces.size(), 1u) << "pieces read after the file was cut";
    ASSERT_LT(pieces[0], bytes.size());
    EXPECT_EQ(reference::Items(std::get<WordList>(read)),
        reference::Items(ParseWordList(std::string_view(bytes).substr(0, pieces[0]))));
}

} // namespace
