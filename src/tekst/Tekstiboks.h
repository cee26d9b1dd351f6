#pragma once

#include "ELMARK.h"
#include "KIRI.h"
#include "LOIK.h"
#include "RIDA.h"
#include "platform/pasteboard.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Canvas;
class QAbstractScrollArea;
class QPagedPaintDevice;
class QKeyEvent;
class QMouseEvent;

// What the document view reports to the shell around it: the caret's column and row for the status
// bar, the zoom text for the zoom box, the window title, and that a refresh happened. The view works without
// one (tests, headless runs) and keeps the last values it reported.
class TekstiboksiKontroller {
public:
    virtual ~TekstiboksiKontroller() = default;
    virtual void NaitaVeergRida(qint64 nVeerg, qint64 nRida) = 0;
    // Only a controller whose window has the zoom box shows the text.
    virtual void NaitaSuumi(const QString& strSuum) = 0;
    virtual void NaitaPealkirja(const QString& strPealkiri) = 0;
    // Called at the end of every refresh, when the selection is settled: the shell brings what depends
    // on it (the copy commands) up to date.
    virtual void Varskendatud() {}
};

// The document view: it owns the document (paragraphs, style table, laid-out lines, search text),
// lays it out, draws it, and keeps the caret and the selection. It lives in the viewport of a
// QAbstractScrollArea, which it fills: the viewport is the visible area, and the view shows the
// document from its own scroll position on, driving the area's scroll bars from the layout. So the
// document can be far taller than any widget may be.
class Tekstiboks : public QWidget {
    Q_OBJECT

public:
    // Sets the start values and shows the empty document, before anything can refresh the view.
    explicit Tekstiboks(QWidget* parent = nullptr);
    ~Tekstiboks() override;

    // A range of elements: m_n1 included, m_n2 excluded; applied as a selection, m_n2 is the caret.
    struct KURSORID {
        qint64 m_n1 = 0;
        qint64 m_n2 = 0;
    };

    // --- the document and the view settings ---
    TekstiboksiKontroller* m_cViewController = nullptr;
    std::vector<std::shared_ptr<LOIK>> m_arrLOIK;
    std::vector<RIDA> m_arrRIDA;
    qint64 m_nKursor = 0;
    qint64 m_nShiftKursor = 0;
    double m_fSuum = 100.0;
    QSizeF m_cServad{4.0, 4.0};
    double m_fReaVahe = 3.0;
    bool m_bFookuses = false;
    QString m_strFailinimi;
    // Counts the documents the view has shown, so that what is kept about one document (the
    // occurrences of a search, the text offsets for screen readers) is known to be out of date.
    quint64 m_nVersioon = 0;
    // The search text: one piece per element, upper-cased and decomposed. m_arrSisuAlgus[k] is
    // where element k's piece starts in it; pieces can be longer than one code unit (a run, ß
    // becoming SS) or empty.
    QString m_strSisu;
    std::vector<qint64> m_arrSisuAlgus;
    std::vector<KIRI> m_arrJooksevKiri;
    // What an element costs in memory with its own line (a window one character wide gives every
    // element one), its share of the search text and the layout's geometry; a paragraph counts as
    // one element more, for its own record and its line. A reading refuses a document that would
    // need more than the memory available when it starts (a file of nothing but spaces can hold over
    // eighty million elements), and refuses it as the elements are made, before they have taken it.
    // Measured as the peak memory of four million runs of one character, or of spaces, laid out one
    // to a line: 283 to 319 bytes an element.
    static constexpr qint64 kBaiteElemendiKohta = 320;
    // However much memory there is, a reading takes at most this many elements, paragraphs and
    // style changes. Each costs up to about a microsecond and a half to read, measure, lay out and
    // index, and the bytes above; with this bound any document the file size limit lets in opens in
    // a few seconds and within 4 GiB, or is refused at once with the reason.
    static constexpr qint64 kElementePiir = 4 * 1024 * 1024;
    // Fixes the limit on elements, paragraphs and style changes (tests); without it each reading
    // takes the lower of kElementePiir and what the memory available holds.
    std::optional<qint64> m_nSuurimElemente;
    // The most distinct styles a document may have. Each distinct style costs a font lookup and a
    // measurement of every element in it; no document needs more.
    qint64 m_nSuurimKirju = 65536;
    // The pixels the bitmaps of a document's pictures may take together (512 MiB at four bytes a
    // pixel); beyond it pictures are decoded scaled down. Pictures with equal payload count once.
    qint64 m_nPildiEelarve = 128 * 1024 * 1024;
    // The work decoding a document's pictures may take, in pixels handled (decodingWork): a few
    // seconds at most. Pictures beyond it keep no bitmap.
    qint64 m_nPildiTooEelarve = 256 * 1024 * 1024;

