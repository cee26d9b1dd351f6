#pragma once

#include <QString>
#include <functional>

// The one way the program tells the user about a failure: a modal warning with a title, a text and
// one "OK" button. Tests and headless runs install a handler that records the message instead of
// blocking on a modal dialog.
using MessageBoxHandler = std::function<bool(const QString& title, const QString& text)>;

// Installs `handler` in place of the modal dialog; an empty handler restores the dialog.
void setMessageBoxHandler(MessageBoxHandler handler);

// Whether modal dialogs can be shown: not without a display (the offscreen and minimal platforms),
// where a dialog would wait for a click that can never come.
bool canShowDialogs();

// Shows the warning and waits until it is closed; true when "OK" was pressed.
bool showWarningMessage(const QString& title, const QString& text);
