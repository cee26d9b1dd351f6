#pragma once

#include "platform/messagebox.h"
#include "platform/pasteboard.h"

#include <QByteArray>
#include <QColor>
#include <QRectF>
#include <QSize>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

class Tekstiboks;
class ViewController;

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

// The window's content, shown and active, with the document `vlm` open, a visible document area of
// exactly `visible` and the focus in the document view: the view as a user meets it.
class ShownDocument {
public:
    explicit ShownDocument(const QString& vlm, QSize visible = QSize(400, 300));
    ~ShownDocument();

    std::unique_ptr<ViewController> window;
    Tekstiboks& view;

    // Element k's hit box in view coordinates: its slot in its line, as high as the line.
    QRectF box(qint64 k) const;
    // A point well inside that box, in the view widget's own coordinates (where mouse events go).
    QPoint centre(qint64 k) const;
};

// Ends the test program with a message when the scope it guards has not ended within `seconds`: a
// guard against a hang that would otherwise stall the whole run, never a measure of speed.
class HangGuard {
public:
    HangGuard(int seconds, const char* what);
    ~HangGuard();
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};
