#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMenuBar;
class WindowController;

// The application's menu commands. The window registers itself here when it is built, and the
// delegate fills the window's menu bar (on Linux the menu bar is part of the window).
class AppDelegate : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    QPointer<WindowController> m_cWindowController;

    // The menu items.
    QPointer<QAction> m_cAvaMenuu;
    QPointer<QAction> m_cValjuMenuu;
    QPointer<QAction> m_cOtsiMenuu;
    QPointer<QAction> m_cSuurendaMenuu;
    QPointer<QAction> m_cVahendaMenuu;
    QPointer<QAction> m_cTegelikSuurusMenuu;
    QPointer<QAction> m_cAvaAkenMenuu;

    // Called by the window controller once its window is built.
    void windowDidLoad(WindowController* cWindowController);

    void KuiAva();
    // Brings the window forward and puts the keyboard into the search field, its text selected.
    void KuiOtsi();
    void KuiAvaAken();

private:
    void LooMenuu(QMenuBar* cMenuuriba);
};
