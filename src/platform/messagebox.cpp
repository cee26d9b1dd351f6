#include "platform/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace {

MessageBoxHandler& installedHandler() {
    static MessageBoxHandler handler;
    return handler;
}

} // namespace

bool canShowDialogs() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void setMessageBoxHandler(MessageBoxHandler handler) {
    installedHandler() = std::move(handler);
}

bool showWarningMessage(const QString& title, const QString& text) {
    // A copy, so that a handler may replace itself while it runs.
    if (const MessageBoxHandler handler = installedHandler())
        return handler(title, text);
    if (!canShowDialogs()) {
        std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return true;
    }

    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(title);
    // The title is the bold headline above the text.
    box.setTextFormat(Qt::RichText);
    box.setText(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()));
    // Always markup, with the text escaped, so that an error description containing "<" is shown
    // as it is rather than taken for markup.
    box.setInformativeText(
        QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"))));
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok;
}
