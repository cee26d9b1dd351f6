#include "cli.h"

#include "AppDelegate.h"
#include "ViewController.h"
#include "WindowController.h"
#include "extensions/extensions.h"
#include "platform/image.h"
#include "platform/messagebox.h"
#include "platform/pasteboard.h"
#include "platform/strings.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMap>

#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The options of the command line, one row each. A headless option runs without a display.
struct Valik {
    const char* strNimi;
    // The value's placeholder in the help; nullptr for a switch.
    const char* strVaartus;
    const char* strAbi;
    bool bPeata;
};

constexpr Valik kValikud[] = {
    {"layout-json", nullptr, "Print the document's styles, paragraphs, lines and view as JSON.", true},
    {"screenshot", "OUT.png", "Render the window into the PNG file OUT.png.", true},
    {"text", nullptr, "Print the document's text as selecting all and copying gives it.", true},
    {"pdf", "OUT.pdf", "Write the document as a PDF of A4 pages into OUT.pdf, as printing lays it out.",
     true},
    {"width", "W", "Visible width of the document in a headless run, 1 to 16384 (800).", false},
    {"height", "H", "Visible height of the document in a headless run, 1 to 16384 (600).", false},
    {"zoom", "Z", "Zoom in percent in a headless run, read like a typed zoom (100).", false},
    {"help", nullptr, "Show this help.", false},
    {"version", nullptr, "Show the program's name and version.", false},
};

constexpr int kSuurimMoot = 16384;

// A failure that ends the run: its text is the reason after "Viga: ".
class Viga : public std::runtime_error {
public:
    explicit Viga(const QString& strPohjus) : std::runtime_error(strPohjus.toStdString()) {}
};

// The one way a run ends in failure: one line on standard error and status 1.
int lopetaVeaga(const char* strPohjus) {
    std::fprintf(stderr, "Viga: %s\n", strPohjus);
    return 1;
}

const Valik* leiaValik(QStringView strNimi) {
    for (const Valik& v : kValikud) {
        if (strNimi == QLatin1String(v.strNimi))
            return &v;
    }
    return nullptr;
}

struct Kask {
    // The options given, by name; a switch has an empty value.
    QMap<QString, QString> valikud;
    QStringList arrFailid;

    bool onAntud(const char* strNimi) const { return valikud.contains(QLatin1String(strNimi)); }
    bool onPeata() const {
        for (const Valik& v : kValikud) {
            if (v.bPeata && onAntud(v.strNimi))
                return true;
        }
        return false;
    }
};

// Options are "--name value" or "--name=value"; everything after "--" is a file name, and so is
// "-" on its own. Any other word beginning with "-" is an option, so a file name that begins with
// "-" goes after "--".
Kask loeKask(int argc, char** argv) {
    Kask kask;
    bool bAinultFailid = false;
    for (int i = 1; i < argc; ++i) {
        const QString strSona = QFile::decodeName(argv[i]);
        if (bAinultFailid || strSona == QLatin1String("-") || !strSona.startsWith(u'-')) {
            kask.arrFailid << strSona;
            continue;
        }
        if (strSona == QLatin1String("--")) {
            bAinultFailid = true;
            continue;
        }
        const qsizetype nVordus = strSona.indexOf(u'=');
        const QString strNimi = strSona.mid(2, nVordus < 0 ? -1 : nVordus - 2);
        const Valik* valik = strSona.startsWith(QLatin1String("--")) ? leiaValik(strNimi) : nullptr;
        if (!valik)
            throw Viga(QStringLiteral("unknown option %1 (a file name that begins with \"-\" goes after --)")
                           .arg(nVordus < 0 ? strSona : strSona.left(nVordus)));
        QString strVaartus;
        if (!valik->strVaartus) {
            if (nVordus >= 0)
                throw Viga(QStringLiteral("--%1 takes no value").arg(strNimi));
        } else if (nVordus >= 0) {
            strVaartus = strSona.mid(nVordus + 1);
        } else if (i + 1 < argc) {
            strVaartus = QFile::decodeName(argv[++i]);
        } else {
            throw Viga(
                QStringLiteral("--%1 needs a value %2").arg(strNimi, QLatin1String(valik->strVaartus)));
        }
        kask.valikud.insert(strNimi, strVaartus);
    }
    return kask;
}

