#include "cli.h"

#include "ViewController.h"
#include "extensions.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScrollArea>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

QJsonValue arv(const std::optional<double>& f) {
    return f ? QJsonValue(*f) : QJsonValue();
}

QJsonValue suurus(const std::optional<QSizeF>& c) {
    return c ? QJsonValue(QJsonArray{c->width(), c->height()}) : QJsonValue();
}

QString liigiNimi(ELTUUP tuup) {
    switch (tuup) {
    case ELTUUP::ENTER:
        return QStringLiteral("ENTER");
    case ELTUUP::MARK:
        return QStringLiteral("MARK");
    case ELTUUP::TAB:
        return QStringLiteral("TAB");
    case ELTUUP::TUHIK:
        return QStringLiteral("TUHIK");
    case ELTUUP::PILT:
        return QStringLiteral("PILT");
    }
    return {};
}

QJsonObject paigutusJson(const Tekstiboks& vaade) {
    QJsonArray arrKirjad;
    for (const KIRI& k : vaade.m_arrJooksevKiri) {
        arrKirjad.append(QJsonObject{{"face", k.m_strKirjatuup},
                                     {"size", k.m_fKirjasuurus},
                                     {"bold", k.m_bPaks},
                                     {"italic", k.m_bKaldkiri},
                                     {"underline", k.m_bAllaKriipsutatud},
                                     {"strike", k.m_bLabiKriipsutatud},
                                     {"superscript", k.m_bUlaindeks},
                                     {"subscript", k.m_bAlaindeks},
                                     {"colour", hexStringFromColour(k.m_clKirjavarv)}});
    }

    QJsonArray arrLoigud;
    QHash<const LOIK*, qint64> loiguIndeks;
    for (const auto& loik : vaade.m_arrLOIK) {
        loiguIndeks.insert(loik.get(), arrLoigud.size());
        QJsonArray arrElemendid;
        for (const auto& e : loik->m_arrELEMENT) {
            QJsonObject o{{"kind", liigiNimi(*e->m_TUUP)},
                          {"style", e->m_nKiri},
                          {"highlight", e->m_clEsiletost ? QJsonValue(hexStringFromColour(*e->m_clEsiletost))
                                                         : QJsonValue()},
                          {"x", e->m_ptPos ? QJsonValue(e->m_ptPos->x()) : QJsonValue()},
                          {"width", e->m_cSuurus ? QJsonValue(e->laius()) : QJsonValue()},
                          {"height", e->m_cSuurus ? QJsonValue(e->korgus()) : QJsonValue()},
                          {"rise", arv(e->m_fTous)}};
            if (e->m_TUUP == ELTUUP::MARK)
                o.insert("text", static_cast<const ELMARK&>(*e).m_strTekst);
            if (e->m_TUUP == ELTUUP::PILT) {
                const auto& pilt = static_cast<const ELPILT&>(*e);
                o.insert("stored", suurus(pilt.m_cOrginaalSuurus));
                o.insert("bitmap", pilt.m_Kujutis ? QJsonValue(QJsonArray{pilt.m_Kujutis->width(),
                                                                          pilt.m_Kujutis->height()})
                                                  : QJsonValue());
            }
            arrElemendid.append(o);
        }
        arrLoigud.append(QJsonObject{{"align", int(loik->m_Joondus)}, {"elements", arrElemendid}});
    }

    QJsonArray arrRead;
    for (size_t k = 0; k < vaade.m_arrRIDA.size(); ++k) {
        const RIDA& rida = vaade.m_arrRIDA[k];
        arrRead.append(QJsonObject{
            {"paragraph", loiguIndeks.value(rida.m_LOIK.get(), -1)},
            {"first", k < vaade.m_arrReaAlgus.size() ? vaade.m_arrReaAlgus[k] : -1},
            {"count", qint64(rida.m_arrELEMENT.size())},
            {"top", k < vaade.m_arrReaY.size() ? vaade.m_cServad.height() + vaade.m_arrReaY[k] : 0.0},
            {"height", arv(rida.m_fKoguKorgus)},
            {"textHeight", arv(rida.m_fTekstiKorgus)},
            {"rise", arv(rida.m_fTous)},
            {"naturalWidth", arv(rida.m_fMaksLaius)}});
    }

    return QJsonObject{{"styles", arrKirjad},
                       {"paragraphs", arrLoigud},
                       {"lines", arrRead},
                       {"extent", QJsonArray{vaade.width(), vaade.height()}},
                       {"zoom", vaade.m_fSuum},
                       {"cursor", vaade.m_nKursor},
                       {"anchor", vaade.m_nShiftKursor},
                       {"status", QJsonArray{vaade.m_nOlekVeerg, vaade.m_nOlekRida}},
                       {"title", vaade.m_strPealkiri}};
}

