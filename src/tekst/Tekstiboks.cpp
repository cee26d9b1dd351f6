// Start-up with the empty document, opening files, reading VLM1 texts and the search text.

#include "tekst/Tekstiboks.h"

#include "extensions/extensions.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/unicode.h"
#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/SharedMeasurer.h"
#include "tekst/SharedPictures.h"
#include "tekst/TokenPayloads.h"

#include <QFileInfo>
#include <QHash>
#include <QScopedValueRollback>

#include <algorithm>
#include <array>
#include <bit>

namespace {

// Files larger than this are refused rather than read: the text and the elements made from it must
// fit in memory together.
constexpr qint64 kSuurimFail = 256 * 1024 * 1024;

// Style texts up to this long (from the token's "{" to its "}") are looked up by their text; the
// cache of them is emptied when it holds this many.
constexpr qsizetype kLuhikeKiriTekst = 256;
constexpr qsizetype kSuurimKiriTekste = 65536;

QString kuvaNimi(const QString& strFail) {
    return QFileInfo(strFail).fileName();
}

QString avamiseViga(const QString& strFail, const QString& strPohjus) {
    return QStringLiteral("The file \u201c%1\u201d couldn\u2019t be opened %2")
        .arg(kuvaNimi(strFail), strPohjus);
}

// The offset of the first byte that does not belong to well-formed UTF-8 (overlong forms, surrogates
// and code points above U+10FFFF included), or -1 when the bytes are valid.
qsizetype vigaseUtf8Algus(const QByteArray& baBaidid) {
    const auto* p = reinterpret_cast<const unsigned char*>(baBaidid.constData());
    const qsizetype n = baBaidid.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int nJatk = 0;
        unsigned char alamPiir = 0x80, ulemPiir = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            nJatk = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            nJatk = 2;
            if (c == 0xE0)
                alamPiir = 0xA0;
            else if (c == 0xED)
                ulemPiir = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            nJatk = 3;
            if (c == 0xF0)
                alamPiir = 0x90;
            else if (c == 0xF4)
                ulemPiir = 0x8F;
        } else {
            return i;
        }
        if (i + nJatk >= n)
            return i;
        for (int k = 1; k <= nJatk; ++k) {
            const unsigned char d = p[i + k];
            const unsigned char lo = k == 1 ? alamPiir : 0x80;
            const unsigned char hi = k == 1 ? ulemPiir : 0xBF;
            if (d < lo || d > hi)
                return i;
        }
        i += nJatk + 1;
    }
    return -1;
}

// The piece of the search text that stands for one element.
QStringView otsitavTukk(const ELEMENT& e) {
    switch (*e.m_TUUP) {
    case ELTUUP::MARK:
        return static_cast<const ELMARK&>(e).m_strTekst;
    case ELTUUP::ENTER:
        return u"\u00b6";
    case ELTUUP::TAB:
        return u"\t";
    case ELTUUP::TUHIK:
        return u" ";
    case ELTUUP::PILT:
        return u"\u0001";
    }
    return {};
}

// The fields of a style after its face name, exactly: equal for two styles exactly when OnSama finds
// their fields equal. Numbers enter with their exact bits, since sizes that differ in the seventh
// decimal are still two styles; -0.0 is folded into 0.0 as == does. Sizes and colours are never NaN
// (the lenient readings give none).
struct ValjadVoti {
    std::array<quint64, 5> arrArvud{};
    quint8 nLipud = 0;
    bool operator==(const ValjadVoti&) const = default;
};

size_t qHash(const ValjadVoti& v, size_t seed = 0) {
    return qHashMulti(seed, qHashRange(v.arrArvud.begin(), v.arrArvud.end()), v.nLipud);
}

ValjadVoti valjadVoti(const KIRI& k) {
    ValjadVoti voti;
    const Colour& c = k.m_clKirjavarv;
    const double arrArvud[] = {k.m_fKirjasuurus, c.red, c.green, c.blue, c.alpha};
    for (size_t i = 0; i < voti.arrArvud.size(); ++i)
        voti.arrArvud[i] = std::bit_cast<quint64>(arrArvud[i] == 0.0 ? 0.0 : arrArvud[i]);
    const bool arrLipud[] = {k.m_bPaks,      k.m_bKaldkiri, k.m_bAllaKriipsutatud, k.m_bLabiKriipsutatud,
                             k.m_bUlaindeks, k.m_bAlaindeks};
    for (int i = 0; i < 6; ++i) {
        if (arrLipud[i])
            voti.nLipud |= quint8(1 << i);
    }
    return voti;
}