void kirjutaAbi() {
    std::string strAbi =
        "Usage: velmora [OPTION]... [FILE]\n"
        "Viewer for VLM1 documents. Without an option it opens FILE, if given, in its window.\n"
        "\nOptions:\n";
    for (const Valik& v : kValikud) {
        std::string strRida =
            std::string("  --") + v.strNimi + (v.strVaartus ? std::string(" ") + v.strVaartus : "");
        strRida.resize(std::max<size_t>(strRida.size() + 2, 24), ' ');
        strAbi += strRida + v.strAbi + "\n";
    }
    strAbi += "  --                    Only file names follow.\n";
    std::fputs(strAbi.c_str(), stdout);
}

int mootValikust(const Kask& kask, const char* strNimi, int nVaikimisi) {
    if (!kask.onAntud(strNimi))
        return nVaikimisi;
    const QString strVaartus = kask.valikud.value(QLatin1String(strNimi));
    bool bOk = false;
    const int n = strVaartus.trimmed().toInt(&bOk);
    if (!bOk || n < 1 || n > kSuurimMoot)
        throw Viga(QStringLiteral("--%1 takes a whole number from 1 to %2, not \"%3\"")
                       .arg(QLatin1String(strNimi))
                       .arg(kSuurimMoot)
                       .arg(strVaartus));
    return n;
}

// Writes JSON to a file as it goes, so that the output of a document of millions of elements never
// stands in memory whole. Containers opened with Layout::Lines put each member on a line of its own;
// those opened Inline keep theirs on one line.
class JsonStream {
public:
    enum class Layout { Lines, Inline };

    explicit JsonStream(std::FILE* file) : m_file(file) {}
    ~JsonStream() { flush(); }
    JsonStream(const JsonStream&) = delete;
    JsonStream& operator=(const JsonStream&) = delete;

    void beginObject(Layout layout = Layout::Inline) { open('{', layout); }
    void endObject() { close('}'); }
    void beginArray(Layout layout = Layout::Inline) { open('[', layout); }
    void endArray() { close(']'); }

    void key(const char* name) {
        separate();
        m_buffer += '"';
        m_buffer += name;
        m_buffer += "\": ";
        m_afterKey = true;
    }

    void value(qint64 n) {
        separate();
        char digits[24];
        m_buffer.append(digits, size_t(std::to_chars(digits, digits + sizeof digits, n).ptr - digits));
    }
    void value(int n) { value(qint64(n)); }
    // A C string would otherwise be taken for a truth value.
    void value(const char*) = delete;
    // JSON has no infinities or NaN; they are written as null.
    void value(double f) {
        separate();
        if (!std::isfinite(f)) {
            m_buffer += "null";
            return;
        }
        char digits[32];
        m_buffer.append(digits, size_t(std::to_chars(digits, digits + sizeof digits, f).ptr - digits));
    }
    void value(std::optional<double> f) { f ? value(*f) : null(); }
    void value(bool b) {
        separate();
        m_buffer += b ? "true" : "false";
    }
    void value(const QString& text) {
        separate();
        m_buffer += '"';
        const QByteArray utf8 = text.toUtf8();
        for (const char c : utf8) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                m_buffer += '\\';
                m_buffer += c;
            } else if (u < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", u);
                m_buffer += escape;
            } else {
                m_buffer += c;
            }
        }
        m_buffer += '"';
        if (m_buffer.size() > kFlushSize)
            flush();
    }
    void null() {
        separate();
        m_buffer += "null";
    }

    // Writes out what is buffered; false once any write has failed.
    bool flush() {
        if (!m_buffer.empty() && m_ok)
            m_ok = std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) == m_buffer.size();
        m_buffer.clear();
        return m_ok;
    }
    bool finish() {
        m_buffer += '\n';
        return flush() && std::fflush(m_file) == 0 && !std::ferror(m_file);
    }

