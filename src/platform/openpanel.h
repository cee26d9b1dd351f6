#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QFileDialog;
class QWidget;

// How the open panel looks and what it lets the user choose.
struct OpenPanelSettings {
    QString title;
    // Qt name filters, such as "VLM-dokumendid (*.vlm)"; only files they match are listed.
    QStringList nameFilters;
    // The folder the panel starts in; empty for the working folder.
    QString directory;
    bool showsResizeIndicator = true;
    bool showsHiddenFiles = false;
    bool canChooseDirectories = false;
    bool canCreateDirectories = true;
    bool allowsMultipleSelection = false;
};

// Tests install a handler that answers in place of the user; it gets the settings the panel would
// have been shown with and returns the chosen paths (none for a cancelled panel).
using OpenPanelHandler = std::function<QStringList(const OpenPanelSettings& settings)>;

// Installs `handler` in place of the panel; an empty handler restores the panel.
void setOpenPanelHandler(OpenPanelHandler handler);

// Shows the panel modally over `parent` and waits; the absolute paths chosen, or none when the user
// cancelled. Without a display nothing can be chosen, and the panel is not shown.
QStringList runOpenPanel(QWidget* parent, const OpenPanelSettings& settings);

// Gives the dialog the settings; the panel uses it, and it lets the dialog itself be inspected.
void configureFileDialog(QFileDialog& dialog, const OpenPanelSettings& settings);

// How the save panel looks and what it suggests.
struct SavePanelSettings {
    QString title;
    QStringList nameFilters;
    // The folder the panel starts in, and the name it suggests there.
    QString directory;
    QString fileName;
    // Added to a chosen name that has no suffix, such as "pdf".
    QString defaultSuffix;
};

// Tests install a handler that answers in place of the user: the path chosen, or an empty text for a
// cancelled panel.
using SavePanelHandler = std::function<QString(const SavePanelSettings& settings)>;
void setSavePanelHandler(SavePanelHandler handler);

// Shows the panel modally over `parent` and waits; the absolute path to write, after the user has
// agreed to replace an existing file, or an empty text when the user cancelled. Without a display
// nothing can be chosen.
QString runSavePanel(QWidget* parent, const SavePanelSettings& settings);
