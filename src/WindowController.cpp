#include "WindowController.h"

#include "AppDelegate.h"
#include "ViewController.h"
#include "extensions/extensions.h"
#include "platform/openpanel.h"
#include "platform/printdialog.h"
#include "platform/strings.h"
#include "tekst/Tekstiboks.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QSettings>
#include <QToolBar>

namespace {

// The first local VLM document among the URLs, or an empty string. The suffix is compared without
// regard to case, as the desktop's file type glob is.
QString lohistatudDokument(const QMimeData* cAndmed) {
    if (!cAndmed || !cAndmed->hasUrls())
        return {};
    for (const QUrl& url : cAndmed->urls()) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo info(url.toLocalFile());
        if (info.suffix().compare(QLatin1String("vlm"), Qt::CaseInsensitive) == 0 && !info.isDir())
            return info.absoluteFilePath();
    }
    return {};
}

// The program's settings: the recent documents and the window's place, shared by every run.
std::unique_ptr<QSettings> seaded() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Velmora"), QStringLiteral("Velmora"));
}

const QString kViimatiAvatudVoti = QStringLiteral("viimatiAvatud");
const QString kAsendiVoti = QStringLiteral("aken/asend");

double suumiTekstist(QString strTekst) {
    if (strTekst.endsWith(u'%'))
        strTekst.chop(1);
    return lenientDouble(strTekst);
}

} // namespace

const QStringList WindowController::arrSuumiKirjed{
    QStringLiteral("10%"),  QStringLiteral("40%"),  QStringLiteral("80%"),  QStringLiteral("100%"),
    QStringLiteral("140%"), QStringLiteral("180%"), QStringLiteral("300%"), QStringLiteral("400%")};

WindowController::WindowController(AppDelegate* cAppDelegate) {
    setWindowTitle(QStringLiteral("Velmora"));
    setAcceptDrops(true);
    setWindowIcon(
        QIcon::fromTheme(QStringLiteral("velmora"), QIcon(QStringLiteral(":/ikoonid/velmora.svg"))));
    // The toolbar holds the search field and the zoom list; hiding it would leave Ctrl+F nowhere.
    setContextMenuPolicy(Qt::NoContextMenu);

    // The zoom list is filled before the content wakes with the empty document.
    const auto [otsingBoks, leiuSilt] = LooTooriba();
    m_cViewController = new ViewController(this);
    setCentralWidget(m_cViewController);
    m_cViewController->SeoOtsingBoks(otsingBoks, leiuSilt);
    connect(m_cViewController, &ViewController::varskendatud, this, &WindowController::UuendaNupud);
    UuendaNupud();
    // The document takes the keyboard when the window first appears, not the first field of the
    // toolbar.
    m_cViewController->m_cTekstiboks->setFocus(Qt::OtherFocusReason);
    resize(900, 700);

    if (cAppDelegate)
        cAppDelegate->windowDidLoad(this);
}

WindowController::~WindowController() {
    // Hiding the window while it is taken down moves the focus, and the document view refreshes;
    // nothing may then reach this window's (or the delegate's) items, which are going away.
    if (m_cViewController)
        disconnect(m_cViewController, &ViewController::varskendatud, nullptr, nullptr);
}

