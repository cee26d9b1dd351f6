#include "platform/openpanel.h"

#include "platform/messagebox.h"

#include <QFileDialog>

namespace {

OpenPanelHandler& installedHandler() {
    static OpenPanelHandler handler;
    return handler;
}

SavePanelHandler& installedSaveHandler() {
    static SavePanelHandler handler;
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

void setSavePanelHandler(SavePanelHandler handler) {
    installedSaveHandler() = std::move(handler);
}

QString runSavePanel(QWidget* parent, const SavePanelSettings& settings) {
    if (const SavePanelHandler handler = installedSaveHandler())
        return handler(settings);
    if (!canShowDialogs())
        return {};

    QFileDialog dialog(parent);
    // Qt's own dialog, as for opening, so that both look and behave alike on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(settings.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(settings.nameFilters);
    dialog.setDefaultSuffix(settings.defaultSuffix);
    if (!settings.directory.isEmpty())
        dialog.setDirectory(settings.directory);
    if (!settings.fileName.isEmpty())
        dialog.selectFile(settings.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