bool onPeata(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--layout-json") || !std::strcmp(argv[i], "--screenshot"))
            return true;
    }
    return false;
}

// Headless runs print only their result and their failures: Qt's own notes about the offscreen
// platform and the environment are dropped unless VELMORA_DEBUG is set.
void vaikneTeade(QtMsgType tuup, const QMessageLogContext&, const QString& strTeade) {
    if (tuup == QtCriticalMsg || tuup == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(strTeade));
}

void kirjutaVead(const QStringList& arrVead) {
    for (const QString& strViga : arrVead)
        std::fprintf(stderr, "Viga: %s\n", qPrintable(strViga));
}

} // namespace

int runVelmora(int argc, char** argv) {
    // The inspection options work without a display.
    if (onPeata(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("VELMORA_DEBUG"))
            qInstallMessageHandler(vaikneTeade);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Viewer for VLM1 documents."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The VLM1 document to open."));
    const QCommandLineOption layoutJson(
        QStringLiteral("layout-json"),
        QStringLiteral("Print the document's styles, paragraphs, lines and view as JSON."));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Render the window into a PNG file."),
                                        QStringLiteral("out.png"));
    const QCommandLineOption width(QStringLiteral("width"),
                                   QStringLiteral("Visible width of the document (800)."),
                                   QStringLiteral("W"), QStringLiteral("800"));
    const QCommandLineOption height(QStringLiteral("height"),
                                    QStringLiteral("Visible height of the document (600)."),
                                    QStringLiteral("H"), QStringLiteral("600"));
    const QCommandLineOption zoom(QStringLiteral("zoom"), QStringLiteral("Zoom in percent (100)."),
                                  QStringLiteral("Z"), QStringLiteral("100"));
    parser.addOptions({layoutJson, screenshot, width, height, zoom});
    parser.process(app);

    const QStringList arrFailid = parser.positionalArguments();
    const bool bPeata = parser.isSet(layoutJson) || parser.isSet(screenshot);
    if (bPeata && arrFailid.size() != 1) {
        std::fprintf(stderr, "Viga: give exactly one FILE\n");
        return 2;
    }

    QStringList arrVead;
    if (bPeata) {
        setMessageBoxHandler([&arrVead](const QString&, const QString& strTekst) {
            arrVead << strTekst;
            return true;
        });
    }

    ViewController aken;
    Tekstiboks& vaade = *aken.m_cTekstiboks;
    if (bPeata) {
        const auto moot = [&](const QCommandLineOption& o) {
            bool bOk = false;
            const int n = parser.value(o).toInt(&bOk);
            return bOk ? std::clamp(n, 1, 16384) : 0;
        };
        const QSize cNahtav(moot(width), moot(height));
        if (cNahtav.isEmpty()) {
            std::fprintf(stderr, "Viga: --width and --height take whole numbers from 1 to 16384\n");
            return 2;
        }
        aken.show();
        aken.SeaNahtavaAla(cNahtav);
        QApplication::processEvents();
    } else {
        aken.show();
    }

    if (!arrFailid.isEmpty())
        vaade.Ava(arrFailid.first());

    if (!bPeata)
        return app.exec();

    if (!arrVead.isEmpty()) {
        kirjutaVead(arrVead);
        return 1;
    }
    if (parser.isSet(zoom))
        vaade.Suumi(lenientDouble(parser.value(zoom)));
    QApplication::processEvents();

    if (parser.isSet(layoutJson)) {
        const QByteArray baJson = QJsonDocument(paigutusJson(vaade)).toJson(QJsonDocument::Indented);
        std::fwrite(baJson.constData(), 1, size_t(baJson.size()), stdout);
    }
    if (parser.isSet(screenshot)) {
        const QString strValja = parser.value(screenshot);
        if (!aken.grab().save(strValja, "PNG")) {
            std::fprintf(stderr, "Viga: could not write %s\n", qPrintable(strValja));
            return 1;
        }
    }
    return 0;
}
