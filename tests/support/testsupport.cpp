#include "testsupport.h"

#include <QBuffer>
#include <QImage>

MessageRecorder::MessageRecorder() {
    setMessageBoxHandler([this](const QString& title, const QString& text) {
        messages.push_back({title, text});
        return true;
    });
}

MessageRecorder::~MessageRecorder() {
    setMessageBoxHandler({});
}

PasteboardRecorder::PasteboardRecorder() {
    setPasteboardHandler({[this](const PasteboardItems& items) { writes.push_back(items); },
                          [this](TextProducer produce) { offers.push_back(std::move(produce)); }});
}

PasteboardRecorder::~PasteboardRecorder() {
    setPasteboardHandler({});
}

QString testDataPath(const QString& name) {
    return QStringLiteral(VELMORA_TEST_DATA "/") + name;
}

QByteArray imageFile(int w, int h, int dotsPerMeter, const char* format, QColor colour) {
    return imageFile(w, h, QSize(dotsPerMeter, dotsPerMeter), format, colour);
}

QByteArray imageFile(int w, int h, QSize dotsPerMeter, const char* format, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    image.setDotsPerMeterX(dotsPerMeter.width());
    image.setDotsPerMeterY(dotsPerMeter.height());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, format);
    return bytes;
}
