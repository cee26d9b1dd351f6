#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
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
    QPointer<QAction> m_cKopeeriMenuu;
    QPointer<QAction> m_cValiKoikMenuu;
    QPointer<QAction> m_cOtsiMenuu;
    QPointer<QAction> m_cSuurendaMenuu;
    QPointer<QAction> m_cVahendaMenuu;
    QPointer<QAction> m_cTegelikSuurusMenuu;
    QPointer<QAction> m_cAvaAkenMenuu;
    QPointer<QAction> m_cLaadiUuestiMenuu;
    QPointer<QAction> m_cPrindiMenuu;
    QPointer<QAction> m_cEkspordiMenuu;
    QPointer<QAction> m_cOtsiJargmineMenuu;
    QPointer<QAction> m_cOtsiEelmineMenuu;
    // "Viimati avatud": the recent documents, filled each time it opens.
    QPointer<QMenu> m_cViimatiMenuu;

    // Called by the window controller once its window is built.
    void windowDidLoad(WindowController* cWindowController);

    void KuiAva();
    // Both bring the window forward first.
    void KuiKopeeri();
    void KuiValiKoik();
    // Brings the window forward and puts the keyboard into the search field, its text selected.
    void KuiOtsi();
    void KuiAvaAken();
    // Whether a menu item is enabled: copy exactly while something is selected, every other item
    // always.
    bool validateMenuItem(const QAction* cMenuu) const;
    // Qt keeps an item's enabled state rather than asking for it; every refresh updates it.
    void UuendaMenuu();
    // Fills "Viimati avatud" with the recent documents as the settings hold them now.
    void TaidaViimatiMenuu();

private:
    void LooMenuu(QMenuBar* cMenuuriba);
};
