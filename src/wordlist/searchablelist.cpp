// The matcher's life: built on the first search, kept, and let go with the entries when memory runs out.
#include "wordlist/searchablelist.h"

#include <new>
#include <utility>

void SearchableWordList::SetEntries(WordList entries)
{
    matcher_.reset();
    entries_ = std::move(entries);
}

std::optional<RotationCounts> SearchableWordList::CountRotations(std::u16string_view text)
{
    try {
        if (!matcher_)
            matcher_ = std::make_unique<const WordMatcher>(entries_);
        return ::CountRotations(*matcher_, text);
    } catch (const std::bad_alloc &) {
        matcher_.reset();
        entries_ = WordList();
        return std::nullopt;
    }
}
