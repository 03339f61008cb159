// Answers the program's message boxes in tests and keeps what they said.
#pragma once

#include <functional>
#include <vector>

#include "platform/messagebox.h"

class MessageRecorder
{
public:
    // onShow runs while the "box" is up, as a user would act before dismissing it.
    explicit MessageRecorder(std::function<void(const platform::Message &)> onShow = {})
    {
        platform::SetMessageHandler([this, onShow](const platform::Message &message) {
            messages.push_back(message);
            if (onShow)
                onShow(message);
        });
    }
    ~MessageRecorder() { platform::SetMessageHandler({}); }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    std::vector<platform::Message> messages;
};
