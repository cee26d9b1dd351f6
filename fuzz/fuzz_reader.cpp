// Any bytes through opening a document: the file read and UTF-8 check, the reader with its styles,
// colours and pictures, measuring, layout at two widths, a refresh that scrolls to the end and
// drawing that screen into an image; then a few keys and points, select-all and a copy through the
// pasteboard seam (which must hold the document's text), and searches for a piece of the document and
// for what it cannot hold.

#include "fuzzsupport.h"
#include "fuzztargets.h"
#include "tekst/Tekstiboks.h"

#include "platform/pasteboard.h"
#include "tekst/ELMARK.h"

#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <memory>

namespace {

// Each input goes through a real file, as a document the user opens does.
const QString& failitee() {
    static const QTemporaryDir kaust;
    static const QString tee = kaust.filePath(QStringLiteral("sisend.vlm"));
    return tee;
}

// What copying elements [0, nLopp) must give as plain text: runs as they are, a space, a tab or a line
// feed for the other elements, nothing for pictures.
QString oodatudTekst(const Tekstiboks& tb, qint64 nLopp) {
    QString strTekst;
    qint64 k = 0;
    for (const auto& loik : tb.m_arrLOIK) {
        for (const auto& e : loik->m_arrELEMENT) {
            if (k++ >= nLopp)
                return strTekst;
            switch (*e->m_TUUP) {
            case ELTUUP::MARK:
                strTekst += static_cast<const ELMARK&>(*e).m_strTekst;
                break;
            case ELTUUP::TUHIK:
                strTekst += u' ';
                break;
            case ELTUUP::TAB:
                strTekst += u'\t';
                break;
            case ELTUUP::ENTER:
                strTekst += u'\n';
                break;
            case ELTUUP::PILT:
                break;
            }
        }
    }
    return strTekst;
}

} // namespace

void fuzzReader(const uint8_t* data, size_t size) {
    {
        QFile fail(failitee());
        if (!fail.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        fail.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    Tekstiboks tb;
    tb.SeaNahtavaAlaSuurus(QSizeF(320, 240));
    tb.Ava(failitee());
    checkDocument(tb);

    // A narrow window breaks every line it can.
    tb.SeaNahtavaAlaSuurus(QSizeF(40, 120));
    tb.ReastaElemendid();
    tb.m_nKursor = tb.TooMaksKursor() - 1;
    tb.m_nShiftKursor = tb.m_nKursor;
    tb.m_bFookuses = true;
    tb.Varskenda(true, true, false);
    checkDocument(tb);
    (void)tb.JoonistaPildiks();

    tb.KlahvPageUp(false, false);
    tb.KlahvRight(true);
    tb.KlahvDown(true, false);
    tb.KlahvEnd(true, false);
    checkDocument(tb);
    const QRectF rVis = tb.TooNahtavRist();
    for (const QPointF pt :
         {rVis.topLeft(), rVis.center(), rVis.bottomRight() + QPointF(5, 5), QPointF(-1e300, 1e300)}) {
        const qint64 k = tb.TooKursorPunktist(pt);
        FUZZ_CHECK(k >= 0 && k < tb.TooMaksKursor());
    }

    auto kopeeritud = std::make_shared<PasteboardItems>();
    auto pakutud = std::make_shared<TextProducer>();
    setPasteboardHandler({[kopeeritud](const PasteboardItems& items) { *kopeeritud = items; },
                          [pakutud](TextProducer produce) { *pakutud = std::move(produce); }});
    tb.ValiKoik();
    checkDocument(tb);
    tb.LoikalaudKopeeri();
    FUZZ_CHECK(plainTextOf(*kopeeritud) == oodatudTekst(tb, tb.TooMaksKursor() - 1));
    for (const PasteboardItem& item : *kopeeritud)
        FUZZ_CHECK(item.kind == PasteboardItem::Kind::Image ? !item.image.isNull() : !item.text.isEmpty());
    // Every format a paste target may ask for, made as it would be asked for.
    const std::unique_ptr<QMimeData> mime(mimeDataFor(*kopeeritud));
    for (const QString& strVorming : mime->formats())
        (void)mime->data(strVorming);
    if (*pakutud)
        (void)(*pakutud)();
    setPasteboardHandler({});

    // A piece of the document's own text, in lower case, is found; what no document holds is not.
    const qsizetype nPikkus = tb.m_strSisu.size();
    const QString strTukk = tb.m_strSisu.mid(nPikkus / 3, std::min<qsizetype>(nPikkus / 3 + 1, 6)).toLower();
    for (const QString& strOtsitav : {strTukk, QStringLiteral("\u0002\u0003"), QString()}) {
        tb.Otsi(strOtsitav);
        checkDocument(tb);
    }
}
