// Start-up with the empty document, opening files, reading VLM1 texts and the search text.

#include "tekst/Tekstiboks.h"

#include "extensions/extensions.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "tekst/ELENTER.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/ELTAB.h"
#include "tekst/ELTUHIK.h"
#include "tekst/SharedMeasurer.h"
#include "tekst/SharedPictures.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <bit>

namespace {

// Files larger than this are refused rather than read: the text and the elements made from it must
// fit in memory together.
constexpr qint64 kSuurimFail = 256 * 1024 * 1024;

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
QString otsitavTukk(const ELEMENT& e) {
    switch (*e.m_TUUP) {
    case ELTUUP::MARK:
        return static_cast<const ELMARK&>(e).m_strTekst;
    case ELTUUP::ENTER:
        return QStringLiteral("\u00b6");
    case ELTUUP::TAB:
        return QStringLiteral("\t");
    case ELTUUP::TUHIK:
        return QStringLiteral(" ");
    case ELTUUP::PILT:
        return QStringLiteral("\u0001");
    }
    return {};
}

// A text equal for two styles exactly when OnSama holds between them, so that the style table can
// find an earlier equal style through a hash instead of a walk over every style. Numbers enter with
// their exact bits, since sizes that differ in the seventh decimal are still two styles; -0.0 is
// folded into 0.0 as == does. Sizes and colours are never NaN (the lenient readings give none).
QString kiriVoti(const KIRI& k) {
    QString strVoti = k.m_strKirjatuup.normalized(QString::NormalizationForm_C) + QChar(0);
    const Colour& c = k.m_clKirjavarv;
    for (const double f : {k.m_fKirjasuurus, c.red, c.green, c.blue, c.alpha})
        strVoti += QString::number(std::bit_cast<quint64>(f == 0.0 ? 0.0 : f), 16) + QLatin1Char('|');
    for (const bool b : {k.m_bPaks, k.m_bKaldkiri, k.m_bAllaKriipsutatud, k.m_bLabiKriipsutatud,
                         k.m_bUlaindeks, k.m_bAlaindeks})
        strVoti += QLatin1Char(b ? '1' : '0');
    return strVoti;
}

} // namespace

Tekstiboks::Tekstiboks(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    // A right click belongs to the view (it places the caret) and never opens a menu, not even one
    // of a widget around it.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
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

bool Tekstiboks::Ava(const QString& strFail) {
    FileContents fail = readRegularFile(strFail, kSuurimFail);
    QString strViga;
    switch (fail.error) {
    case FileReadError::None: {
        // A byte order mark is valid UTF-8, so offsets count from the file's first byte.
        const qsizetype nVigane = vigaseUtf8Algus(fail.bytes);
        if (nVigane >= 0)
            strViga = avamiseViga(
                strFail, QStringLiteral("because its text is not valid UTF-8 (at byte %1).").arg(nVigane));
        break;
    }
    case FileReadError::NoSuchFile:
        strViga = avamiseViga(strFail, QStringLiteral("because there is no such file."));
        break;
    case FileReadError::NameTooLong:
        strViga = avamiseViga(strFail, QStringLiteral("because its name is too long."));
        break;
    case FileReadError::Folder:
        strViga = avamiseViga(strFail, QStringLiteral("because it is a folder."));
        break;
    case FileReadError::NotRegularFile:
        // A pipe or a device would block the read or never end it.
        strViga = avamiseViga(strFail, QStringLiteral("because it is not a regular file."));
        break;
    case FileReadError::NoPermission:
        strViga = avamiseViga(strFail, QStringLiteral("because you don\u2019t have permission to view it."));
        break;
    case FileReadError::TooLarge:
        strViga = avamiseViga(strFail, QStringLiteral("because it is too large: at most %1 MiB can be read.")
                                           .arg(kSuurimFail / (1024 * 1024)));
        break;
    case FileReadError::Failed:
        strViga = avamiseViga(strFail, QStringLiteral("because it could not be read (%1).").arg(fail.reason));
        break;
    }
    if (!strViga.isEmpty()) {
        DialoogOK(QStringLiteral("Viga"), strViga);
        return false;
    }

    // The decoding drops one byte order mark; a second one stays in the text, which then does not
    // begin with the magic.
    QString strSisu = QString::fromUtf8(fail.bytes);
    fail.bytes = QByteArray();
    const bool bLoetud = AvaFail(strSisu);
    const QFileInfo info(strFail);
    m_strFailinimi = info.absoluteFilePath();
    ValjastaPealkiri(QStringLiteral("Velmora - ") + info.fileName());
    return bLoetud;
}

bool Tekstiboks::AvaFail(const QString& strSisu) {
    if (strSisu.size() < 4 || !strSisu.startsWith(QLatin1String("VLM1"))) {
        DialoogOK(QStringLiteral("Viga"), QStringLiteral("Faili formaat ei sobi!"));
        return false;
    }

    // The new document is built aside and takes the old one's place only when it is complete.
    std::vector<std::shared_ptr<LOIK>> arrLOIK;
    std::vector<KIRI> arrKiri;
    QHash<QString, qint64> kiriIndeks;
    const double fSuum = 100.0;
    SharedMeasurer mootja(arrKiri, fSuum);
    SharedPictures pildid(m_nPildiEelarve);

    std::shared_ptr<LOIK> loik;
    qint64 nKiri = 0;
    std::optional<Colour> clEsiletost;

    // An element needs a style to be measured in; a document that emits one before any style gets
    // the default style as style 0.
    auto kiriOlemas = [&] {
        if (arrKiri.empty()) {
            arrKiri.push_back(KIRI());
            kiriIndeks.insert(kiriVoti(arrKiri.back()), 0);
        }
    };
    // Elements and paragraphs are counted as they are made, so that a document too large for the
    // memory is refused before it has taken it.
    const qint64 nSuurim = TooSuurimElemente();
    qint64 nTehtud = 0;
    bool bLiigaSuur = false;
    auto loe = [&] {
        if (++nTehtud > nSuurim)
            bLiigaSuur = true;
    };
    auto lisa = [&](std::unique_ptr<ELEMENT> e) {
        loe();
        kiriOlemas();
        e->m_nKiri = nKiri;
        e->m_clEsiletost = clEsiletost;
        mootja.Mooda(*e);
        loik->m_arrELEMENT.push_back(std::move(e));
    };
    // The payload of the token whose "{" stands at p: from p + 3 up to its closing "}", the first
    // one after p, or to the end of the text when there is none.
    const qsizetype n = strSisu.size();
    auto lopp = [&](qsizetype p) {
        const qsizetype nLopp = strSisu.indexOf(QLatin1Char('}'), p);
        return nLopp < 0 ? n : nLopp;
    };
    auto sisu = [&](qsizetype p, qsizetype nLopp) {
        return nLopp > p + 3 ? QStringView(strSisu).mid(p + 3, nLopp - (p + 3)) : QStringView();
    };

    for (qsizetype i = 4; i < n && !bLiigaSuur; ++i) {
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
                KIRI kiri;
                kiri.LooSonest(sisu(i, lopp(i)).toString());
                // The table never holds two equal styles, so the first equal one is the only one.
                const QString strVoti = kiriVoti(kiri);
                const auto it = kiriIndeks.constFind(strVoti);
                if (it != kiriIndeks.constEnd()) {
                    nKiri = *it;
                    Q_ASSERT(arrKiri[size_t(nKiri)].OnSama(kiri));
                } else {
                    arrKiri.push_back(kiri);
                    nKiri = qint64(arrKiri.size()) - 1;
                    kiriIndeks.insert(strVoti, nKiri);
                }
            } else if (c2 == QLatin1Char('E')) {
                clEsiletost = colourFromHexString(sisu(i, lopp(i)).toString());
            } else if (c2 == QLatin1Char('M')) {
                const qsizetype nLopp = lopp(i);
                auto mark = std::make_unique<ELMARK>();
                mark->m_strTekst = sisu(i, nLopp).toString();
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
                const qsizetype nLopp = lopp(i);
                auto pilt = std::make_unique<ELPILT>();
                pildid.Lisa(*pilt, sisu(i, nLopp));
                lisa(std::move(pilt));
                i = nLopp;
            }
        }
    }
    if (bLiigaSuur) {
        DialoogOK(QStringLiteral("Viga"),
                  QStringLiteral("The document has more than %L1 elements and paragraphs, more than the "
                                 "memory available can hold.")
                      .arg(nSuurim));
        return false;
    }
    // A paragraph still open at the end of the text was never closed and is dropped.
    pildid.LooKujutised();

    m_arrLOIK = std::move(arrLOIK);
    m_arrRIDA.clear();
    m_arrJooksevKiri = std::move(arrKiri);
    m_fSuum = fSuum;
    m_nKursor = 0;
    m_nShiftKursor = 0;
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
    LooOtsitavSisu();
    ReastaElemendid();
    Varskenda(true, false, false);
    return true;
}

