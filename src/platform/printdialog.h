#pragma once

#include <functional>

class QPrinter;
class QWidget;

// Tests install a handler that answers in place of the user: it gets the printer the dialog would
// have set up (and may set it up itself, to print into a PDF file) and says whether to print.
using PrintDialogHandler = std::function<bool(QPrinter& printer)>;

// Installs `handler` in place of the dialog; an empty handler restores the dialog.
void setPrintDialogHandler(PrintDialogHandler handler);

// Shows Qt's print dialog modally over `parent` for `printer` and waits; true when the user chose
// to print. Without a display nothing can be chosen, and the dialog is not shown.
bool runPrintDialog(QWidget* parent, QPrinter& printer);
