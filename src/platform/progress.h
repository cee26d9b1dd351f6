#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// A long task's progress, shown in a modal dialog with a cancel button once the task has run for
// kProgressDelayMs; a shorter task shows nothing. The dialog is modal so that nothing can be started
// in the window while the task runs, yet the window keeps repainting. Tests and headless runs install
// a handler that answers in place of the dialog.
inline constexpr int kProgressDelayMs = 300;

// Gets the dialog's label and the part done (0 ... 1) at every report, without the delay; false
// cancels the task.
using ProgressHandler = std::function<bool(const QString& label, double done)>;

// Installs `handler` in place of the dialog; an empty handler restores the dialog.
void setProgressHandler(ProgressHandler handler);

// One task's progress; the dialog closes when the report is destroyed.
class ProgressReport {
public:
    ProgressReport(QWidget* parent, const QString& label);
    ~ProgressReport();
    ProgressReport(const ProgressReport&) = delete;
    ProgressReport& operator=(const ProgressReport&) = delete;

    // Reports that `done` (0 ... 1) of the task is done; false once the user has cancelled, by the
    // button or Escape. While the dialog shows, a report also handles the events waiting, so that the
    // window repaints and the cancel reaches the dialog; reports close together handle them at most
    // every few milliseconds.
    bool report(double done);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
