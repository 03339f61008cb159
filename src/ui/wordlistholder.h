// The word list the window holds: entries in file order, never shown to or edited by the user.
#pragma once

#include <string>
#include <vector>

#include <QObject>

// A plain object rather than a hidden widget, so it takes no focus and stays out of the accessibility tree.
class WordListHolder final : public QObject
{
    Q_OBJECT

public:
    explicit WordListHolder(QObject *parent = nullptr)
        : QObject(parent)
    {
    }

    void setItems(std::vector<std::u16string> entries) { entries_ = std::move(entries); }
    int count() const { return static_cast<int>(entries_.size()); }
    const std::vector<std::u16string> &items() const { return entries_; }

private:
    std::vector<std::u16string> entries_;
};