    // --- geometry kept with the line list, rebuilt by every layout ---
    // m_arrReaAlgus[k]: sequence index of line k's first element; m_arrReaY[k]: the offset of line
    // k's top below the top margin (the sum of the pitches of the lines above it).
    std::vector<qint64> m_arrReaAlgus;
    std::vector<double> m_arrReaY;
    // Widest natural line width, and the lowest point the line pitches (each line's height plus the
    // gap) reach: their sum, unless a negative zoom makes pitches negative.
    double m_fMaksReaLaius = 0.0;
    double m_fKoguKorgus = 0.0;
    // The number of elements in the document, counted with the layout so that a key press need not
    // count them again.
    qint64 m_nMaksKursor = 0;
    // Whether every line lies wholly below the one before it, with room between them; then a point
    // can be found among the lines by bisection. Zooms of 0 or less (no gap, or a negative one) and
    // line heights past what a double can add leave it false, and the hit test walks every line.
    bool m_bReadJarjestuses = false;

    // --- what the last refresh reported (also passed to m_cViewController when there is one) ---
    qint64 m_nOlekVeerg = 1;
    qint64 m_nOlekRida = 1;
    QString m_strSuumiTekst;
    QString m_strPealkiri;

    // --- opening and reading ---
    // How much of a reading is done, from 0 to 1, reported every few thousand elements; false
    // cancels the reading, which then leaves the document shown exactly as it was (caret,
    // selection, zoom and scroll position included). A report may handle the window's events.
    using Edenemine = std::function<bool(double fValmis)>;
    // Makes the report for each file that Ava opens; without it files open without reports.
    std::function<Edenemine()> m_fnLooEdenemine;

    void Algvaartusta();
    // Reads the file as UTF-8 and hands it to AvaFail; false (after the message) when it cannot be
    // read, and false without a message when the reading was cancelled or another reading is under
    // way. The window title names the file whenever the file was read.
    bool Ava(const QString& strFail);
    // Reads a VLM1 text into the view; false (after the message) when the text is not VLM1, and
    // false without a message when fnEdenemine cancelled it or another reading is under way.
    bool AvaFail(const QString& strSisu, const Edenemine& fnEdenemine = {});
    // Reads the open file again, keeping the zoom, the caret and the selection (held inside the new
    // document) and the scroll position. Shows no message: returns why the file could not be read or
    // is not VLM1, and the shown document then stays; an empty text when the new document is shown
    // (or no file is open).
    QString LaadiUuesti();
    // For the program's last moment: hands the document's paragraphs and lines to storage that lives
    // until the process ends, so that ending costs no walk over a million elements, and leaves the
    // empty document in the view. Never for a document that is replaced: that one is freed.
    void JataDokumentLopuni();
    // The most elements, paragraphs and style changes together that a reading accepts now.
    qint64 TooSuurimElemente() const;
    void LooOtsitavSisu();
    // Makes the search text of the paragraphs into strSisu and arrSisuAlgus; false, with neither
    // changed, when fnEdenemine cancelled it.
    static bool LooOtsitavSisu(const std::vector<std::shared_ptr<LOIK>>& arrLOIK, QString& strSisu,
                               std::vector<qint64>& arrSisuAlgus, const Edenemine& fnEdenemine);
    // The element that code unit nKoht of the search text came from (the last element for a
    // position at or past the end).
    qint64 TooSisuElement(qsizetype nKoht) const;

