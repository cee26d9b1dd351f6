#pragma once

#include "platform/messagebox.h"
#include "platform/pasteboard.h"

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>
#include <ostream>
#include <vector>

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

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

// Records what is written to the pasteboard and offered to the selection clipboard while it lives,
// instead of touching the system clipboard.
class PasteboardRecorder {
public:
    PasteboardRecorder();
    ~PasteboardRecorder();
    PasteboardRecorder(const PasteboardRecorder&) = delete;
    PasteboardRecorder& operator=(const PasteboardRecorder&) = delete;

    std::vector<PasteboardItems> writes;
    std::vector<TextProducer> offers;
};

// A path under tests/data.
QString testDataPath(const QString& name);

// An image file of w x h pixels in one colour, recording dotsPerMeter (5669 is 144 dpi, 3780 is 96).
QByteArray imageFile(int w, int h, int dotsPerMeter, const char* format = "PNG", QColor colour = Qt::red);
// The same with a resolution of its own along each axis.
QByteArray imageFile(int w, int h, QSize dotsPerMeter, const char* format = "PNG", QColor colour = Qt::red);
