// The word list the window holds: entries in file order, never shown to or edited by the user.
#pragma once

#include <optional>
#include <string_view>
#include <utility>

#include <QObject>
#include <QString>

#include "wordlist/searchablelist.h"

// A plain object rather than a hidden widget, so it takes no focus and stays out of the accessibility tree.
// The entries and their matcher are the core's; the window adds the file's name for its messages.
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
        words_.SetEntries(std::move(entries));
        path_ = path;
    }
    const WordList &items() const { return words_.Entries(); }
    const QString &path() const { return path_; }

    // The counts of all 26 rotations, or nothing when memory runs out; then the list is let go.
    std::optional<RotationCounts> countRotations(std::u16string_view text)
    {
        return words_.CountRotations(text);
    }

private:
    SearchableWordList words_;
    QString path_;
};