    // --- layout ---
    void ReastaElemendid();
    // Rebuilds the geometry above from m_arrRIDA.
    void ArvutaGeomeetria();
    qint64 TooMaksKursor() const;
    QSizeF TooEmaSuurus() const;
    double TooAknaLaius() const;
    double TooAknaKorgus() const;
    double TooReaVahe() const { return m_fReaVahe * m_fSuum / 100.0; }
    // The line holding sequence index nIndeks, or nothing when no line holds it.
    std::optional<qint64> LeiaRida(qint64 nIndeks) const;
    // The first line whose bottom edge is at or below y (view coordinates, margin included);
    // m_arrRIDA.size() when there is none.
    qint64 EsimeneRidaAlatesY(double fY) const;
    void Suumi(double fUusSuum);

    // --- refresh and scrolling ---
    void Varskenda(bool bKuvaKursor, bool bBlokeeri, bool bShiftAll);
    void scrollViewDidScroll();
    void becomeFirstResponder();
    void resignFirstResponder();
    // The visible area's size when the view is not in a scroll area, or to fix it for headless runs.
    void SeaNahtavaAlaSuurus(std::optional<QSizeF> cSuurus);
    // The document's extent as the refresh computes it: the widest line and every line's pitch with
    // the margins around them, never smaller than the visible area, in whole points.
    QSizeF TooUlatus() const;
    // The scroll position: the point of the view shown at the visible area's top-left corner, held
    // between 0 and the extent less the visible area.
    QPointF TooKerimiskoht() const;
    void SeaKerimiskoht(QPointF pt);
    // The visible part of the view, in view coordinates.
    QRectF TooNahtavRist() const;

    // --- the caret, the mouse and the keys ---
    // The selection, or with an empty selection the word at the caret: the elements of the caret's
    // line between the nearest space or tab on either side.
    KURSORID TooKursorid() const;
    // The caret position for a point of the view: before the element whose box (the line's full
    // height) holds the point, else the nearest position as the lines and their ends give it.
    qint64 TooKursorPunktist(QPointF ptPunkt) const;
    // The widget shows the document from the scroll position on: a point of the widget as a point
    // of the view (the document's coordinates), and back.
    QPointF TooVaatePunkt(QPointF ptVidinas) const;
    QPointF TooVidinaPunkt(QPointF ptVaates) const;
    // The key handlers; each moves the caret and refreshes, with Shift extending the selection.
    virtual void KlahvLeft(bool bShiftAll);
    virtual void KlahvRight(bool bShiftAll);
    virtual void KlahvDown(bool bShiftAll, bool bCtrlAll);
    virtual void KlahvUp(bool bShiftAll, bool bCtrlAll);
    virtual void KlahvHome(bool bShiftAll, bool bCtrlAll);
    virtual void KlahvEnd(bool bShiftAll, bool bCtrlAll);
    virtual void KlahvEscape();
    virtual void KlahvPageUp(bool bShiftAll, bool bCtrlAll);
    virtual void KlahvPageDown(bool bShiftAll, bool bCtrlAll);

    // --- copy, select all and search ---
    // What copying the range puts on the pasteboard, in document order: one text item for each
    // stretch of text between pictures, one image item for each picture that has a bitmap.
    PasteboardItems TooKopeeritav(const KURSORID& r) const;
    void LoikalaudKopeeri() const;
    bool OnKopeeri() const;
    void ValiKoik();
    // Finds the text after the caret, wrapping around to the start, and selects it; tells the user
    // when there is none.
    void Otsi(const QString& strOtsitav);
    // The occurrences of strOtsitav as element ranges in document order, none overlapping another,
    // counted in one pass of the search text: from the start, each after the elements of the one
    // before. A text already counted in this document is not counted again.
    const std::vector<KURSORID>& LoendaLeiud(const QString& strOtsitav);
    // Whether the occurrences of strOtsitav in the shown document are counted.
    bool OnLoendatud(const QString& strOtsitav) const;
    // The counted occurrences' number, and which of them the selection is, from 1; 0 when the
    // selection is none of them.
    qint64 TooLeidudeArv() const;
    qint64 TooLeiuNumber() const;
    // Select the first occurrence that begins at or after the selection's upper end (the caret
    // without a selection), or the last that ends at or before its lower end, wrapping around to
    // the first or the last one; tell the user when there is none.
    void OtsiJargmine(const QString& strOtsitav);
    void OtsiEelmine(const QString& strOtsitav);

