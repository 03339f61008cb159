// The word list the window holds: entries in file order, never shown to or edited by the user.
#pragma once

#include <cstdint>
#include <memory>

#include <QObject>

#include "wordlist/wordlist.h"

// A plain object rather than a hidden widget, so it takes no focus and stays out of the accessibility tree.
class WordListHolder final : public QObject
{
    Q_OBJECT

public:
    explicit WordListHolder(QObject *parent = nullptr)
        : QObject(parent)
    {
    }

    void setItems(WordList entries)
    {
        entries_ = std::move(entries);
        matcher_.reset();
    }
    std::uint64_t count() const { return entries_.size(); }
    const WordList &items() const { return entries_; }

    // Built on first use and kept: the list is filled once at start-up and never changes afterwards, and
    // a start-up that never uses AutoRot should not pay for it.
    const WordMatcher &matcher() const
    {
        if (!matcher_)
            matcher_ = std::make_unique<const WordMatcher>(entries_);
        return *matcher_;
    }

private:
    WordList entries_;
    mutable std::unique_ptr<const WordMatcher> matcher_;
};
