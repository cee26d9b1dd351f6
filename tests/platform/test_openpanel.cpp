#include "platform/openpanel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The names the dialog lists in its current folder, once its model has read at least nAtLeast of them
// and then had time to add any others.
QStringList listedNames(QFileDialog& dialog, qsizetype nAtLeast) {
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    if (!view)
        return {};
    const auto names = [view] {
        QStringList list;
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            list << view->model()->index(row, 0, root).data().toString();
        list.sort();
        return list;
    };
    const QDeadlineTimer deadline(10000);
    while (names().size() < nAtLeast && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    const QDeadlineTimer settle(300);
    while (!settle.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return names();
}

} // namespace

TEST(OpenPanel, ShowsOnlyVisibleVlmDocumentsAndFoldersAndCanCreateFolders) {
    QTemporaryDir dir;
    for (const char* name : {"kiri.vlm", "muu.txt", ".peidetud.vlm", "vlm"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("kaust"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(".peidetud"));

    OpenPanelSettings settings;
    settings.nameFilters = {"VLM-dokumendid (*.vlm)"};
    settings.directory = dir.path();
    QFileDialog dialog;
    configureFileDialog(dialog, settings);
    dialog.show();

    EXPECT_EQ(listedNames(dialog, 2), QStringList({"kaust", "kiri.vlm"}));
    // One existing file, to open.
    EXPECT_TRUE(dialog.fileMode() == QFileDialog::ExistingFile &&
                dialog.acceptMode() == QFileDialog::AcceptOpen);
    auto* newFolder = dialog.findChild<QToolButton*>(QStringLiteral("newFolderButton"));
    ASSERT_NE(newFolder, nullptr);
    EXPECT_TRUE(newFolder->isEnabled());
}
