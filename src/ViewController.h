#pragma once

#include "platform/filewatcher.h"
#include "tekst/Tekstiboks.h"

#include <QPointer>
#include <QWidget>

class Olekuriba;
class QLabel;
class QLineEdit;
class QAbstractScrollArea;

// The window's content: the document view in its scroll area and the status bar below it, and the
// search field that the window places in its toolbar.
class ViewController : public QWidget, public TekstiboksiKontroller {
    Q_OBJECT

public:
    explicit ViewController(QWidget* parent = nullptr);
    ~ViewController() override;

    QPointer<Olekuriba> m_cOlekuriba;
    QPointer<Tekstiboks> m_cTekstiboks;
    QPointer<QAbstractScrollArea> m_cKerimisala;
    QPointer<QLineEdit> m_cOtsingBoks;
    // Beside the search field: how many occurrences its text has and which one is selected.
    QPointer<QLabel> m_cLeiuSilt;

    // Connects the search field and the count the window made for this content: Return in the field
    // searches, Shift+Return finds the previous occurrence.
    void SeoOtsingBoks(QLineEdit* cOtsingBoks, QLabel* cLeiuSilt);
    // Moves the keyboard into the search field with its text selected, ready to be typed over.
    void FookusOtsingule();
    // Find the next or the previous occurrence of the search field's text; with an empty field, the
    // keyboard goes there instead.
    void OtsiJargmine();
    void OtsiEelmine();
    // Shows the count of the search field's text, when its occurrences are counted in this document.
    void UuendaLeiuSilti();

    // Watches the file the document view names from now on, and takes away what the status bar
    // said about the file before.
    void JalgiFaili();
    // Reads the open file again: by hand (F5) or because it changed on disk. A failure keeps the
    // shown document and is said in the status bar.
    enum class Laadimine { Kasitsi, Muutus };
    void LaadiUuesti(Laadimine laadimine);

    void NaitaVeergRida(qint64 nVeerg, qint64 nRida) override;
    void NaitaSuumi(const QString& strSuum) override;
    void NaitaPealkirja(const QString& strPealkiri) override;
    void Varskendatud() override;

    // Resizes the window around this content so that the document's visible area is exactly cSuurus.
    void SeaNahtavaAla(QSize cSuurus);

signals:
    // After every refresh of the document view.
    void varskendatud();

protected:
    // The first showing lays the document out for the real width and refreshes with the caret.
    void showEvent(QShowEvent* event) override;
    // A new viewport size is the window's resize: lay out again and refresh without scrolling.
    // Ctrl with the mouse wheel over the document steps the zoom.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool RattaSuum(QWheelEvent* event);

    FileWatcher m_cJalgija{[this] { LaadiUuesti(Laadimine::Muutus); }};
    bool m_bNaidatud = false;
    int m_nViimaneLaius = -1;
    // Wheel movement not yet turned into zoom steps: touchpads send many small deltas for one notch.
    int m_nRattaJaak = 0;
};
