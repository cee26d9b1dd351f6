#include "platform/progress.h"

#include "platform/messagebox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

ProgressHandler& installedHandler() {
    static ProgressHandler handler;
    return handler;
}

// The dialog's bar counts in steps of a thousandth.
constexpr int kSteps = 1000;
// Events are handled at most this often; handling them at every report would cost more than the task.
constexpr qint64 kEventIntervalMs = 15;

} // namespace

struct ProgressReport::State {
    QPointer<QWidget> parent;
    QString label;
    QElapsedTimer started;
    qint64 lastEventsMs = 0;
    // The parent owns the dialog too; should the parent go first, the pointer turns null.
    QPointer<QProgressDialog> dialog;
    bool opened = false;
    bool cancelled = false;

    ~State() { delete dialog.data(); }
};

void setProgressHandler(ProgressHandler handler) {
    installedHandler() = std::move(handler);
}

ProgressReport::ProgressReport(QWidget* parent, const QString& label) : m_state(std::make_unique<State>()) {
    m_state->parent = parent;
    m_state->label = label;
    m_state->started.start();
}

ProgressReport::~ProgressReport() = default;

bool ProgressReport::report(double done) {
    State& s = *m_state;
    if (s.cancelled)
        return false;
    if (const ProgressHandler handler = installedHandler()) {
        s.cancelled = !handler(s.label, done);
        return !s.cancelled;
    }
    if (!canShowDialogs())
        return true;

    const qint64 nowMs = s.started.elapsed();
    if (!s.opened) {
        if (nowMs < kProgressDelayMs)
            return true;
        s.opened = true;
        s.dialog = new QProgressDialog(s.label, QStringLiteral("Katkesta"), 0, kSteps, s.parent);
        s.dialog->setWindowTitle(QStringLiteral("Velmora"));
        s.dialog->setWindowModality(Qt::ApplicationModal);
        // Shown now, by this report, and left open until the task ends.
        s.dialog->setMinimumDuration(0);
        s.dialog->setAutoClose(false);
        s.dialog->setAutoReset(false);
        s.dialog->show();
    } else if (nowMs - s.lastEventsMs < kEventIntervalMs) {
        return true;
    }
    if (!s.dialog) {
        // The window went away, and the task with it.
        s.cancelled = true;
        return false;
    }
    s.lastEventsMs = nowMs;
    const double part = std::isfinite(done) ? std::clamp(done, 0.0, 1.0) : 0.0;
    s.dialog->setValue(int(std::lround(part * kSteps)));
    QCoreApplication::processEvents();
    s.cancelled = s.dialog->wasCanceled();
    return !s.cancelled;
}
