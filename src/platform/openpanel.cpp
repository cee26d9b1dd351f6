#include "platform/openpanel.h"

#include "platform/messagebox.h"

#include <QFileDialog>

namespace {

OpenPanelHandler& installedHandler() {
    static OpenPanelHandler handler;
    return handler;
}

} // namespace

void setOpenPanelHandler(OpenPanelHandler handler) {
    installedHandler() = std::move(handler);
}

void configureFileDialog(QFileDialog& dialog, const OpenPanelSettings& settings) {
    // Qt's own dialog rather than the desktop's: only it honours every setting (hidden files and
    // folder creation among them) on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(settings.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (settings.canChooseDirectories)
        dialog.setFileMode(QFileDialog::Directory);
    else
        dialog.setFileMode(settings.allowsMultipleSelection ? QFileDialog::ExistingFiles
                                                            : QFileDialog::ExistingFile);
    dialog.setNameFilters(settings.nameFilters);
    QDir::Filters filter = dialog.filter();
    filter.setFlag(QDir::Hidden, settings.showsHiddenFiles);
    dialog.setFilter(filter);
    // A read-only dialog has no "Create New Folder" (nor renaming or deleting).
    dialog.setOption(QFileDialog::ReadOnly, !settings.canCreateDirectories);
    dialog.setSizeGripEnabled(settings.showsResizeIndicator);
    if (!settings.directory.isEmpty())
        dialog.setDirectory(settings.directory);
}

QStringList runOpenPanel(QWidget* parent, const OpenPanelSettings& settings) {
    if (const OpenPanelHandler handler = installedHandler())
        return handler(settings);
    if (!canShowDialogs())
        return {};

    QFileDialog dialog(parent);
    configureFileDialog(dialog, settings);
    dialog.raise();
    dialog.activateWindow();
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}