// A key equal for two styles exactly when OnSama holds between them, so that the style table finds
// an earlier equal style through a hash instead of a walk over every style.
struct KiriVoti {
    QString strNimi;
    ValjadVoti valjad;
    bool operator==(const KiriVoti&) const = default;
};

size_t qHash(const KiriVoti& v, size_t seed = 0) {
    return qHashMulti(seed, v.strNimi, v.valjad);
}

KiriVoti kiriVoti(const KIRI& k) {
    return {k.m_strKirjatuup.normalized(QString::NormalizationForm_C), valjadVoti(k)};
}

// A face name as it stands in the text, with the fields after it.
struct NimiJaValjad {
    QStringView strNimi;
    ValjadVoti valjad;
    bool operator==(const NimiJaValjad& teine) const {
        return valjad == teine.valjad && strNimi == teine.strNimi;
    }
};

size_t qHash(const NimiJaValjad& v, size_t seed = 0) {
    return qHashMulti(seed, v.strNimi, v.valjad);
}

// The style table of one reading: each distinct style once, in order of first appearance. Documents
// repeat a few short style texts over and over; these are found by their text, without reading them
// again. Longer texts (a style text without its "}" runs on through the document) are found by their
// face name and fields, which TokenPayloads reads at a bounded cost.
class KiriTabel {
public:
    KiriTabel(std::vector<KIRI>& arrKiri, TokenPayloads& payloads, qint64 nSuurim)
        : m_arrKiri(arrKiri), m_payloads(payloads), m_nSuurim(nSuurim) {}

    // Whether a style beyond the most the table may hold was asked for; the reading stops then.
    bool onTais() const { return m_bTais; }

    // The index of the style of the "{F" token at p; a new style is appended.
    qint64 indeks(qsizetype p) {
        const bool bLuhike = m_payloads.closingBrace(p) - p <= kLuhikeKiriTekst;
        const QStringView strTekst = m_payloads.payload(p);
        if (bLuhike) {
            if (const auto it = m_tekstist.constFind(strTekst); it != m_tekstist.constEnd())
                return *it;
        }
        const TokenPayloads::StyleText tekst = m_payloads.styleText(p);
        qint64 nIndeks = 0;
        if (!tekst.kirjatuup) {
            nIndeks = indeks(KIRI());
        } else {
            const KIRI& valjad = m_payloads.fields(tekst);
            const NimiJaValjad voti{*tekst.kirjatuup, valjadVoti(valjad)};
            if (const auto it = m_nimest.constFind(voti); it != m_nimest.constEnd()) {
                nIndeks = *it;
            } else {
                KIRI kiri = valjad;
                kiri.m_strKirjatuup = tekst.kirjatuup->toString();
                nIndeks = indeks(kiri);
                lisa(m_nimest, voti, nIndeks);
            }
        }
        if (bLuhike)
            lisa(m_tekstist, strTekst, nIndeks);
        return nIndeks;
    }

    // The index of `kiri`; a new style is appended, unless the table is full (then 0).
    qint64 indeks(const KIRI& kiri) {
        // The table never holds two equal styles, so the first equal one is the only one.
        KiriVoti voti = kiriVoti(kiri);
        if (const auto it = m_voti.constFind(voti); it != m_voti.constEnd()) {
            Q_ASSERT(m_arrKiri[size_t(*it)].OnSama(kiri));
            return *it;
        }
        if (qint64(m_arrKiri.size()) >= m_nSuurim) {
            m_bTais = true;
            return 0;
        }
        m_arrKiri.push_back(kiri);
        const qint64 nIndeks = qint64(m_arrKiri.size()) - 1;
        m_voti.insert(std::move(voti), nIndeks);
        return nIndeks;
    }

private:
    // Many spellings of few styles cannot make a cache grow without bound.
    template <typename Voti>
    static void lisa(QHash<Voti, qint64>& vahemalu, const Voti& voti, qint64 nIndeks) {
        if (vahemalu.size() >= kSuurimKiriTekste)
            vahemalu.clear();
        vahemalu.insert(voti, nIndeks);
    }