private:
    static constexpr size_t kFlushSize = 1 << 16;

    struct Level {
        Layout layout;
        bool empty = true;
    };

    void open(char bracket, Layout layout) {
        separate();
        m_buffer += bracket;
        m_levels.push_back({layout});
    }
    void close(char bracket) {
        const Level level = m_levels.back();
        m_levels.pop_back();
        if (level.layout == Layout::Lines && !level.empty)
            newLine();
        m_buffer += bracket;
        if (m_buffer.size() > kFlushSize)
            flush();
    }
    // Before a key or a value: the comma after the previous member and the member's own line.
    void separate() {
        if (m_afterKey) {
            m_afterKey = false;
            return;
        }
        if (m_levels.empty())
            return;
        Level& level = m_levels.back();
        if (!level.empty)
            m_buffer += level.layout == Layout::Lines ? "," : ", ";
        level.empty = false;
        if (level.layout == Layout::Lines)
            newLine();
    }
    void newLine() {
        m_buffer += '\n';
        m_buffer.append(4 * m_levels.size(), ' ');
    }

    std::FILE* m_file;
    std::string m_buffer;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
    bool m_ok = true;
};

const char* liigiNimi(ELTUUP tuup) {
    switch (tuup) {
    case ELTUUP::ENTER:
        return "ENTER";
    case ELTUUP::MARK:
        return "MARK";
    case ELTUUP::TAB:
        return "TAB";
    case ELTUUP::TUHIK:
        return "TUHIK";
    case ELTUUP::PILT:
        return "PILT";
    }
    return "";
}

void kirjutaSuurus(JsonStream& json, QSizeF c) {
    json.beginArray();
    json.value(c.width());
    json.value(c.height());
    json.endArray();
}

void kirjutaElement(JsonStream& json, const ELEMENT& e) {
    json.beginObject();
    json.key("kind");
    json.value(QString::fromLatin1(e.m_TUUP ? liigiNimi(*e.m_TUUP) : ""));
    json.key("style");
    json.value(e.m_nKiri);
    json.key("highlight");
    e.m_clEsiletost ? json.value(hexStringFromColour(*e.m_clEsiletost)) : json.null();
    json.key("x");
    e.m_ptPos ? json.value(e.m_ptPos->x()) : json.null();
    json.key("width");
    e.m_cSuurus ? json.value(e.laius()) : json.null();
    json.key("height");
    e.m_cSuurus ? json.value(e.korgus()) : json.null();
    json.key("rise");
    json.value(e.m_fTous);
    if (e.m_TUUP == ELTUUP::MARK) {
        json.key("text");
        json.value(static_cast<const ELMARK&>(e).m_strTekst);
    }
    if (e.m_TUUP == ELTUUP::PILT) {
        const auto& pilt = static_cast<const ELPILT&>(e);
        json.key("stored");
        pilt.m_cOrginaalSuurus ? kirjutaSuurus(json, *pilt.m_cOrginaalSuurus) : json.null();
        json.key("bitmap");
        pilt.m_Kujutis ? kirjutaSuurus(json, QSizeF(pilt.m_Kujutis->size())) : json.null();
    }
    json.endObject();
}

