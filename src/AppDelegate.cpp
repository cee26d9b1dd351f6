#include "AppDelegate.h"

#include "ViewController.h"
#include "WindowController.h"
#include "tekst/Tekstiboks.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMenuBar>

AppDelegate::AppDelegate(QObject* parent) : QObject(parent) {
    // On Linux the menu bar lives in the window: a program left running without its window could be
    // neither reached nor quit. Closing the window ends the program.
    QApplication::setQuitOnLastWindowClosed(true);

    m_cAvaMenuu = new QAction(QIcon::fromTheme(QStringLiteral("document-open"),
                                               QIcon(QStringLiteral(":/ikoonid/document-open.svg"))),
                              QStringLiteral("&Ava…"), this);
    m_cAvaMenuu->setShortcut(QKeySequence::Open);
    connect(m_cAvaMenuu, &QAction::triggered, this, &AppDelegate::KuiAva);

    m_cValjuMenuu =
        new QAction(QIcon::fromTheme(QStringLiteral("application-exit")), QStringLiteral("&Välju"), this);
    m_cValjuMenuu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_cValjuMenuu->setMenuRole(QAction::QuitRole);
    connect(m_cValjuMenuu, &QAction::triggered, qApp, &QCoreApplication::quit);

    m_cSuurendaMenuu =
        new QAction(QIcon::fromTheme(QStringLiteral("zoom-in")), QStringLiteral("&Suurenda"), this);
    // Ctrl+= as well: on many keyboards "+" is "=" with Shift.
    m_cSuurendaMenuu->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(m_cSuurendaMenuu, &QAction::triggered, this, [this] {
        if (m_cWindowController)
            m_cWindowController->SuumiSamm(1);
    });

    m_cVahendaMenuu =
        new QAction(QIcon::fromTheme(QStringLiteral("zoom-out")), QStringLiteral("&Vähenda"), this);
    m_cVahendaMenuu->setShortcut(QKeySequence::ZoomOut);
    connect(m_cVahendaMenuu, &QAction::triggered, this, [this] {
        if (m_cWindowController)
            m_cWindowController->SuumiSamm(-1);
    });

    m_cTegelikSuurusMenuu = new QAction(QIcon::fromTheme(QStringLiteral("zoom-original")),
                                        QStringLiteral("&Tegelik suurus"), this);
    m_cTegelikSuurusMenuu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(m_cTegelikSuurusMenuu, &QAction::triggered, this, [this] {
        if (m_cWindowController)
            m_cWindowController->RakendaSuumiTekst(QStringLiteral("100%"));
    });

    m_cKopeeriMenuu = new QAction(
        QIcon::fromTheme(QStringLiteral("edit-copy"), QIcon(QStringLiteral(":/ikoonid/edit-copy.svg"))),
        QStringLiteral("&Kopeeri"), this);
    m_cKopeeriMenuu->setShortcut(QKeySequence::Copy);
    connect(m_cKopeeriMenuu, &QAction::triggered, this, &AppDelegate::KuiKopeeri);

    m_cValiKoikMenuu =
        new QAction(QIcon::fromTheme(QStringLiteral("edit-select-all")), QStringLiteral("&Vali kõik"), this);
    m_cValiKoikMenuu->setShortcut(QKeySequence::SelectAll);
    connect(m_cValiKoikMenuu, &QAction::triggered, this, &AppDelegate::KuiValiKoik);

    m_cOtsiMenuu = new QAction(
        QIcon::fromTheme(QStringLiteral("edit-find"), QIcon(QStringLiteral(":/ikoonid/edit-find.svg"))),
        QStringLiteral("&Otsi…"), this);
    m_cOtsiMenuu->setShortcut(QKeySequence::Find);
    connect(m_cOtsiMenuu, &QAction::triggered, this, &AppDelegate::KuiOtsi);

    m_cLaadiUuestiMenuu =
        new QAction(QIcon::fromTheme(QStringLiteral("view-refresh")), QStringLiteral("&Laadi uuesti"), this);
    m_cLaadiUuestiMenuu->setShortcut(QKeySequence(Qt::Key_F5));
    connect(m_cLaadiUuestiMenuu, &QAction::triggered, this, [this] {
        if (m_cWindowController && m_cWindowController->m_cViewController)
            m_cWindowController->m_cViewController->LaadiUuesti(ViewController::Laadimine::Kasitsi);
    });

    m_cPrindiMenuu =
        new QAction(QIcon::fromTheme(QStringLiteral("document-print")), QStringLiteral("&Prindi…"), this);
    m_cPrindiMenuu->setShortcut(QKeySequence::Print);
    connect(m_cPrindiMenuu, &QAction::triggered, this, [this] {
        if (m_cWindowController)
            m_cWindowController->KuiPrindi();
    });

    m_cEkspordiMenuu = new QAction(QIcon::fromTheme(QStringLiteral("document-export")),
                                   QStringLiteral("&Ekspordi PDF-iks…"), this);
    connect(m_cEkspordiMenuu, &QAction::triggered, this, [this] {
        if (m_cWindowController)
            m_cWindowController->KuiEkspordiPdf();
    });

    m_cOtsiJargmineMenuu = new QAction(QStringLiteral("Otsi &järgmine"), this);
    m_cOtsiJargmineMenuu->setShortcuts(QKeySequence::FindNext);
    connect(m_cOtsiJargmineMenuu, &QAction::triggered, this, [this] {
        if (m_cWindowController && m_cWindowController->m_cViewController)
            m_cWindowController->m_cViewController->OtsiJargmine();
    });

    m_cOtsiEelmineMenuu = new QAction(QStringLiteral("Otsi &eelmine"), this);
    m_cOtsiEelmineMenuu->setShortcuts(QKeySequence::FindPrevious);
    connect(m_cOtsiEelmineMenuu, &QAction::triggered, this, [this] {
        if (m_cWindowController && m_cWindowController->m_cViewController)
            m_cWindowController->m_cViewController->OtsiEelmine();
    });

    m_cAvaAkenMenuu = new QAction(QStringLiteral("&Velmora"), this);
    connect(m_cAvaAkenMenuu, &QAction::triggered, this, &AppDelegate::KuiAvaAken);
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::windowDidLoad(WindowController* cWindowController) {
    m_cWindowController = cWindowController;
    LooMenuu(cWindowController->menuBar());
    connect(cWindowController->m_cViewController, &ViewController::varskendatud, this,
            &AppDelegate::UuendaMenuu);
    UuendaMenuu();
}

void AppDelegate::LooMenuu(QMenuBar* cMenuuriba) {
    QMenu* fail = cMenuuriba->addMenu(QStringLiteral("&Fail"));
    fail->addAction(m_cAvaMenuu);
    m_cViimatiMenuu = fail->addMenu(QIcon::fromTheme(QStringLiteral("document-open-recent")),
                                    QStringLiteral("&Viimati avatud"));
    connect(m_cViimatiMenuu, &QMenu::aboutToShow, this, &AppDelegate::TaidaViimatiMenuu);
    TaidaViimatiMenuu();
    fail->addAction(m_cLaadiUuestiMenuu);
    fail->addSeparator();
    fail->addAction(m_cPrindiMenuu);
    fail->addAction(m_cEkspordiMenuu);
    fail->addSeparator();
    fail->addAction(m_cValjuMenuu);

    QMenu* redigeeri = cMenuuriba->addMenu(QStringLiteral("&Redigeeri"));
    redigeeri->addAction(m_cKopeeriMenuu);
    redigeeri->addAction(m_cValiKoikMenuu);
    redigeeri->addSeparator();
    redigeeri->addAction(m_cOtsiMenuu);
    redigeeri->addAction(m_cOtsiJargmineMenuu);
    redigeeri->addAction(m_cOtsiEelmineMenuu);

    QMenu* vaade = cMenuuriba->addMenu(QStringLiteral("&Vaade"));
    vaade->addAction(m_cSuurendaMenuu);
    vaade->addAction(m_cVahendaMenuu);
    vaade->addAction(m_cTegelikSuurusMenuu);

    QMenu* aken = cMenuuriba->addMenu(QStringLiteral("A&ken"));
    aken->addAction(m_cAvaAkenMenuu);
}

void AppDelegate::KuiAva() {
    if (!m_cWindowController)
        return;
    KuiAvaAken();
    m_cWindowController->KuiAva();
}

void AppDelegate::KuiKopeeri() {
    if (!m_cWindowController)
        return;
    KuiAvaAken();
    if (const Tekstiboks* tekstiboks = m_cWindowController->TooTekstiboks())
        tekstiboks->LoikalaudKopeeri();
}

void AppDelegate::KuiValiKoik() {
    if (!m_cWindowController)
        return;
    KuiAvaAken();
    if (Tekstiboks* tekstiboks = m_cWindowController->TooTekstiboks())
        tekstiboks->ValiKoik();
}

void AppDelegate::KuiOtsi() {
    if (!m_cWindowController)
        return;
    KuiAvaAken();
    if (m_cWindowController->m_cViewController)
        m_cWindowController->m_cViewController->FookusOtsingule();
}

void AppDelegate::KuiAvaAken() {
    if (!m_cWindowController)
        return;
    m_cWindowController->show();
    m_cWindowController->raise();
    m_cWindowController->activateWindow();
}

bool AppDelegate::validateMenuItem(const QAction* cMenuu) const {
    const Tekstiboks* tekstiboks = m_cWindowController ? m_cWindowController->TooTekstiboks() : nullptr;
    if (cMenuu == m_cKopeeriMenuu)
        return tekstiboks && tekstiboks->OnKopeeri();
    // Only a document read from a file can be read again.
    if (cMenuu == m_cLaadiUuestiMenuu)
        return tekstiboks && !tekstiboks->m_strFailinimi.isEmpty();
    return true;
}

void AppDelegate::TaidaViimatiMenuu() {
    if (!m_cViimatiMenuu)
        return;
    m_cViimatiMenuu->clear();
    const QStringList arrFailid = WindowController::TooViimatiAvatud();
    int nNumber = 0;
    for (const QString& strFail : arrFailid) {
        const QFileInfo info(strFail);
        // The name first, to find it by; the folder after it, to tell equal names apart. An "&" in
        // either would otherwise mark a shortcut letter.
        QString strTekst = QStringLiteral("%1 \u2014 %2")
                               .arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()))
                               .replace(u'&', QStringLiteral("&&"));
        if (++nNumber < 10)
            strTekst.prepend(QStringLiteral("&%1 ").arg(nNumber));
        QAction* menuu = m_cViimatiMenuu->addAction(strTekst);
        menuu->setToolTip(strFail);
        connect(menuu, &QAction::triggered, this, [this, strFail] {
            if (!m_cWindowController)
                return;
            KuiAvaAken();
            m_cWindowController->AvaViimati(strFail);
        });
    }
    if (arrFailid.isEmpty()) {
        m_cViimatiMenuu->addAction(QStringLiteral("Tühi"))->setEnabled(false);
        return;
    }
    m_cViimatiMenuu->addSeparator();
    connect(m_cViimatiMenuu->addAction(QStringLiteral("&Tühjenda loend")), &QAction::triggered, this,
            [] { WindowController::UnustaKoik(); });
}

void AppDelegate::UuendaMenuu() {
    for (QAction* menuu : findChildren<QAction*>(Qt::FindDirectChildrenOnly))
        menuu->setEnabled(validateMenuItem(menuu));
}
