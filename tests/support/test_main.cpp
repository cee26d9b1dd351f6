#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Tests run headless and must not depend on the machine's display or font DPI settings.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings (the recent documents, the window's place) go to a folder of this run's own, never
    // the user's; the programs the tests start inherit it through the environment.
    QTemporaryDir seaded;
    if (!seaded.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(seaded.path()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, seaded.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, seaded.path());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
