#pragma once

#include <QMainWindow>
#include <QPointer>
#include <optional>
#include <utility>

class AppDelegate;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class Tekstiboks;
class ViewController;

// The main window: the toolbar with open, copy, the zoom list and the search field, the content
// (ViewController) in the middle, the menu bar filled by the application delegate.
class WindowController : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window and, given a delegate, registers with it so that it fills the menu bar.
    explicit WindowController(AppDelegate* cAppDelegate = nullptr);
    ~WindowController() override;

    QPointer<QComboBox> m_cSuumiLiit;
    QPointer<ViewController> m_cViewController;
    // The toolbar's items.
    QPointer<QAction> m_cAvaNupp;
    QPointer<QAction> m_cKopeeriNupp;

    // The zoom list's entries, in order.
    static const QStringList arrSuumiKirjed;

    Tekstiboks* TooTekstiboks() const;

    // Runs the open panel and opens the chosen document; cancelling changes nothing.
    void KuiAva();
    // Copies the selection to the clipboard.
    void KuiKopeeri();
    // Whether a toolbar item is enabled: copy exactly while something is selected, every other item
    // always.
    bool validateToolbarItem(const QAction* cNupp) const;
    // Qt keeps an item's enabled state rather than asking for it; every refresh updates it.
    void UuendaNupud();
    // Brings the window to the front and opens the document at strFail, as after the open panel. A
    // document read is remembered among the recent ones, and its file is watched for changes.
    void AvaDokument(const QString& strFail);

    // Prints the document through the print dialog; a failure is said in a message.
    void KuiPrindi();
    // Writes the document as a PDF file chosen in the save panel; a failure is said in a message.
    void KuiEkspordiPdf();

    // The documents opened last, the latest first, at most kViimatiAvatudArv, as the settings keep
    // them for every window and run.
    static constexpr int kViimatiAvatudArv = 10;
    static QStringList TooViimatiAvatud();
    static void JataMeelde(const QString& strFail);
    static void Unusta(const QString& strFail);
    static void UnustaKoik();
    // Opens a recent document; one that is gone is dropped from the list, and the opening says why.
    void AvaViimati(const QString& strFail);

    // Gives the window the size and place it had when it was last closed, and remembers them when it
    // is closed or the program quits. Only the window a user starts does this: headless runs and
    // tests keep the sizes they set.
    void MaletaAsendit();

    // A zoom text as the list holds or the user types it: a final "%" dropped, the rest read as a
    // lenient number, applied without any range check.
    void RakendaSuumiTekst(const QString& strTekst);
    // Zooms to the next entry of the list above the current zoom (nSuund > 0) or the previous one below
    // it (nSuund < 0); nothing when there is none in that direction.
    void SuumiSamm(int nSuund);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Return in the zoom list's text applies the text, and goes no further.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Builds the toolbar; returns the search field in it and the count beside it, for the content.
    std::pair<QLineEdit*, QLabel*> LooTooriba();
    std::optional<double> TooNaaberSuum(int nSuund) const;
    void SalvestaAsend() const;

    bool m_bMaletaAsendit = false;
};
