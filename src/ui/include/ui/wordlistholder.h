// The word list the window holds: entries in file order, never shown to or edited by the user.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

#include <QObject>
#include <QString>

#include "wordlist/matcher.h"
#include "wordlist/search.h"
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

    // `path` names the file in messages about it.
    void setItems(WordList entries, const QString &path = {})
    {
        entries_ = std::move(entries);
        path_ = path;
        matcher_.reset();
    }
    std::uint64_t count() const { return entries_.size(); }
    const WordList &items() const { return entries_; }
    const QString &path() const { return path_; }

    // The counts of all 26 rotations, or nothing when the matcher or the search does not fit in memory;
    // then the list is let go, as it can no longer be used.
    std::optional<RotationCounts> countRotations(std::u16string_view text)
    {
        try {
            // Built on first use and kept: the list is filled once at start-up and never changes
            // afterwards, and a start-up that never uses AutoRot should not pay for it.
            if (!matcher_)
                matcher_ = std::make_unique<const WordMatcher>(entries_);
            return CountRotations(*matcher_, text);
        } catch (const std::bad_alloc &) {
            matcher_.reset();
            entries_ = WordList();
            return std::nullopt;
        }
    }

private:
    WordList entries_;
    QString path_;
    std::unique_ptr<const WordMatcher> matcher_;
};