    // --- drawing ---
    // The screen has a white page drawn under the document; paper is white of itself.
    enum class Joonistus { Ekraan, Paber };
    // Draws the visible part of the view.
    void Joonista(Canvas& canvas) const;
    // Draws the lines that touch rAla (view coordinates, edges included).
    void JoonistaAla(Canvas& canvas, const QRectF& rAla, Joonistus joonistus) const;
    // The visible part of the view drawn into an image of fPikslisuhe device pixels a point; a null
    // image when the visible part is empty or would be unreasonably large.
    QImage JoonistaPildiks(qreal fPikslisuhe = 1.0) const;
    void JoonistaTekst(Canvas& canvas, const QString& strTekst, QPointF pt, double fKoguKorgus,
                       double fTekstiKorgus, double fReaTous, const ELMARK& mark, bool bValitud,
                       double fTekstiLaius) const;

    // --- the text for screen readers ---
    // The document's text as copying all of it gives it (a run's characters, a space, a tab and a
    // line feed for spaces, tabs and paragraph ends, the final paragraph end left out), but with
    // U+FFFC, the object replacement character, for a picture, so that the caret has a place on
    // either side of it. Offsets count UTF-16 code units; the table behind them is built once per
    // document, when it is first asked for.
    qint64 TooTekstiPikkus() const;
    // Where element nIndeks's piece begins.
    qint64 TooTekstiKoht(qint64 nIndeks) const;
    // The element whose piece holds the offset (the final paragraph end at the text's end).
    qint64 TooElementTekstist(qint64 nKoht) const;
    QString TooTekst(qint64 nAlgus, qint64 nLopp) const;
    // The box of the character at the offset, in view coordinates: within a run, placed by the width
    // of the text before it; a null rectangle where there is none.
    QRectF TooTaheRist(qint64 nKoht) const;
    // The offset of the character under a point of the view, or of the nearest as the caret finds it.
    qint64 TooKohtPunktist(QPointF ptPunkt) const;
    // The style of the element at the offset in the desktop's text attribute names, with the
    // offsets of the element's piece; -1 and an empty text where there is none.
    QString TooTekstiOmadused(qint64 nKoht, int* nAlgus, int* nLopp) const;

    // --- printing ---
    // A page: lines m_nEsimene up to m_nLopp (excluded), drawn at m_fSkaala, which is less than 1
    // only for a line too large for the paper, alone on its page.
    struct LEHT {
        qint64 m_nEsimene = 0;
        qint64 m_nLopp = 0;
        double m_fSkaala = 1.0;
    };
    // The laid-out lines broken into pages of cLeht points, between lines and never inside one.
    std::vector<LEHT> TooLehed(QSizeF cLeht) const;
    // A view of its own holding a copy of the document, laid out at zoom 100 for a printable area of
    // cAla points with no margins of its own: one point of the document is one point on paper. It
    // never has a selection or the focus, so neither is drawn on paper.
    std::unique_ptr<Tekstiboks> LooPaberiVaade(QSizeF cAla) const;
    // Prints the document on the device's pages (those its page ranges name, or all) without the
    // selection and the caret; this view does not change. Why it failed, or an empty text.
    QString Prindi(QPagedPaintDevice& seade) const;
    // Writes the document as a PDF file of A4 pages, replacing the file only once the whole PDF is
    // written. Why it failed, or an empty text.
    QString EkspordiPdf(const QString& strFail) const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    // A left press, with the click count it stands for (2 for a double click).
    void mouseDown(const QMouseEvent& event, int nKlikiArv);
    // A move with the left button held.
    void mouseDragged(const QMouseEvent& event);
    void rightMouseDown(const QMouseEvent& event);

private:
    enum class ReaSamm { Ules, Alla, LeheUles, LeheAlla };
    enum class Lugemine { Loetud, Vigane, Katkestatud };