    std::vector<KIRI>& m_arrKiri;
    TokenPayloads& m_payloads;
    QHash<KiriVoti, qint64> m_voti;
    QHash<QStringView, qint64> m_tekstist;
    QHash<NimiJaValjad, qint64> m_nimest;
    qint64 m_nSuurim;
    bool m_bTais = false;
};

} // namespace

Tekstiboks::Tekstiboks(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    // A right click belongs to the view (it places the caret) and never opens a menu, not even one
    // of a widget around it.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Naming the view makes Qt make its accessible interface at once, so the factory comes first.
    PaigaldaLigipaas();
    setAccessibleName(QStringLiteral("Dokument"));
    m_arrJooksevKiri.push_back(KIRI());
    Algvaartusta();
    LooOtsitavSisu();
    // Made straight into a scroll area's viewport, the view fills it from the start.
    SeoKerimisribad();
}

Tekstiboks::~Tekstiboks() = default;

void Tekstiboks::Algvaartusta() {
    auto enter = std::make_unique<ELENTER>();
    enter->m_nKiri = 0;
    enter->ArvutaSuurus(m_arrJooksevKiri, m_fSuum);

    auto loik = std::make_shared<LOIK>();
    RIDA rida;
    rida.m_LOIK = loik;
    rida.m_arrELEMENT.push_back(enter.get());
    loik->m_arrELEMENT.push_back(std::move(enter));

    m_arrLOIK.push_back(loik);
    m_arrRIDA.push_back(std::move(rida));
    m_arrRIDA = loik->JoondaLoik(std::move(m_arrRIDA), 0.0);
    ArvutaGeomeetria();
}

QString Tekstiboks::LoeTekst(const QString& strFail, QString& strSisu) {
    FileContents fail = readRegularFile(strFail, kSuurimFail);
    switch (fail.error) {
    case FileReadError::None: {
        // A byte order mark is valid UTF-8, so offsets count from the file's first byte.
        const qsizetype nVigane = vigaseUtf8Algus(fail.bytes);
        if (nVigane >= 0)
            return avamiseViga(
                strFail, QStringLiteral("because its text is not valid UTF-8 (at byte %1).").arg(nVigane));
        break;
    }
    case FileReadError::NoSuchFile:
        return avamiseViga(strFail, QStringLiteral("because there is no such file."));
    case FileReadError::NameTooLong:
        return avamiseViga(strFail, QStringLiteral("because its name is too long."));
    case FileReadError::Folder:
        return avamiseViga(strFail, QStringLiteral("because it is a folder."));
    case FileReadError::NotRegularFile:
        // A pipe or a device would block the read or never end it.
        return avamiseViga(strFail, QStringLiteral("because it is not a regular file."));
    case FileReadError::NoPermission:
        return avamiseViga(strFail, QStringLiteral("because you don\u2019t have permission to view it."));
    case FileReadError::TooLarge:
        return avamiseViga(strFail, QStringLiteral("because it is too large: at most %1 MiB can be read.")
                                        .arg(kSuurimFail / (1024 * 1024)));
    case FileReadError::Failed:
        return avamiseViga(strFail, QStringLiteral("because it could not be read (%1).").arg(fail.reason));
    }
    // The decoding drops one byte order mark; a second one stays in the text, which then does not
    // begin with the magic.
    strSisu = QString::fromUtf8(fail.bytes);
    return {};
}

bool Tekstiboks::Ava(const QString& strFail) {
    if (m_bLoeb)
        return false;
    const QScopedValueRollback loeb(m_bLoeb, true);
    Edenemine fnEdenemine = m_fnLooEdenemine ? m_fnLooEdenemine() : Edenemine();
    QString strSisu;
    const QString strViga = LoeTekst(strFail, strSisu);
    if (!strViga.isEmpty()) {
        DialoogOK(QStringLiteral("Viga"), strViga);
        return false;
    }
    const Lugemine tulemus = AvaTekst(strSisu, std::move(fnEdenemine));
    if (tulemus == Lugemine::Katkestatud)
        return false;
    const QFileInfo info(strFail);
    m_strFailinimi = info.absoluteFilePath();
    ValjastaPealkiri(QStringLiteral("Velmora - ") + info.fileName());
    return tulemus == Lugemine::Loetud;
}

