#include "testsupport.h"

#include "ViewController.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

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

ShownDocument::ShownDocument(const QString& vlm, QSize visible)
    : window(std::make_unique<ViewController>()), view(*window->m_cTekstiboks) {
    window->show();
    window->SeaNahtavaAla(visible);
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_TRUE(view.AvaFail(vlm));
    view.setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(view.hasFocus());
}

ShownDocument::~ShownDocument() = default;

QRectF ShownDocument::box(qint64 k) const {
    const std::optional<qint64> line = view.LeiaRida(k);
    if (!line)
        return {};
    const RIDA& rida = view.m_arrRIDA[size_t(*line)];
    const ELEMENT& e = *rida.m_arrELEMENT[size_t(k - view.m_arrReaAlgus[size_t(*line)])];
    return QRectF(view.m_cServad.width() + e.m_ptPos->x(),
                  view.m_cServad.height() + view.m_arrReaY[size_t(*line)], e.laius(),
                  rida.m_fKoguKorgus.value_or(0.0));
}

QPoint ShownDocument::centre(qint64 k) const {
    return view.TooVidinaPunkt(box(k).center()).toPoint();
}

HangGuard::HangGuard(int seconds, const char* what) {
    m_thread = std::thread([this, seconds, what] {
        std::unique_lock lock(m_mutex);
        if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_finished; })) {
            std::fprintf(stderr, "Still running after %d s, taken for a hang: %s\n", seconds, what);
            std::abort();
        }
    });
}

HangGuard::~HangGuard() {
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_done.notify_one();
    m_thread.join();
}
