#include "testsupport.h"

MessageRecorder::MessageRecorder() {
    setMessageBoxHandler([this](const QString& title, const QString& text) {
        messages.push_back({title, text});
        return true;
    });
}

MessageRecorder::~MessageRecorder() {
    setMessageBoxHandler({});
}

QString testDataPath(const QString& name) {
    return QStringLiteral(VELMORA_TEST_DATA "/") + name;
}