bool Tekstiboks::AvaFail(const QString& strSisu, const Edenemine& fnEdenemine) {
    if (m_bLoeb)
        return false;
    const QScopedValueRollback loeb(m_bLoeb, true);
    return AvaTekst(strSisu, fnEdenemine) == Lugemine::Loetud;
}

Tekstiboks::Lugemine Tekstiboks::AvaTekst(const QString& strSisu, Edenemine fnEdenemine) {
    LoetudDokument dokument;
    const QString strViga = LoeVLM1(strSisu, 100.0, dokument, fnEdenemine);
    // The progress closes before a message about the reading appears.
    fnEdenemine = nullptr;
    if (dokument.bKatkestatud)
        return Lugemine::Katkestatud;
    if (!strViga.isEmpty()) {
        DialoogOK(QStringLiteral("Viga"), strViga);
        return Lugemine::Vigane;
    }
    m_fSuum = 100.0;
    m_nKursor = 0;
    m_nShiftKursor = 0;
    PaigaldaDokument(std::move(dokument));
    Varskenda(true, false, false);
    return Lugemine::Loetud;
}

QString Tekstiboks::LaadiUuesti() {
    // A change noticed while a reading shows its progress waits for that reading to end.
    if (m_strFailinimi.isEmpty() || m_bLoeb)
        return {};
    const QScopedValueRollback loeb(m_bLoeb, true);
    LoetudDokument dokument;
    {
        QString strSisu;
        QString strViga = LoeTekst(m_strFailinimi, strSisu);
        if (strViga.isEmpty())
            strViga = LoeVLM1(strSisu, m_fSuum, dokument);
        if (!strViga.isEmpty())
            return strViga;
    }
    const QPointF ptKerimiskoht = TooKerimiskoht();
    PaigaldaDokument(std::move(dokument));
    const qint64 nViimane = std::max<qint64>(0, TooMaksKursor() - 1);
    m_nKursor = std::clamp<qint64>(m_nKursor, 0, nViimane);
    m_nShiftKursor = std::clamp<qint64>(m_nShiftKursor, 0, nViimane);
    // The first refresh gives the view the new document's size, so that the old scroll position is
    // held inside it; the second draws what is shown there.
    Varskenda(false, true, false);
    SeaKerimiskoht(ptKerimiskoht);
    Varskenda(false, true, false);
    return {};
}

