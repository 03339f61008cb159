// The hidden holder of the word list: entries in file order, never shown and never edited by the user.
#pragma once

#include <string>
#include <vector>

#include <QWidget>

class WordListHolder final : public QWidget
{
    Q_OBJECT

public:
    explicit WordListHolder(QWidget *parent = nullptr)
        : QWidget(parent)
    {
        setVisible(false);
        setFocusPolicy(Qt::NoFocus);
    }

    void addItem(std::u16string entry) { entries_.push_back(std::move(entry)); }
    void setItems(std::vector<std::u16string> entries) { entries_ = std::move(entries); }
    int count() const { return static_cast<int>(entries_.size()); }
    const std::vector<std::u16string> &items() const { return entries_; }

private:
    std::vector<std::u16string> entries_;
};