// The layout of the view as JSON, element by element, in the order the README gives.
void kirjutaPaigutus(JsonStream& json, const Tekstiboks& vaade) {
    using Layout = JsonStream::Layout;
    json.beginObject(Layout::Lines);

    json.key("styles");
    json.beginArray(Layout::Lines);
    for (const KIRI& k : vaade.m_arrJooksevKiri) {
        json.beginObject();
        json.key("face");
        json.value(k.m_strKirjatuup);
        json.key("size");
        json.value(k.m_fKirjasuurus);
        const std::pair<const char*, bool> lipud[] = {{"bold", k.m_bPaks},
                                                      {"italic", k.m_bKaldkiri},
                                                      {"underline", k.m_bAllaKriipsutatud},
                                                      {"strike", k.m_bLabiKriipsutatud},
                                                      {"superscript", k.m_bUlaindeks},
                                                      {"subscript", k.m_bAlaindeks}};
        for (const auto& [strNimi, b] : lipud) {
            json.key(strNimi);
            json.value(b);
        }
        json.key("colour");
        json.value(hexStringFromColour(k.m_clKirjavarv));
        json.endObject();
    }
    json.endArray();

    json.key("paragraphs");
    json.beginArray(Layout::Lines);
    for (const auto& loik : vaade.m_arrLOIK) {
        json.beginObject(Layout::Lines);
        json.key("align");
        json.value(int(loik->m_Joondus));
        json.key("elements");
        json.beginArray(Layout::Lines);
        for (const auto& e : loik->m_arrELEMENT)
            kirjutaElement(json, *e);
        json.endArray();
        json.endObject();
    }
    json.endArray();

    // Lines follow their paragraphs in order, so a paragraph's index is found walking along.
    json.key("lines");
    json.beginArray(Layout::Lines);
    size_t nLoik = 0;
    for (size_t k = 0; k < vaade.m_arrRIDA.size(); ++k) {
        const RIDA& rida = vaade.m_arrRIDA[k];
        size_t nLeitud = nLoik;
        while (nLeitud < vaade.m_arrLOIK.size() && vaade.m_arrLOIK[nLeitud] != rida.m_LOIK)
            ++nLeitud;
        if (nLeitud < vaade.m_arrLOIK.size())
            nLoik = nLeitud;
        json.beginObject();
        json.key("paragraph");
        json.value(nLeitud < vaade.m_arrLOIK.size() ? qint64(nLeitud) : qint64(-1));
        json.key("first");
        json.value(k < vaade.m_arrReaAlgus.size() ? vaade.m_arrReaAlgus[k] : qint64(-1));
        json.key("count");
        json.value(qint64(rida.m_arrELEMENT.size()));
        json.key("top");
        json.value(k < vaade.m_arrReaY.size() ? vaade.m_cServad.height() + vaade.m_arrReaY[k] : 0.0);
        json.key("height");
        json.value(rida.m_fKoguKorgus);
        json.key("textHeight");
        json.value(rida.m_fTekstiKorgus);
        json.key("rise");
        json.value(rida.m_fTous);
        json.key("naturalWidth");
        json.value(rida.m_fMaksLaius);
        json.endObject();
    }
    json.endArray();

    json.key("extent");
    kirjutaSuurus(json, vaade.TooUlatus());
    json.key("zoom");
    json.value(vaade.m_fSuum);
    json.key("cursor");
    json.value(vaade.m_nKursor);
    json.key("anchor");
    json.value(vaade.m_nShiftKursor);
    json.key("status");
    json.beginArray();
    json.value(vaade.m_nOlekVeerg);
    json.value(vaade.m_nOlekRida);
    json.endArray();
    json.key("title");
    json.value(vaade.m_strPealkiri);
    json.endObject();
}

// Headless runs print only their result and their failures: Qt's own notes about the offscreen
// platform and the environment are dropped unless VELMORA_DEBUG is set.
void vaikneTeade(QtMsgType tuup, const QMessageLogContext&, const QString& strTeade) {
    if (tuup == QtCriticalMsg || tuup == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(strTeade));
}