std::pair<QLineEdit*, QLabel*> WindowController::LooTooriba() {
    QToolBar* tooriba = addToolBar(QStringLiteral("Tööriistad"));
    tooriba->setObjectName(QStringLiteral("tooriba"));
    tooriba->setMovable(false);
    tooriba->setFloatable(false);
    tooriba->toggleViewAction()->setVisible(false);

    m_cAvaNupp = tooriba->addAction(QIcon::fromTheme(QStringLiteral("document-open"),
                                                     QIcon(QStringLiteral(":/ikoonid/document-open.svg"))),
                                    QStringLiteral("Ava"));
    m_cAvaNupp->setToolTip(QStringLiteral("Ava dokument (Ctrl+O)"));
    connect(m_cAvaNupp, &QAction::triggered, this, &WindowController::KuiAva);
    tooriba->widgetForAction(m_cAvaNupp)->setAccessibleName(QStringLiteral("Ava dokument"));

    m_cKopeeriNupp = tooriba->addAction(
        QIcon::fromTheme(QStringLiteral("edit-copy"), QIcon(QStringLiteral(":/ikoonid/edit-copy.svg"))),
        QStringLiteral("Kopeeri"));
    m_cKopeeriNupp->setToolTip(QStringLiteral("Kopeeri valik (Ctrl+C)"));
    connect(m_cKopeeriNupp, &QAction::triggered, this, &WindowController::KuiKopeeri);
    tooriba->widgetForAction(m_cKopeeriNupp)->setAccessibleName(QStringLiteral("Kopeeri valik"));

    tooriba->addSeparator();
    // On Linux a screen reader names a combo box by its label, as its own name is its text.
    auto* suumiSilt = new QLabel(QStringLiteral("Suum:"), tooriba);
    suumiSilt->setContentsMargins(4, 0, 4, 0);
    tooriba->addWidget(suumiSilt);
    m_cSuumiLiit = new QComboBox(tooriba);
    suumiSilt->setBuddy(m_cSuumiLiit);
    m_cSuumiLiit->setObjectName(QStringLiteral("suumiLiit"));
    m_cSuumiLiit->setEditable(true);
    // Typed values are applied, never added to the list, and never completed into an entry: "1"
    // means 1 %, not "10%".
    m_cSuumiLiit->setInsertPolicy(QComboBox::NoInsert);
    m_cSuumiLiit->setCompleter(nullptr);
    // Nor is the text applied when the field merely loses the focus: the list would then choose the
    // entry equal to the text that the last refresh wrote, and zoom again (to 140 from 140.4, say).
    QObject::disconnect(m_cSuumiLiit->lineEdit(), &QLineEdit::editingFinished, m_cSuumiLiit, nullptr);
    m_cSuumiLiit->addItems(arrSuumiKirjed);
    m_cSuumiLiit->setCurrentIndex(-1);
    m_cSuumiLiit->setMinimumContentsLength(5);
    m_cSuumiLiit->setToolTip(QStringLiteral("Suum: vali või kirjuta protsent ja vajuta Enter"));
    m_cSuumiLiit->setAccessibleName(QStringLiteral("Suum"));
    // The list hands its keys to its text field directly, so Return is caught on the list itself.
    m_cSuumiLiit->installEventFilter(this);
    connect(m_cSuumiLiit, &QComboBox::activated, this,
            [this](int nIndeks) { RakendaSuumiTekst(m_cSuumiLiit->itemText(nIndeks)); });
    tooriba->addWidget(m_cSuumiLiit);

    auto* vahe = new QWidget(tooriba);
    vahe->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    tooriba->addWidget(vahe);

    // The search field sits in the toolbar; the content searches with it.
    auto* otsingBoks = new QLineEdit(tooriba);
    otsingBoks->setObjectName(QStringLiteral("otsingBoks"));
    otsingBoks->setPlaceholderText(QStringLiteral("Otsi"));
    otsingBoks->setToolTip(QStringLiteral("Otsi dokumendist: kirjuta tekst ja vajuta Enter (Ctrl+F)"));
    otsingBoks->setClearButtonEnabled(true);
    otsingBoks->addAction(
        QIcon::fromTheme(QStringLiteral("edit-find"), QIcon(QStringLiteral(":/ikoonid/edit-find.svg"))),
        QLineEdit::LeadingPosition);
    otsingBoks->setMinimumWidth(180);
    otsingBoks->setMaximumWidth(260);
    otsingBoks->setAccessibleName(QStringLiteral("Otsi dokumendist"));
    tooriba->addWidget(otsingBoks);

    auto* leiuSilt = new QLabel(tooriba);
    leiuSilt->setObjectName(QStringLiteral("leiuSilt"));
    leiuSilt->setToolTip(QStringLiteral("Valitud leid / leide kokku"));
    leiuSilt->setAccessibleDescription(QStringLiteral("Valitud leid ja leide kokku"));
    // Room for "12345 / 12345", so that the field does not move as the numbers grow.
    leiuSilt->setMinimumWidth(leiuSilt->fontMetrics().horizontalAdvance(QStringLiteral("12345 / 12345")));
    leiuSilt->setAlignment(Qt::AlignCenter);
    tooriba->addWidget(leiuSilt);
    return {otsingBoks, leiuSilt};
}

