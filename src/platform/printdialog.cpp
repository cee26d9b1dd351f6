#include "platform/printdialog.h"

#include "platform/messagebox.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {

PrintDialogHandler& installedHandler() {
    static PrintDialogHandler handler;
    return handler;
}

} // namespace

void setPrintDialogHandler(PrintDialogHandler handler) {
    installedHandler() = std::move(handler);
}

bool runPrintDialog(QWidget* parent, QPrinter& printer) {
    if (const PrintDialogHandler handler = installedHandler())
        return handler(printer);
    if (!canShowDialogs())
        return false;

    QPrintDialog dialog(&printer, parent);
    // Pages can be chosen; there is no current page or selection to print.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}