int kaivita(int argc, char** argv) {
    const Kask kask = loeKask(argc, argv);
    if (kask.onAntud("help")) {
        kirjutaAbi();
        return 0;
    }
    if (kask.onAntud("version")) {
        std::fputs("Velmora " VELMORA_VERSION "\n", stdout);
        return 0;
    }
    const bool bPeata = kask.onPeata();
    if (kask.arrFailid.size() > 1 || (bPeata && kask.arrFailid.isEmpty()))
        throw Viga(bPeata ? QStringLiteral("give exactly one FILE")
                          : QStringLiteral("give at most one FILE"));
    const QSize cNahtav(mootValikust(kask, "width", 800), mootValikust(kask, "height", 600));
    // Without a display Qt would end the program with an abort; a user who started it from a
    // terminal without one is told why instead.
    if (!bPeata && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        throw Viga(QStringLiteral("no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
                                  "set); --screenshot renders the window without one"));

    // Qt sees none of the arguments: they are all this program's, file names included.
    int nQtArgc = 1;
    char* arrQtArgv[] = {argv[0], nullptr};
    if (bPeata) {
        // The inspection options work without a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const bool bSilumine = !qEnvironmentVariableIsEmpty("VELMORA_DEBUG");
        if (!bSilumine)
            qInstallMessageHandler(vaikneTeade);
        setImageDecoderMessagesShown(bSilumine);
        // A reader that went away leaves a failed write to report, not a silent death.
        std::signal(SIGPIPE, SIG_IGN);
    }
    QApplication app(nQtArgc, arrQtArgv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    // The desktop matches the window with the installed desktop entry, and so with its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));

    QStringList arrVead;
    if (bPeata) {
        setMessageBoxHandler([&arrVead](const QString&, const QString& strTekst) {
            arrVead << strTekst;
            return true;
        });
    }

    AppDelegate delegaat;
    WindowController aken(&delegaat);
    Tekstiboks& vaade = *aken.TooTekstiboks();
    if (!bPeata)
        aken.MaletaAsendit();
    aken.show();
    if (!bPeata) {
        // Opened once the window is up, so that a message about the file appears over it; the empty
        // window stays whatever the message.
        if (!kask.arrFailid.isEmpty()) {
            const QString strFail = kask.arrFailid.first();
            QMetaObject::invokeMethod(
                &aken, [&aken, strFail] { aken.AvaDokument(strFail); }, Qt::QueuedConnection);
        }
        const int nKood = app.exec();
        // The document is left to the end of the process, which frees it at once.
        vaade.JataDokumentLopuni();
        return nKood;
    }

    aken.m_cViewController->SeaNahtavaAla(cNahtav);
    QApplication::processEvents();
    vaade.Ava(kask.arrFailid.first());

    if (!arrVead.isEmpty())
        throw Viga(arrVead.join(QStringLiteral("; ")));
    if (kask.onAntud("zoom"))
        vaade.Suumi(lenientDouble(kask.valikud.value(QStringLiteral("zoom"))));
    QApplication::processEvents();

    if (kask.onAntud("layout-json")) {
        JsonStream json(stdout);
        kirjutaPaigutus(json, vaade);
        if (!json.finish())
            throw Viga(QStringLiteral("could not write the layout (%1)")
                           .arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (kask.onAntud("screenshot")) {
        const QString strValja = kask.valikud.value(QStringLiteral("screenshot"));
        // The whole window: menu bar, toolbar, the document and the status bar.
        if (!aken.grab().save(strValja, "PNG"))
            throw Viga(QStringLiteral("could not write %1").arg(strValja));
    }
    if (kask.onAntud("pdf")) {
        const QString strViga = vaade.EkspordiPdf(kask.valikud.value(QStringLiteral("pdf")));
        if (!strViga.isEmpty())
            throw Viga(strViga);
    }
    if (kask.onAntud("text")) {
        vaade.ValiKoik();
        const QByteArray baTekst = (plainTextOf(vaade.TooKopeeritav(vaade.TooKursorid())) + u'\n').toUtf8();
        if (std::fwrite(baTekst.constData(), 1, size_t(baTekst.size()), stdout) != size_t(baTekst.size()) ||
            std::fflush(stdout) != 0)
            throw Viga(QStringLiteral("could not write the text (%1)")
                           .arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    vaade.JataDokumentLopuni();
    return 0;
}

} // namespace

int runVelmora(int argc, char** argv) {
    try {
        return kaivita(argc, argv);
    } catch (const std::bad_alloc&) {
        return lopetaVeaga("out of memory");
    } catch (const std::exception& e) {
        return lopetaVeaga(e.what());
    } catch (...) {
        return lopetaVeaga("an unexpected failure");
    }
}
