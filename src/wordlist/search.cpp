// Counting the word list in all 26 rotations of a text with one pass of the rotation-blind automaton.
#include "wordlist/search.h"

#include <bit>
#include <cstddef>
#include <vector>

namespace
{
constexpr std::uint32_t kAllSteps = (std::uint32_t {1} << kAlphabetSize) - 1;
// A key found where no letter stands before it.
constexpr std::uint32_t kNoLetterBefore = std::uint32_t {1} << kAlphabetSize;

// The step that turns text letter `from` into entry letter `to`: 1 to 26, 26 for none.
int StepBetween(int from, int to)
{
    const int step = LetterDistance(from, to);
    return step == 0 ? kAlphabetSize : step;
}

std::uint32_t StepBit(int from, int to)
{
    return std::uint32_t {1} << (StepBetween(from, to) - 1);
}

// What one pass finds: for each key the letters seen right before it, and for each checked entry the
// steps it was found at. The steps of every other entry follow from its key's letters.
class Finds
{
public:
    Finds(const WordMatcher &matcher, std::u16string_view text)
        : matcher_(matcher)
        , text_(text)
        , lettersBefore_(matcher.KeyCount(), 0)
        , checkedSteps_(matcher.EntryCount(), 0)
    {
    }

    // The keys found at `at`, longest first; `previous` is the last letter up to there.
    void Found(std::uint32_t key, std::size_t at, int previous)
    {
        for (; key != WordMatcher::kNone; key = matcher_.NextKey(key)) {
            std::size_t end = at;
            if (matcher_.HasTail(key)) {
                const std::u16string_view tail = matcher_.Tail(key);
                if (!TailFollows(tail, at, previous))
                    continue;
                end += tail.size();
            }
            const std::size_t length = matcher_.KeyLength(key);
            const bool letterBefore = end >= length && IsAsciiLetter(text_[end - length]);
            const std::uint32_t bit
                = letterBefore ? std::uint32_t {1} << LetterIndex(text_[end - length]) : kNoLetterBefore;
            std::uint32_t &seen = lettersBefore_[key];
            // Every key down the chain lies inside this one, so with this letter before it they were all
            // counted the first time: only a checked entry or a tail down there could still differ.
            if ((seen & bit) != 0 && letterBefore && !matcher_.CheckedBelow(key))
                return;
            seen |= bit;
            if (matcher_.HasChecked(key))
                FoundChecked(key, end);
        }
    }

    void AddTo(std::array<std::uint64_t, kAlphabetSize> &byStep) const
    {
        using Anchor = WordMatcher::Anchor;
        for (std::uint32_t key = 0; key < lettersBefore_.size(); ++key) {
            const std::uint32_t seen = lettersBefore_[key];
            for (std::uint32_t entry = matcher_.KeyEntriesBegin(key); entry < matcher_.KeyEntriesEnd(key);
                 ++entry) {
                const WordMatcher::Entry e = matcher_.EntryAt(entry);
                std::uint32_t steps = 0;
                if (WordMatcher::IsChecked(e)) {
                    steps = checkedSteps_[entry];
                } else if (e.anchor == Anchor::None) {
                    steps = seen != 0 ? kAllSteps : 0;
                } else {
                    for (std::uint32_t letters = seen & ~kNoLetterBefore; letters != 0;
                         letters &= letters - 1)
                        steps |= StepBit(std::countr_zero(letters), e.letter);
                }
                for (; steps != 0; steps &= steps - 1)
                    byStep[static_cast<std::size_t>(std::countr_zero(steps))] += matcher_.Copies(entry);
            }
        }
    }

private:
    bool TailFollows(std::u16string_view tail, std::size_t at, int previous) const
    {
        if (tail.size() >= text_.size() - at)
            return false;
        for (std::size_t i = 0; i < tail.size(); ++i) {
            const char16_t unit = text_[at + 1 + i];
            std::uint16_t symbol = matcher_.UnitSymbol(unit);
            if (IsAsciiLetter(unit)) {
                const int letter = LetterIndex(unit);
                symbol = WordMatcher::LetterSymbol(LetterDistance(previous, letter));
                previous = letter;
            }
            if (symbol != tail[i])
                return false;
        }
        return true;
    }

    void FoundChecked(std::uint32_t key, std::size_t at)
    {
        using Anchor = WordMatcher::Anchor;
        const std::size_t length = matcher_.KeyLength(key);
        for (std::uint32_t entry = matcher_.KeyEntriesBegin(key); entry < matcher_.KeyEntriesEnd(key);
             ++entry) {
            const WordMatcher::Entry e = matcher_.EntryAt(entry);
            if (!WordMatcher::IsChecked(e))
                continue;
            if (e.anchor == Anchor::AfterKey) {
                if (at + 1 < text_.size() && IsAsciiLetter(text_[at + 1]))
                    checkedSteps_[entry] |= StepBit(LetterIndex(text_[at + 1]), e.letter);
                continue;
            }
            const std::u16string_view prefix = matcher_.Prefix(e);
            if (at < length + prefix.size() || !IsAsciiLetter(text_[at - length]))
                continue;
            const std::size_t anchor = at - length;
            if (text_.substr(anchor - prefix.size(), prefix.size()) == prefix)
                checkedSteps_[entry] |= StepBit(LetterIndex(text_[anchor]), e.letter);
        }
    }

    const WordMatcher &matcher_;
    std::u16string_view text_;
    std::vector<std::uint32_t> lettersBefore_;
    std::vector<std::uint32_t> checkedSteps_;
};
} // namespace

RotationCounts CountRotations(const WordMatcher &matcher, std::u16string_view text)
{
    RotationCounts counts;
    Finds finds(matcher, text);
    std::uint32_t lettersPresent = 0;
    int previous = 0;
    std::uint32_t state = WordMatcher::kStart;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        std::uint16_t symbol;
        if (IsAsciiLetter(unit)) {
            const int letter = LetterIndex(unit);
            symbol = WordMatcher::LetterSymbol(LetterDistance(previous, letter));
            previous = letter;
            lettersPresent |= std::uint32_t {1} << letter;
        } else {
            symbol = matcher.UnitSymbol(unit);
        }
        state = symbol == 0 ? WordMatcher::kStart : matcher.Step(state, symbol);
        finds.Found(matcher.FirstKey(state), at, previous);
    }
    finds.AddTo(counts.byStep);
    // A lone letter is found at every step that some letter of the text turns into it.
    for (int letter = 0; letter < kAlphabetSize; ++letter) {
        const std::uint64_t copies = matcher.LoneLetterCopies(letter);
        if (copies == 0)
            continue;
        for (int from = 0; from < kAlphabetSize; ++from)
            if (lettersPresent & (std::uint32_t {1} << from))
                counts.byStep[static_cast<std::size_t>(StepBetween(from, letter) - 1)] += copies;
    }
    for (int step = 1; step <= kAlphabetSize; ++step)
        counts.verdict.Consider(step, counts.byStep[static_cast<std::size_t>(step - 1)]);
    return counts;
}

std::uint64_t CountMatches(const WordMatcher &matcher, std::u16string_view text)
{
    return CountRotations(matcher, text).byStep[kAlphabetSize - 1];
}