QString Tekstiboks::LoeVLM1(const QString& strSisu, double fSuum, LoetudDokument& dokument,
                            const Edenemine& fnEdenemine) const {
    // Reading the file may already have taken a while: the first report can show the progress.
    if (fnEdenemine && !fnEdenemine(0.0)) {
        dokument.bKatkestatud = true;
        return {};
    }
    bool& bKatkestatud = dokument.bKatkestatud;
    if (strSisu.size() < 4 || !strSisu.startsWith(QLatin1String("VLM1")))
        return QStringLiteral("Faili formaat ei sobi!");

    std::vector<std::shared_ptr<LOIK>>& arrLOIK = dokument.arrLOIK;
    std::vector<KIRI>& arrKiri = dokument.arrKiri;
    SharedMeasurer mootja(arrKiri, fSuum);
    SharedPictures pildid(m_nPildiEelarve, m_nPildiTooEelarve);

    std::shared_ptr<LOIK> loik;
    qint64 nKiri = 0;
    std::optional<Colour> clEsiletost;
    const qsizetype n = strSisu.size();
    TokenPayloads payloads(strSisu);
    // Elements need a style to be measured in, so the table always takes one.
    KiriTabel kiriTabel(arrKiri, payloads, std::max<qint64>(m_nSuurimKirju, 1));
    // An element needs a style to be measured in; a document that emits one before any style gets
    // the default style as style 0.
    auto kiriOlemas = [&] {
        if (arrKiri.empty())
            kiriTabel.indeks(KIRI());
    };

    // Elements, paragraphs and style changes are counted as they are made, so that a document too
    // large is refused before it has taken the memory and the time.
    const qint64 nSuurim = TooSuurimElemente();
    qint64 nTehtud = 0;
    bool bLiigaSuur = false;
    qsizetype i = 4;
    // The elements take most of a reading's time; pictures and the search text share the rest.
    constexpr double kElemendidValmis = 0.8, kPildidValmis = 0.9;
    constexpr qint64 kTeateVahe = 4096;
    auto loe = [&] {
        if (++nTehtud > nSuurim)
            bLiigaSuur = true;
        if (nTehtud % kTeateVahe == 0 && fnEdenemine &&
            !fnEdenemine(kElemendidValmis * double(i) / double(n)))
            bKatkestatud = true;
    };
    auto lisa = [&](std::unique_ptr<ELEMENT> e) {
        loe();
        kiriOlemas();
        e->m_nKiri = nKiri;
        e->m_clEsiletost = clEsiletost;
        mootja.Mooda(*e);
        loik->m_arrELEMENT.push_back(std::move(e));
    };

    // Runs with equal short texts share one copy of it: a document of one character a run would
    // otherwise make a string for each of its million runs. Characters below U+0300 are found by
    // number, other short texts through a hash that stops growing at a bound, so that a document of
    // distinct texts does not pay for the table in memory. Longer texts are rarely equal.
    constexpr qsizetype kLuhikeTekst = 16;
    constexpr qsizetype kJagatudTekste = 65536;
    std::vector<QString> arrUksikTekst(0x300);
    QHash<QStringView, QString> jagatudTekstid;
    const auto jagatudTekst = [&](QStringView strTekst) -> QString {
        if (strTekst.size() == 1 && strTekst[0].unicode() < 0x300) {
            QString& strUksik = arrUksikTekst[strTekst[0].unicode()];
            if (strUksik.isNull())
                strUksik = strTekst.toString();
            return strUksik;
        }
        if (strTekst.isEmpty() || strTekst.size() > kLuhikeTekst)
            return strTekst.toString();
        if (const auto it = jagatudTekstid.constFind(strTekst); it != jagatudTekstid.cend())
            return *it;
        QString strUus = strTekst.toString();
        // The key points into the document's text, which outlives the table.
        if (jagatudTekstid.size() < kJagatudTekste)
            jagatudTekstid.insert(strTekst, strUus);
        return strUus;
    };

    for (; i < n && !bLiigaSuur && !bKatkestatud && !kiriTabel.onTais(); ++i) {
        const QChar c1 = strSisu.at(i);
        if (loik && c1 == QLatin1Char('>')) {
            // Every paragraph ends with its paragraph end: layout and the cursor rely on it.
            if (loik->m_arrELEMENT.empty() || loik->m_arrELEMENT.back()->m_TUUP != ELTUUP::ENTER)
                lisa(std::make_unique<ELENTER>());
            arrLOIK.push_back(std::move(loik));
            loik.reset();
        } else if (!loik) {
            if (c1 == QLatin1Char('<')) {
                loe();
                loik = std::make_shared<LOIK>();
                const char16_t cNumber = i + 1 < n ? strSisu.at(i + 1).unicode() : u'\0';
                const int nJoondus = cNumber >= u'0' && cNumber <= u'9' ? cNumber - u'0' : -1;
                loik->m_Joondus = LOIK::JOONDUSrawValue(nJoondus).value_or(JOONDUS::VASAKUL);
            }
        } else if (c1 == QLatin1Char('{') && i + 1 < n) {
            const QChar c2 = strSisu.at(i + 1);
            if (c2 == QLatin1Char('F')) {
                loe();
                nKiri = kiriTabel.indeks(i);
            } else if (c2 == QLatin1Char('E')) {
                clEsiletost = colourFromHexString(payloads.payload(i));
            } else if (c2 == QLatin1Char('M')) {
                const qsizetype nLopp = payloads.closingBrace(i);
                auto mark = std::make_unique<ELMARK>();
                mark->m_strTekst = jagatudTekst(payloads.payload(i));
                lisa(std::move(mark));
                i = nLopp;
            } else if (c2 == QLatin1Char('T')) {
                lisa(std::make_unique<ELTAB>());
            } else if (c2 == QLatin1Char('N')) {
                lisa(std::make_unique<ELENTER>());
            } else if (c2 == QLatin1Char('U')) {
                lisa(std::make_unique<ELTUHIK>());
            } else if (c2 == QLatin1Char('P')) {
                // The picture gets its stored size now and its bitmap once the whole document is
                // read, when it is known which payloads repeat and how many pixels they all need.
                const qsizetype nLopp = payloads.closingBrace(i);
                auto pilt = std::make_unique<ELPILT>();
                pildid.Lisa(*pilt, payloads.payload(i));
                lisa(std::move(pilt));
                i = nLopp;
            }
        }
    }
    if (bLiigaSuur)
        return QStringLiteral("The document is too large: it has more than %L1 elements, paragraphs and "
                              "style changes.")
            .arg(nSuurim);
    if (kiriTabel.onTais())
        return QStringLiteral("The document has more than %L1 different character styles.")
            .arg(m_nSuurimKirju);
    if (bKatkestatud)
        return {};
    // A paragraph still open at the end of the text was never closed and is dropped.
    const auto fnPildid = [&](double fOsa) {
        return !fnEdenemine || fnEdenemine(kElemendidValmis + (kPildidValmis - kElemendidValmis) * fOsa);
    };
    if (!pildid.LooKujutised(fnPildid)) {
        bKatkestatud = true;
        return {};
    }
    const auto fnOtsitav = [&](double fOsa) {
        return !fnEdenemine || fnEdenemine(kPildidValmis + (1.0 - kPildidValmis) * fOsa);
    };
    if (!arrLOIK.empty() && !LooOtsitavSisu(arrLOIK, dokument.strSisu, dokument.arrSisuAlgus, fnOtsitav))
        bKatkestatud = true;
    return {};
}