    // A document read from a VLM1 text before it takes the shown one's place, with its search text
    // (made aside too, so that a reading cancelled while making it leaves the shown document as it was).
    struct LoetudDokument {
        std::vector<std::shared_ptr<LOIK>> arrLOIK;
        std::vector<KIRI> arrKiri;
        QString strSisu;
        std::vector<qint64> arrSisuAlgus;
        bool bKatkestatud = false;
    };
    // Reads the file as UTF-8 into strSisu; why it cannot, or an empty text.
    static QString LoeTekst(const QString& strFail, QString& strSisu);
    // Reads a VLM1 text into a document measured at fSuum; why it cannot (not VLM1, too large, too
    // many styles), or an empty text, also when fnEdenemine cancelled it (then with bKatkestatud set).
    QString LoeVLM1(const QString& strSisu, double fSuum, LoetudDokument& dokument,
                    const Edenemine& fnEdenemine = {}) const;
    // Reads a VLM1 text and shows it at 100 % with the caret at the start, or says why it cannot.
    // The progress report is let go once the reading is done, which closes a dialog that shows it.
    Lugemine AvaTekst(const QString& strSisu, Edenemine fnEdenemine);
    // Shows the document in place of the old one, laid out, with its search text; the caller sets
    // the zoom it was measured at and the caret, and refreshes.
    void PaigaldaDokument(LoetudDokument dokument);

    // The point of the view that a mouse event stands for; every mouse handler reads it here.
    QPointF TooVaatePunkt(const QMouseEvent& event) const;
    // The hit test over every line, for line lists that are not ordered from top to bottom.
    qint64 TooKursorPunktistKoikRead(QPointF ptPunkt) const;
    void LiiguReale(ReaSamm samm, bool bShiftAll);
    // Offers a changed, non-empty selection as the selection clipboard's text.
    void PakuValikut();
    void ValiLeid(const KURSORID& r);
    // Makes Qt's accessibility ask this class for the view's interface; done by the first view.
    static void PaigaldaLigipaas();
    void LooTekstiAlgused() const;
    // Tells a screen reader that the caret or the selection moved, when one is listening.
    void TeataLigipaasule();

    QAbstractScrollArea* TooKerimisala() const;
    void SeoKerimisribad();
    // Holds the scroll position inside the extent and gives the scroll bars the extent's range and
    // the position.
    void SeaKerimisribad();
    // A scroll bar of the area moved by the user: takes its value as the position along its axis.
    void KerimisribaLiikus(Qt::Orientation suund, int nVaartus);
    void ValjastaPealkiri(const QString& strPealkiri);

    std::optional<QSizeF> m_cNahtavaAlaSuurus;
    // The scroll position itself: a scroll bar counts in whole numbers only up to about two
    // thousand million, so beyond a thousand million points it shows the position in steps of
    // several points, while the view keeps the exact one.
    QPointF m_ptKerimiskoht;
    // Set while the view itself sets the scroll bars, so that its own scrolling is not taken for the
    // user's and no refresh can loop.
    bool m_bIseKerib = false;
    // Set while a reading runs: its reports handle events, and nothing they lead to may start a
    // second reading inside the first.
    bool m_bLoeb = false;
    QPointer<QAbstractScrollArea> m_cSeotudKerimisala;
    // The selection last offered to the selection clipboard, and the document it was in.
    qint64 m_nPakutudAlgus = 0;
    qint64 m_nPakutudLopp = 0;
    std::weak_ptr<LOIK> m_cPakutudDokument;
    // The last occurrences counted: of which search text (as the search text holds it) in which
    // document.
    struct LEIUD {
        QString strOtsitav;
        quint64 nVersioon = 0;
        bool bLoendatud = false;
        std::vector<KURSORID> arrLeiud;
    };
    LEIUD m_cLeiud;
    // Where each element's piece begins in the text for screen readers, and the text's end; built
    // for document m_nTekstiVersioon.
    mutable std::vector<qint64> m_arrTekstiAlgus;
    mutable std::optional<quint64> m_nTekstiVersioon;
    // What screen readers were last told.
    struct TEATATUD {
        std::optional<quint64> nVersioon;
        qint64 nKursor = 0;
        qint64 nMin = 0;
        qint64 nMax = 0;
    };
    TEATATUD m_cTeatatud;
};
