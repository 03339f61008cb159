// The program's one way of telling the user something: a modal box with one OK button.
#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace platform
{

enum class MessageIcon { Information, Exclamation, Critical };

struct Message {
    QString title;
    // Written with CR LF breaks, as the program's texts are; ShowMessage hands Qt LF alone, its one break.
    QString text;
    MessageIcon icon;
};

// Shows the box and returns once the user has dismissed it.
void ShowMessage(QWidget *parent, const Message &message);

// Lets tests answer boxes themselves instead of blocking on a modal one; an empty handler restores the box.
using MessageHandler = std::function<void(const Message &)>;
void SetMessageHandler(MessageHandler handler);

} // namespace platform