void Tekstiboks::PaigaldaDokument(LoetudDokument dokument) {
    m_arrLOIK = std::move(dokument.arrLOIK);
    m_arrRIDA.clear();
    m_arrJooksevKiri = std::move(dokument.arrKiri);
    ++m_nVersioon;
    if (m_arrLOIK.empty()) {
        // A text without a complete paragraph shows as the empty document of start-up, default style
        // and all, so that the cursor always has an element to stand before.
        m_arrJooksevKiri.assign(1, KIRI());
        Algvaartusta();
    } else {
        m_arrRIDA.reserve(m_arrLOIK.size());
        for (const auto& l : m_arrLOIK) {
            RIDA kohataide;
            kohataide.m_LOIK = l;
            m_arrRIDA.push_back(std::move(kohataide));
        }
    }
    if (dokument.arrSisuAlgus.empty()) {
        LooOtsitavSisu();
    } else {
        m_strSisu = std::move(dokument.strSisu);
        m_arrSisuAlgus = std::move(dokument.arrSisuAlgus);
    }
    ReastaElemendid();
}

void Tekstiboks::JataDokumentLopuni() {
    struct Dokument {
        std::vector<std::shared_ptr<LOIK>> arrLOIK;
        std::vector<RIDA> arrRIDA;
    };
    // Reachable from a static pointer to the end, so that a leak checker counts the documents as in
    // use rather than lost.
    static auto* arrJaetud = new std::vector<Dokument>;
    arrJaetud->push_back({std::move(m_arrLOIK), std::move(m_arrRIDA)});
    m_arrLOIK.clear();
    m_arrRIDA.clear();
    m_nKursor = 0;
    m_nShiftKursor = 0;
    Algvaartusta();
    LooOtsitavSisu();
}

qint64 Tekstiboks::TooSuurimElemente() const {
    return m_nSuurimElemente.value_or(std::min(availableMemory() / kBaiteElemendiKohta, kElementePiir));
}

void Tekstiboks::LooOtsitavSisu() {
    LooOtsitavSisu(m_arrLOIK, m_strSisu, m_arrSisuAlgus, {});
}