Tekstiboks* WindowController::TooTekstiboks() const {
    return m_cViewController ? m_cViewController->m_cTekstiboks.data() : nullptr;
}

void WindowController::KuiAva() {
    Tekstiboks* tekstiboks = TooTekstiboks();
    if (!tekstiboks)
        return;
    OpenPanelSettings seaded;
    seaded.title = QStringLiteral("Ava");
    seaded.nameFilters = {QStringLiteral("VLM-dokumendid (*.vlm)")};
    if (!tekstiboks->m_strFailinimi.isEmpty())
        seaded.directory = QFileInfo(tekstiboks->m_strFailinimi).absolutePath();
    const QStringList arrValitud = runOpenPanel(this, seaded);
    if (!arrValitud.isEmpty() && !arrValitud.first().isEmpty())
        AvaDokument(arrValitud.first());
}

void WindowController::KuiKopeeri() {
    if (const Tekstiboks* tekstiboks = TooTekstiboks())
        tekstiboks->LoikalaudKopeeri();
}

bool WindowController::validateToolbarItem(const QAction* cNupp) const {
    if (cNupp == m_cKopeeriNupp) {
        const Tekstiboks* tekstiboks = TooTekstiboks();
        return tekstiboks && tekstiboks->OnKopeeri();
    }
    return true;
}

void WindowController::UuendaNupud() {
    for (QAction* nupp : {m_cAvaNupp.data(), m_cKopeeriNupp.data()}) {
        if (nupp)
            nupp->setEnabled(validateToolbarItem(nupp));
    }
}

void WindowController::AvaDokument(const QString& strFail) {
    if (Tekstiboks* tekstiboks = TooTekstiboks()) {
        raise();
        activateWindow();
        if (tekstiboks->Ava(strFail))
            JataMeelde(tekstiboks->m_strFailinimi);
        // The window names the chosen file also when its text was no VLM1 document; that file is
        // the one to read again when it changes.
        m_cViewController->JalgiFaili();
    }
}

void WindowController::KuiPrindi() {
    const Tekstiboks* tekstiboks = TooTekstiboks();
    if (!tekstiboks)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(tekstiboks->m_strFailinimi.isEmpty()
                           ? QStringLiteral("Velmora")
                           : QFileInfo(tekstiboks->m_strFailinimi).fileName());
    printer.setCreator(QStringLiteral("Velmora"));
    if (!runPrintDialog(this, printer))
        return;
    const QString strViga = tekstiboks->Prindi(printer);
    if (!strViga.isEmpty())
        DialoogOK(QStringLiteral("Viga"), strViga);
}

void WindowController::KuiEkspordiPdf() {
    const Tekstiboks* tekstiboks = TooTekstiboks();
    if (!tekstiboks)
        return;
    SavePanelSettings paneel;
    paneel.title = QStringLiteral("Ekspordi PDF-iks");
    paneel.nameFilters = {QStringLiteral("PDF-dokumendid (*.pdf)")};
    paneel.defaultSuffix = QStringLiteral("pdf");
    if (!tekstiboks->m_strFailinimi.isEmpty()) {
        const QFileInfo info(tekstiboks->m_strFailinimi);
        paneel.directory = info.absolutePath();
        paneel.fileName = info.completeBaseName() + QStringLiteral(".pdf");
    }
    const QString strFail = runSavePanel(this, paneel);
    if (strFail.isEmpty())
        return;
    const QString strViga = tekstiboks->EkspordiPdf(strFail);
    if (!strViga.isEmpty())
        DialoogOK(QStringLiteral("Viga"), strViga);
}

