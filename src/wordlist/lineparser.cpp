// The line rules of a word-list file over decoded units: where lines end, which are skipped.
#include "wordlist/lineparser.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

using decoding::AppendCp1252;
using decoding::AppendUnits;
using decoding::AppendUtf8;
using decoding::Detect;
using decoding::Detected;
using decoding::Encoding;
using decoding::IsAscii;
using decoding::kSniffBytes;

namespace
{
template <typename Unit> bool IsSkipped(std::basic_string_view<Unit> line)
{
    return (!line.empty() && line.front() == Unit('#')) || line.find_first_not_of(Unit(' ')) == line.npos;
}

// The first CR or LF in [p, end), or end. Bytes are tested eight at a time: word lists have short lines.
template <typename Unit> const Unit *FindLineEnd(const Unit *p, const Unit *end)
{
    if constexpr (sizeof(Unit) == 1) {
        constexpr std::uint64_t kOnes = 0x0101010101010101u;
        for (; end - p >= 8; p += 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t lf = word ^ (kOnes * '\n');
            const std::uint64_t cr = word ^ (kOnes * '\r');
            // The lowest high bit set marks the first zero byte, that is the first CR or LF.
            const std::uint64_t found = (((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr)) & (kOnes << 7);
            if (found != 0)
                return p + std::countr_zero(found) / 8;
        }
    }
    while (p < end && *p != Unit('\n') && *p != Unit('\r'))
        ++p;
    return p;
}

// Calls onLine for every line that is neither a comment nor blank. A line ends at CR, LF or CR LF.
template <typename Unit, typename OnLine>
void ForEachEntryLine(std::basic_string_view<Unit> text, OnLine onLine)
{
    const Unit *p = text.data();
    const Unit *const end = p + text.size();
    while (p < end) {
        const Unit *const start = p;
        p = FindLineEnd(p, end);
        const std::basic_string_view<Unit> line(start, static_cast<std::size_t>(p - start));
        if (p < end)
            p += (*p == Unit('\r') && p + 1 < end && p[1] == Unit('\n')) ? 2 : 1;
        if (!IsSkipped(line))
            onLine(line);
    }
}

// Bytes after the last line end of earlier pieces wait in pending; whole lines are handed to parseLines
// where they lie. Each unit is looked at a bounded number of times, so a file that is one long line costs
// no more than one of short lines. A CR LF split between two pieces reads as a line and an empty one, and
// empty lines are skipped anyway.
template <typename Unit, typename ParseLines>
void SplitPiece(std::basic_string_view<Unit> piece, std::basic_string<Unit> &pending, ParseLines parseLines)
{
    if (!pending.empty()) {
        const Unit *const end = piece.data() + piece.size();
        const Unit *const lineEnd = FindLineEnd(piece.data(), end);
        if (lineEnd == end) {
            pending.append(piece);
            return;
        }
        const auto taken = static_cast<std::size_t>(lineEnd - piece.data()) + 1;
        pending.append(piece.substr(0, taken));
        parseLines(std::basic_string_view<Unit>(pending));
        pending.clear();
        // A long line's buffer is not kept for lines that are short again.
        if (pending.capacity() > (std::size_t {1} << 20))
            pending.shrink_to_fit();
        piece.remove_prefix(taken);
    }
    constexpr Unit kLineEnds[] = {Unit('\r'), Unit('\n')};
    const std::size_t last = piece.find_last_of(std::basic_string_view<Unit>(kLineEnds, 2));
    if (last == piece.npos) {
        pending.assign(piece);
        return;
    }
    parseLines(piece.substr(0, last + 1));
    pending.assign(piece.substr(last + 1));
}

} // namespace

WordListResult ParseWordList(std::string_view fileBytes)
{
    WordListParser parser;
    parser.Feed(fileBytes);
    return parser.Finish();
}

void WordListParser::Decide(bool atEnd)
{
    if (pending_.size() < kSniffBytes && !atEnd)
        return;
    const Detected detected = Detect(pending_);
    encoding_ = detected.encoding;
    pending_.erase(0, detected.markBytes);
}

void WordListParser::Fail(WordListError error)
{
    error_ = error;
    list_ = WordList();
}

void WordListParser::Release()
{
    // Only once no line is being read out of these buffers.
    std::string().swap(pending_);
    std::u16string().swap(pendingUnits_);
    std::u16string().swap(decoded_);
}

void WordListParser::Feed(std::string_view bytes)
{
    if (error_)
        return;
    try {
        if (encoding_ == Encoding::Undecided) {
            // Only the start of the file is held back to decide on; the rest is read where it lies.
            const std::size_t taken = std::min(bytes.size(), kSniffBytes - pending_.size());
            pending_.append(bytes.substr(0, taken));
            bytes.remove_prefix(taken);
            Decide(false);
            if (encoding_ == Encoding::Undecided)
                return;
            FeedDecided(std::exchange(pending_, {}));
        }
        FeedDecided(bytes);
    } catch (const std::bad_alloc &) {
        Fail(WordListError::OutOfMemory);
    }
    if (error_)
        Release();
}

void WordListParser::FeedDecided(std::string_view bytes)
{
    if (error_)
        return;
    if (encoding_ == Encoding::Bytes)
        SplitPiece(bytes, pending_, [this](std::string_view lines) { ParseLines(lines); });
    else
        FeedUnits(bytes);
}

void WordListParser::FeedUnits(std::string_view bytes)
{
    const bool bigEndian = encoding_ == Encoding::Utf16Be || encoding_ == Encoding::Utf32Be;
    const std::size_t unitBytes = encoding_ == Encoding::Utf32Le || encoding_ == Encoding::Utf32Be ? 4 : 2;
    // Decoded a slice at a time, so a file handed over whole is never held twice.
    constexpr std::size_t kSlice = 64 * 1024;
    while (!bytes.empty() && !error_) {
        std::string_view slice = bytes.substr(0, kSlice);
        bytes.remove_prefix(slice.size());
        decoded_.clear();
        if (!pending_.empty()) {
            const std::size_t taken = std::min(unitBytes - pending_.size(), slice.size());
            pending_.append(slice.substr(0, taken));
            slice.remove_prefix(taken);
            if (pending_.size() < unitBytes)
                return;
            AppendUnits(pending_, unitBytes, bigEndian, decoded_);
            pending_.clear();
        }
        const std::size_t whole = slice.size() - slice.size() % unitBytes;
        AppendUnits(slice.substr(0, whole), unitBytes, bigEndian, decoded_);
        pending_.assign(slice.substr(whole));
        SplitPiece(std::u16string_view(decoded_), pendingUnits_,
            [this](std::u16string_view lines) { ParseLines(lines); });
    }
}

void WordListParser::ParseLines(std::string_view bytes)
{
    ForEachEntryLine(bytes, [this](std::string_view line) {
        if (error_)
            return;
        // Decoded straight onto the end of the list's text. Each line decides for itself: valid UTF-8 is
        // read as UTF-8, anything else byte for byte as Windows-1252, so one stray legacy byte neither loses
        // the line nor changes how its neighbours read.
        const bool fits = list_.AppendWritten([line](GrowBuffer<char16_t> &units) {
            const std::size_t start = units.size();
            if (IsAscii(line)) {
                std::copy(line.begin(), line.end(), units.Extend(line.size()));
            } else if (!AppendUtf8(line, units)) {
                units.Truncate(start);
                AppendCp1252(line, units);
            }
        });
        if (!fits)
            Fail(WordListError::TooLong);
    });
}

void WordListParser::ParseLines(std::u16string_view units)
{
    ForEachEntryLine(units, [this](std::u16string_view line) {
        if (!error_ && !list_.Append(line))
            Fail(WordListError::TooLong);
    });
}

WordListResult WordListParser::Finish()
{
    try {
        if (encoding_ == Encoding::Undecided) {
            Decide(true);
            FeedDecided(std::exchange(pending_, {}));
        }
        if (encoding_ == Encoding::Bytes) {
            ParseLines(std::string_view(pending_));
        } else if (!error_) {
            // A file cut short mid-unit: the lost unit is marked where it was, and every whole line still
            // counts.
            if (!pending_.empty())
                pendingUnits_.push_back(u'\ufffd');
            ParseLines(std::u16string_view(pendingUnits_));
        }
    } catch (const std::bad_alloc &) {
        Fail(WordListError::OutOfMemory);
    }
    Release();
    if (error_)
        return *error_;
    return std::move(list_);
}