bool Tekstiboks::LooOtsitavSisu(const std::vector<std::shared_ptr<LOIK>>& arrLOIK, QString& strSisu,
                                std::vector<qint64>& arrSisuAlgus, const Edenemine& fnEdenemine) {
    // Sized up front and written in place: growing a text of millions of code units piece by piece
    // costs a call and a check for every piece. Pieces that grow (ß becoming SS) grow it by doubling.
    qsizetype nPikkus = 0;
    size_t nElemente = 0;
    for (const auto& loik : arrLOIK) {
        nElemente += loik->m_arrELEMENT.size();
        for (const auto& e : loik->m_arrELEMENT)
            nPikkus += e->m_TUUP == ELTUUP::MARK ? static_cast<const ELMARK&>(*e).m_strTekst.size() : 1;
    }
    QString strTekst(nPikkus, Qt::Uninitialized);
    char16_t* pTekst = reinterpret_cast<char16_t*>(strTekst.data());
    qsizetype nKoht = 0;
    const auto ruumi = [&](qsizetype nLisa) {
        if (nKoht + nLisa > strTekst.size()) {
            strTekst.resize(std::max(nKoht + nLisa, 2 * strTekst.size()));
            pTekst = reinterpret_cast<char16_t*>(strTekst.data());
        }
    };
    // The upper-cased, decomposed form of short pieces that are not ASCII, made once for each text:
    // a document repeats its words and letters. The table stops growing at a bound, so that a
    // document of distinct texts does not pay for it in memory.
    constexpr qsizetype kLuhikeTukk = 16;
    constexpr qsizetype kMeelesPeetud = 65536;
    QHash<QStringView, QString> teisendatud;

    std::vector<qint64> arrAlgus;
    arrAlgus.reserve(nElemente);
    for (const auto& loik : arrLOIK) {
        for (const auto& e : loik->m_arrELEMENT) {
            if (fnEdenemine && arrAlgus.size() % 4096 == 4095 &&
                !fnEdenemine(double(arrAlgus.size()) / double(nElemente)))
                return false;
            arrAlgus.push_back(nKoht);
            const QStringView strTukk = otsitavTukk(*e);
            // Upper-casing piece by piece keeps the element each code unit came from, also where a
            // character's capital is longer than the character (ß becomes SS). Decomposing lets a
            // precomposed letter and its decomposed writing find each other. ASCII is upper-cased
            // as it is copied.
            const bool bAscii =
                std::all_of(strTukk.begin(), strTukk.end(), [](QChar c) { return c.unicode() < 0x80; });
            if (bAscii) {
                ruumi(strTukk.size());
                for (const QChar q : strTukk) {
                    const char16_t c = q.unicode();
                    pTekst[nKoht++] = c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
                }
                continue;
            }
            QString strUus;
            if (strTukk.size() > kLuhikeTukk) {
                strUus = canonicalDecomposition(strTukk.toString().toUpper());
            } else if (const auto it = teisendatud.constFind(strTukk); it != teisendatud.cend()) {
                strUus = *it;
            } else {
                strUus = canonicalDecomposition(strTukk.toString().toUpper());
                // The key points into the run's own text, which lives as long as the table.
                if (teisendatud.size() < kMeelesPeetud)
                    teisendatud.insert(strTukk, strUus);
            }
            ruumi(strUus.size());
            std::copy_n(reinterpret_cast<const char16_t*>(strUus.constData()), strUus.size(), pTekst + nKoht);
            nKoht += strUus.size();
        }
    }
    strTekst.resize(nKoht);
    strSisu = std::move(strTekst);
    arrSisuAlgus = std::move(arrAlgus);
    return true;
}

qint64 Tekstiboks::TooSisuElement(qsizetype nKoht) const {
    // The last element whose piece starts at or before nKoht; empty pieces share their start with
    // the next element and are passed over.
    const auto it = std::upper_bound(m_arrSisuAlgus.begin(), m_arrSisuAlgus.end(), qint64(nKoht));
    if (it == m_arrSisuAlgus.begin())
        return 0;
    return qint64(it - m_arrSisuAlgus.begin()) - 1;
}
