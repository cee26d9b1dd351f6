#pragma once

#include "platform/messagebox.h"

#include <QString>
#include <vector>

// Records every message box shown while it lives, instead of blocking on a modal dialog.
class MessageRecorder {
public:
    struct Message {
        QString title;
        QString text;
    };

    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<Message> messages;
};

// A path under tests/data.
QString testDataPath(const QString& name);