qint64 Tekstiboks::TooSuurimElemente() const {
    return m_nSuurimElemente.value_or(availableMemory() / kBaiteElemendiKohta);
}

void Tekstiboks::LooOtsitavSisu() {
    // Sized up front: growing a text of millions of code units step by step copies it again and again.
    qsizetype nPikkus = 0;
    size_t nElemente = 0;
    for (const auto& loik : m_arrLOIK) {
        nElemente += loik->m_arrELEMENT.size();
        for (const auto& e : loik->m_arrELEMENT)
            nPikkus += e->m_TUUP == ELTUUP::MARK ? static_cast<const ELMARK&>(*e).m_strTekst.size() : 1;
    }
    QString strTekst;
    strTekst.reserve(nPikkus);
    std::vector<qint64> arrAlgus;
    arrAlgus.reserve(nElemente);
    for (const auto& loik : m_arrLOIK) {
        for (const auto& e : loik->m_arrELEMENT) {
            arrAlgus.push_back(strTekst.size());
            const QString strTukk = otsitavTukk(*e);
            // Upper-casing piece by piece keeps the element each code unit came from, also where a
            // character's capital is longer than the character (ß becomes SS). Decomposing lets a
            // precomposed letter and its decomposed writing find each other. ASCII is upper-cased
            // in place, without a copy of its own.
            const bool bAscii =
                std::all_of(strTukk.begin(), strTukk.end(), [](QChar c) { return c.unicode() < 0x80; });
            if (bAscii) {
                const qsizetype nAlgus = strTekst.size();
                strTekst += strTukk;
                for (qsizetype i = nAlgus; i < strTekst.size(); ++i) {
                    const char16_t c = strTekst.at(i).unicode();
                    if (c >= u'a' && c <= u'z')
                        strTekst[i] = QChar(c - u'a' + u'A');
                }
            } else {
                strTekst += strTukk.toUpper().normalized(QString::NormalizationForm_D);
            }
        }
    }
    m_strSisu = std::move(strTekst);
    m_arrSisuAlgus = std::move(arrAlgus);
}

qint64 Tekstiboks::TooSisuElement(qsizetype nKoht) const {
    // The last element whose piece starts at or before nKoht; empty pieces share their start with
    // the next element and are passed over.
    const auto it = std::upper_bound(m_arrSisuAlgus.begin(), m_arrSisuAlgus.end(), qint64(nKoht));
    if (it == m_arrSisuAlgus.begin())
        return 0;
    return qint64(it - m_arrSisuAlgus.begin()) - 1;
}