QStringList WindowController::TooViimatiAvatud() {
    QStringList arrFailid = seaded()->value(kViimatiAvatudVoti).toStringList();
    arrFailid.removeAll(QString());
    arrFailid.removeDuplicates();
    if (arrFailid.size() > kViimatiAvatudArv)
        arrFailid.resize(kViimatiAvatudArv);
    return arrFailid;
}

void WindowController::JataMeelde(const QString& strFail) {
    // Read again each time, so that documents another window opened meanwhile are kept.
    QStringList arrFailid = TooViimatiAvatud();
    arrFailid.removeAll(strFail);
    arrFailid.prepend(strFail);
    if (arrFailid.size() > kViimatiAvatudArv)
        arrFailid.resize(kViimatiAvatudArv);
    seaded()->setValue(kViimatiAvatudVoti, arrFailid);
}

void WindowController::Unusta(const QString& strFail) {
    QStringList arrFailid = TooViimatiAvatud();
    if (arrFailid.removeAll(strFail) > 0)
        seaded()->setValue(kViimatiAvatudVoti, arrFailid);
}

void WindowController::UnustaKoik() {
    seaded()->remove(kViimatiAvatudVoti);
}

void WindowController::AvaViimati(const QString& strFail) {
    if (!QFileInfo::exists(strFail))
        Unusta(strFail);
    AvaDokument(strFail);
}

void WindowController::MaletaAsendit() {
    m_bMaletaAsendit = true;
    const QByteArray baAsend = seaded()->value(kAsendiVoti).toByteArray();
    if (!baAsend.isEmpty())
        restoreGeometry(baAsend);
    // Quitting from the menu closes no window, so the place is kept then too.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &WindowController::SalvestaAsend);
}

void WindowController::SalvestaAsend() const {
    if (m_bMaletaAsendit)
        seaded()->setValue(kAsendiVoti, saveGeometry());
}

void WindowController::closeEvent(QCloseEvent* event) {
    SalvestaAsend();
    QMainWindow::closeEvent(event);
}

void WindowController::RakendaSuumiTekst(const QString& strTekst) {
    if (Tekstiboks* tekstiboks = TooTekstiboks())
        tekstiboks->Suumi(suumiTekstist(strTekst));
}

std::optional<double> WindowController::TooNaaberSuum(int nSuund) const {
    const Tekstiboks* tekstiboks = TooTekstiboks();
    if (!tekstiboks || nSuund == 0)
        return std::nullopt;
    const double fPraegu = tekstiboks->m_fSuum;
    std::optional<double> fParim;
    for (const QString& strKirje : arrSuumiKirjed) {
        const double f = suumiTekstist(strKirje);
        if (nSuund > 0 && f > fPraegu && (!fParim || f < *fParim))
            fParim = f;
        if (nSuund < 0 && f < fPraegu && (!fParim || f > *fParim))
            fParim = f;
    }
    return fParim;
}

void WindowController::SuumiSamm(int nSuund) {
    if (const std::optional<double> fUus = TooNaaberSuum(nSuund))
        TooTekstiboks()->Suumi(*fUus);
}

bool WindowController::eventFilter(QObject* watched, QEvent* event) {
    if (m_cSuumiLiit && watched == m_cSuumiLiit && event->type() == QEvent::KeyPress) {
        const int nKlahv = static_cast<QKeyEvent*>(event)->key();
        if (nKlahv == Qt::Key_Return || nKlahv == Qt::Key_Enter) {
            RakendaSuumiTekst(m_cSuumiLiit->currentText());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void WindowController::dragEnterEvent(QDragEnterEvent* event) {
    if (!lohistatudDokument(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void WindowController::dragMoveEvent(QDragMoveEvent* event) {
    if (!lohistatudDokument(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void WindowController::dropEvent(QDropEvent* event) {
    const QString strFail = lohistatudDokument(event->mimeData());
    if (strFail.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop has ended: a message about the file must not hold the program the file
    // came from in the middle of its drag.
    QMetaObject::invokeMethod(
        this, [this, strFail] { AvaDokument(strFail); }, Qt::QueuedConnection);
}
