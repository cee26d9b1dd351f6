// Velmora against Qt's rich-text engine (QTextDocument) on twin documents: the same text, styles,
// highlights, alignments and pictures, once as VLM1 and once as HTML.
//
//     velmora_compare [--chars 100000,1000000] [--seed 1] [--runs 3] [--dir DIR]
//     velmora_compare --write DIR [--chars N,...] [--seed S]    only write the documents
//     velmora_compare --check                                    check that the twins agree
//
// The program re-executes itself once per engine and document ("--child qt|velmora FILE"), so that
// each engine's peak memory is its own; each child reports its timings as "key value" lines. The
// whole-process time of opening to the first screen comes from further children that stop there
// ("--open-only"), timed from start to exit.

#include "ViewController.h"
#include "platform/canvas.h"
#include "platform/messagebox.h"
#include "platform/pasteboard.h"
#include "tekst/ELMARK.h"
#include "tekst/ELPILT.h"
#include "tekst/Tekstiboks.h"
#include "twins.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPainter>
#include <QProcess>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace {

const QSize kScreen(800, 600);
// The content width of an 800-wide view less its margins, and of a 600-wide one.
constexpr double kTextWidth = 792;
constexpr double kNarrowTextWidth = 592;
// Cheap steps are repeated and their median taken.
constexpr int kRepeats = 5;

// ---------------------------------------------------------------------------------------------
// What a child measures.

double elapsedMs(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double medianMs(const std::function<void()>& step) {
    std::vector<double> times;
    for (int i = 0; i < kRepeats; ++i)
        times.push_back(elapsedMs(step));
    return median(times);
}

void report(const char* key, double value) {
    std::printf("%s %.4f\n", key, value);
    std::fflush(stdout);
}

// The peak resident memory of this process so far, in MiB.
double peakMemoryMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0.0;
}

std::optional<QString> readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

// Top, middle and end of a document `height` high, for screens `screen` high.
std::array<std::pair<const char*, double>, 3> screenPlaces(double height, double screen) {
    const double last = std::max(0.0, height - screen);
    return {{{"screen_top", 0.0}, {"screen_middle", std::floor(last / 2)}, {"screen_end", last}}};
}

int runQt(const QString& path, bool openOnly) {
    QTextDocument doc;
    // No margin, so that lines are exactly as wide as Velmora's content width.
    doc.setDocumentMargin(0);
    QImage screen(kScreen, QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&](double y) {
        screen.fill(Qt::white);
        QPainter painter(&screen);
        painter.translate(0, -y);
        doc.drawContents(&painter, QRectF(0, y, kScreen.width(), kScreen.height()));
    };

    const double read = elapsedMs([&] {
        if (const std::optional<QString> html = readText(path))
            doc.setHtml(*html);
    });
    if (doc.isEmpty()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    // Layout is lazy: asking for the size lays the whole document out.
    const double layout = elapsedMs([&] {
        doc.setTextWidth(kTextWidth);
        doc.size();
    });
    const double first = elapsedMs([&] { paint(0); });
    report("read", read);
    report("layout", layout);
    report("first_screen", first);
    report("open", read + layout + first);
    if (openOnly)
        return 0;

    for (const auto& [key, y] : screenPlaces(doc.size().height(), kScreen.height()))
        report(key, medianMs([&] { paint(y); }));
    report("relayout", elapsedMs([&] {
               doc.setTextWidth(kNarrowTextWidth);
               doc.size();
           }));
    // A text that is nowhere in the document: one whole pass over it.
    report("search", medianMs([&] {
               if (!doc.find(QStringLiteral("qxqxq")).isNull())
                   std::fprintf(stderr, "search found a match\n");
           }));
    // What a copy in a Qt text view builds: the fragment of the selection, then its plain text.
    report("copy", medianMs([&] {
               QTextCursor cursor(&doc);
               cursor.select(QTextCursor::Document);
               const QString text = QTextDocumentFragment(cursor).toPlainText();
               if (text.isEmpty())
                   std::fprintf(stderr, "copy gave nothing\n");
           }));
    report("peak", peakMemoryMiB());
    return 0;
}

int runVelmora(const QString& path, bool openOnly) {
    QStringList errors;
    setMessageBoxHandler([&errors](const QString&, const QString& text) {
        errors << text;
        return true;
    });
    ViewController window;
    Tekstiboks& view = *window.m_cTekstiboks;
    window.show();
    window.SeaNahtavaAla(kScreen);
    QApplication::processEvents();

    // Reading includes measuring, the search text, layout and the first refresh.
    const double read = elapsedMs([&] { view.Ava(path); });
    if (!errors.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(errors.join(u'\n')));
        return 1;
    }
    // As the window repaints its view: into the same image every time, the visible area at its corner.
    QImage screen(kScreen, QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&] {
        screen.fill(Qt::white);
        QPainter painter(&screen);
        painter.translate(-view.TooNahtavRist().topLeft());
        Canvas canvas(painter);
        view.Joonista(canvas);
    };
    const double first = elapsedMs(paint);
    report("read", read);
    report("first_screen", first);
    report("open", read + first);
    if (openOnly)
        return 0;

    for (const auto& [key, y] : screenPlaces(view.TooUlatus().height(), view.TooEmaSuurus().height())) {
        view.SeaKerimiskoht(QPointF(0, y));
        report(key, medianMs(paint));
    }
    view.SeaKerimiskoht(QPointF(0, 0));
    // A new width of the visible area lays the document out again and refreshes, as a resized window does.
    report("relayout", elapsedMs([&] {
               window.SeaNahtavaAla(QSize(600, kScreen.height()));
               QApplication::processEvents();
           }));
    if (view.TooAknaLaius() != kNarrowTextWidth)
        std::fprintf(stderr, "relayout left a content width of %g\n", view.TooAknaLaius());
    report("zoom", elapsedMs([&] { view.Suumi(140); }));

    // Caret moves from the first element of the middle line, each key press sent to the view as the
    // window sends it, with its refresh; the presses go on from where the last one left the caret.
    view.m_nKursor = view.m_arrReaAlgus[view.m_arrRIDA.size() / 2];
    view.Varskenda(true, false, false);
    const auto press = [&](Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    };
    report("caret_right", medianMs([&] { press(Qt::Key_Right); }));
    report("caret_down", medianMs([&] { press(Qt::Key_Down); }));
    report("page_down", medianMs([&] { press(Qt::Key_PageDown); }));

    // From the middle, past the end and round to the middle again: one pass over the whole text.
    report("search", medianMs([&] { view.Otsi(QStringLiteral("qxqxq")); }));
    if (errors.size() != kRepeats)
        std::fprintf(stderr, "search found a match\n");
    errors.clear();

    // Through the pasteboard seam rather than the system clipboard, with the plain text a paste
    // target would ask for made at once, as Qt's copy makes it.
    qsizetype copied = 0;
    setPasteboardHandler({[&copied](const PasteboardItems& items) { copied = plainTextOf(items).size(); },
                          [](TextProducer) {}});
    report("copy", medianMs([&] {
               view.ValiKoik();
               view.LoikalaudKopeeri();
           }));
    setPasteboardHandler({});
    if (copied == 0)
        std::fprintf(stderr, "copy gave nothing\n");

    report("peak", peakMemoryMiB());
    return 0;
}

// ---------------------------------------------------------------------------------------------
// The parent: documents, children and the table.

using Results = std::map<QString, double>;

// One child's report, or nothing when it failed.
std::optional<Results> runChild(const QStringList& arguments, double* wallMs = nullptr) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(arguments.join(u' ')));
        return std::nullopt;
    }
    if (wallMs)
        *wallMs = double(timer.nsecsElapsed()) / 1e6;
    Results results;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2)
            results[QString::fromLatin1(parts[0])] = parts[1].toDouble();
    }
    return results;
}

// The median of each key over `runs` full children, and the median whole-process time of as many
// children that stop at the first screen, under "process".
std::optional<Results> measureEngine(const QString& engine, const QString& path, int runs) {
    std::map<QString, std::vector<double>> all;
    for (int i = 0; i < runs; ++i) {
        double wall = 0.0;
        const auto open =
            runChild({QStringLiteral("--child"), engine, path, QStringLiteral("--open-only")}, &wall);
        const auto full = runChild({QStringLiteral("--child"), engine, path});
        if (!open || !full)
            return std::nullopt;
        all[QStringLiteral("process")].push_back(wall);
        for (const auto& [key, value] : *full)
            all[key].push_back(value);
    }
    Results results;
    for (const auto& [key, values] : all)
        results[key] = median(values);
    return results;
}

struct Row {
    const char* label;
    const char* qtKey;
    const char* velmoraKey;
};

// Adding a step is one row here and one report(...) line in the child that measures it.
const Row kRows[] = {
    {"whole process, start to first screen (ms)", "process", "process"},
    {"open: read, lay out, first screen (ms)", "open", "open"},
    {"  read + setHtml | read, measure, layout, refresh", "read", "read"},
    {"  layout at width 792 (Velmora: in read)", "layout", nullptr},
    {"  first screen drawn", "first_screen", "first_screen"},
    {"relayout at width 592", "relayout", "relayout"},
    {"zoom change (against Qt's relayout)", "relayout", "zoom"},
    {"one screen at the top", "screen_top", "screen_top"},
    {"one screen in the middle", "screen_middle", "screen_middle"},
    {"one screen at the end", "screen_end", "screen_end"},
    {"caret Right + refresh", nullptr, "caret_right"},
    {"caret Down + refresh", nullptr, "caret_down"},
    {"Page Down + refresh", nullptr, "page_down"},
    {"search, wrapping without a match", "search", "search"},
    {"select all + copy", "copy", "copy"},
    {"peak memory (MiB)", "peak", "peak"},
};

QString cell(const Results& results, const char* key) {
    if (key) {
        if (const auto it = results.find(QLatin1String(key)); it != results.end())
            return QString::number(it->second, 'f', it->second < 1 ? 3 : it->second < 10 ? 2 : 0);
    }
    return QStringLiteral("-");
}

QString ratio(const Results& qt, const Results& velmora, const Row& row) {
    if (!row.qtKey || !row.velmoraKey)
        return {};
    const auto q = qt.find(QLatin1String(row.qtKey));
    const auto v = velmora.find(QLatin1String(row.velmoraKey));
    if (q == qt.end() || v == velmora.end() || !(q->second > 0))
        return {};
    return QString::number(v->second / q->second, 'f', 3);
}

// A column of the table: one engine on one document. Velmora's columns carry the ratio to the Qt
// column of the same text.
struct Column {
    QString name;
    Results results;
    const Results* qt = nullptr;
};

void printTable(const QString& heading, const std::vector<Column>& columns) {
    std::printf("\n%s\n", qPrintable(heading));
    QString header = QStringLiteral("%1").arg(QStringLiteral("step"), -52);
    for (const Column& column : columns) {
        header += QStringLiteral(" %1").arg(column.name, 15);
        if (column.qt)
            header += QStringLiteral(" %1").arg(QStringLiteral("ratio"), 7);
    }
    std::printf("%s\n", qPrintable(header));
    for (const Row& row : kRows) {
        QString line = QStringLiteral("%1").arg(QLatin1String(row.label), -52);
        for (const Column& column : columns) {
            if (!column.qt) {
                line += QStringLiteral(" %1").arg(cell(column.results, row.qtKey), 15);
                continue;
            }
            line += QStringLiteral(" %1 %2")
                        .arg(cell(column.results, row.velmoraKey), 15)
                        .arg(ratio(*column.qt, column.results, row), 7);
        }
        std::printf("%s\n", qPrintable(line));
    }
    std::fflush(stdout);
}

bool writeFile(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// One shape of a twin on disk, with its counts.
struct Written {
    twins::Runs runs;
    twins::Twin counts;
    QString vlm;
    QString html;
};

std::optional<std::vector<Written>> writeTwins(const QString& dir, const twins::Plan& plan) {
    const bool perRun = plan.spans == twins::HtmlSpans::PerRun;
    const QString stem = QStringLiteral("%1/twin-%2-%3%4")
                             .arg(dir)
                             .arg(plan.nSeed)
                             .arg(plan.nCharacters)
                             .arg(perRun ? QStringLiteral("-span-per-run") : QString());
    std::vector<Written> written;
    for (const twins::Runs runs : {twins::Runs::Characters, twins::Runs::Words}) {
        twins::Twin twin = twins::generate(plan, runs);
        const QString shape = u'-' + QLatin1String(twins::runsName(runs));
        // Without a span per run the text does not depend on how it is cut into runs, and one HTML
        // twin serves both shapes.
        Written w{
            runs, {}, stem + shape + QStringLiteral(".vlm"), stem + (perRun ? shape : QString()) + ".html"};
        if (!writeFile(w.vlm, twin.strVlm) ||
            ((perRun || written.empty()) && !writeFile(w.html, twin.strHtml)))
            return std::nullopt;
        twin.strVlm.clear();
        twin.strHtml.clear();
        w.counts = std::move(twin);
        written.push_back(std::move(w));
    }
    return written;
}

std::vector<std::int64_t> parseSizes(const QString& text) {
    std::vector<std::int64_t> sizes;
    for (const QString& piece : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const qint64 n = piece.toLongLong(&ok);
        if (ok && n > 0)
            sizes.push_back(n);
    }
    return sizes;
}

// ---------------------------------------------------------------------------------------------
// The check that the twins agree: every character, picture and paragraph of the HTML twin, as Qt
// reads it, against what Velmora reads from the VLM1 twin.

QString colourName(const Colour& c) {
    return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue)).name();
}

QString describeKiri(const KIRI& k, const std::optional<Colour>& highlight) {
    const bool white = !highlight || *highlight == Colour::white();
    return QStringLiteral("%1 %2 b%3 i%4 u%5 s%6 sup%7 sub%8 %9 on %10")
        .arg(k.m_strKirjatuup)
        .arg(k.m_fKirjasuurus)
        .arg(k.m_bPaks)
        .arg(k.m_bKaldkiri)
        .arg(k.m_bAllaKriipsutatud)
        .arg(k.m_bLabiKriipsutatud)
        .arg(k.m_bUlaindeks)
        .arg(k.m_bAlaindeks)
        .arg(colourName(k.m_clKirjavarv), white ? QStringLiteral("none") : colourName(*highlight));
}

QString describeFormat(const QTextCharFormat& f) {
    const bool highlighted = f.background().style() != Qt::NoBrush;
    return QStringLiteral("%1 %2 b%3 i%4 u%5 s%6 sup%7 sub%8 %9 on %10")
        .arg(f.fontFamilies().toStringList().value(0))
        .arg(f.intProperty(QTextFormat::FontPixelSize))
        .arg(f.fontWeight() >= QFont::Bold)
        .arg(f.fontItalic())
        .arg(f.fontUnderline())
        .arg(f.fontStrikeOut())
        .arg(f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        .arg(f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        .arg(f.foreground().color().name(),
             highlighted ? f.background().color().name() : QStringLiteral("none"));
}

// The first difference between the two readings, or nothing when they agree.
std::optional<QString> compareTwin(const twins::Twin& twin) {
    std::optional<QString> failure;
    setMessageBoxHandler([&failure](const QString&, const QString& text) {
        failure = QStringLiteral("the VLM1 twin does not read: ") + text;
        return true;
    });
    Tekstiboks view;
    view.SeaNahtavaAlaSuurus(QSizeF(kScreen));
    view.AvaFail(twin.strVlm);
    setMessageBoxHandler({});
    if (failure)
        return failure;

    QTextDocument doc;
    doc.setHtml(twin.strHtml);
    if (qint64(view.m_arrLOIK.size()) != doc.blockCount() ||
        qint64(view.m_arrLOIK.size()) != twin.nParagraphs)
        return QStringLiteral("%1 paragraphs against %2").arg(view.m_arrLOIK.size()).arg(doc.blockCount());

    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    qint64 nCharacters = 0, nPictures = 0, nElements = 0;
    QTextBlock block = doc.begin();
    for (const auto& loik : view.m_arrLOIK) {
        const QString where = QStringLiteral("paragraph %1: ").arg(block.blockNumber());
        // "left" and "right" come back with AlignAbsolute, which says only that they ignore the
        // layout direction.
        const Qt::Alignment alignment = block.blockFormat().alignment() & ~Qt::AlignAbsolute;
        if (alignment != alignments[int(loik->m_Joondus) - 1])
            return where + QStringLiteral("alignment");
        // One entry per character or picture of the paragraph: its text and how it looks.
        std::vector<std::pair<QChar, QString>> vlm, html;
        for (const auto& e : loik->m_arrELEMENT) {
            ++nElements;
            const KIRI& kiri = view.m_arrJooksevKiri[size_t(e->m_nKiri)];
            if (e->m_TUUP == ELTUUP::MARK) {
                for (const QChar c : static_cast<const ELMARK&>(*e).m_strTekst)
                    vlm.emplace_back(c, describeKiri(kiri, e->m_clEsiletost));
            } else if (e->m_TUUP == ELTUUP::TUHIK) {
                vlm.emplace_back(u' ', describeKiri(kiri, e->m_clEsiletost));
            } else if (e->m_TUUP == ELTUUP::PILT) {
                const QSizeF size = static_cast<const ELPILT&>(*e).m_cOrginaalSuurus.value_or(QSizeF());
                vlm.emplace_back(QChar::ObjectReplacementCharacter,
                                 QStringLiteral("picture %1x%2").arg(size.width()).arg(size.height()));
            }
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            for (const QChar c : fragment.text()) {
                if (format.isImageFormat()) {
                    const QTextImageFormat image = format.toImageFormat();
                    html.emplace_back(c,
                                      QStringLiteral("picture %1x%2").arg(image.width()).arg(image.height()));
                    ++nPictures;
                } else {
                    html.emplace_back(c, describeFormat(format));
                    ++nCharacters;
                }
            }
        }
        for (size_t i = 0; i < std::max(vlm.size(), html.size()); ++i) {
            if (i >= vlm.size() || i >= html.size() || vlm[i] != html[i])
                return where + QStringLiteral("character %1: VLM1 '%2' %3, HTML '%4' %5")
                                   .arg(i)
                                   .arg(i < vlm.size() ? QString(vlm[i].first) : QString())
                                   .arg(i < vlm.size() ? vlm[i].second : QString())
                                   .arg(i < html.size() ? QString(html[i].first) : QString())
                                   .arg(i < html.size() ? html[i].second : QString());
        }
        block = block.next();
    }
    if (nCharacters != twin.nCharacters || nPictures != twin.nPictures || nElements != twin.nElements)
        return QStringLiteral("counted %1 characters, %2 pictures, %3 elements against %4, %5, %6")
            .arg(nCharacters)
            .arg(nPictures)
            .arg(nElements)
            .arg(twin.nCharacters)
            .arg(twin.nPictures)
            .arg(twin.nElements);
    return std::nullopt;
}

int runCheck() {
    // Small enough to run in a moment, long enough for every style, highlight and alignment.
    const twins::Plan plan{.nSeed = 3, .nCharacters = 6000, .nCharactersPerPicture = 700};
    const twins::Twin chars = twins::generate(plan, twins::Runs::Characters);
    const twins::Twin words = twins::generate(plan, twins::Runs::Words);
    twins::Plan perRun = plan;
    perRun.spans = twins::HtmlSpans::PerRun;
    const twins::Twin charsPerRun = twins::generate(perRun, twins::Runs::Characters);
    const twins::Twin wordsPerRun = twins::generate(perRun, twins::Runs::Words);
    int failures = 0;
    const auto expect = [&](bool ok, const QString& what) {
        if (!ok) {
            std::fprintf(stderr, "FAIL: %s\n", qPrintable(what));
            ++failures;
        }
    };
    expect(chars.strHtml == words.strHtml, QStringLiteral("the two shapes have different HTML twins"));
    expect(chars.strVlm != words.strVlm && chars.nElements > words.nElements,
           QStringLiteral("one character per run makes no more elements than one word per run"));
    expect(twins::generate(plan, twins::Runs::Words).strVlm == words.strVlm,
           QStringLiteral("the same seed gives another document"));
    expect(twins::generate({.nSeed = 4, .nCharacters = 6000}, twins::Runs::Words).strVlm != words.strVlm,
           QStringLiteral("another seed gives the same document"));
    expect(words.nCharacters >= plan.nCharacters && words.nPictures == words.nCharacters / 700,
           QStringLiteral("%1 characters and %2 pictures").arg(words.nCharacters).arg(words.nPictures));
    expect(charsPerRun.strVlm == chars.strVlm && wordsPerRun.strHtml != charsPerRun.strHtml,
           QStringLiteral("a span per run changes the VLM1 twin or not the HTML one"));
    for (const twins::Twin* twin : {&chars, &words, &charsPerRun, &wordsPerRun}) {
        if (const std::optional<QString> difference = compareTwin(*twin))
            expect(false, *difference);
    }
    if (failures == 0)
        std::printf("The twins agree: %lld characters, %lld pictures, %lld paragraphs.\n",
                    static_cast<long long>(words.nCharacters), static_cast<long long>(words.nPictures),
                    static_cast<long long>(words.nParagraphs));
    return failures == 0 ? 0 : 1;
}

QString argument(const QStringList& arguments, const QString& name, const QString& fallback) {
    const qsizetype i = arguments.indexOf(name);
    return i >= 0 && i + 1 < arguments.size() ? arguments[i + 1] : fallback;
}

int runParent(const QStringList& arguments) {
    const QString write = argument(arguments, QStringLiteral("--write"), {});
    const std::vector<std::int64_t> sizes =
        parseSizes(argument(arguments, QStringLiteral("--chars"), QStringLiteral("100000,1000000")));
    const std::uint64_t seed =
        argument(arguments, QStringLiteral("--seed"), QStringLiteral("1")).toULongLong();
    const int runs = std::max(1, argument(arguments, QStringLiteral("--runs"), QStringLiteral("3")).toInt());
    const QString spans = argument(arguments, QStringLiteral("--html-spans"), QStringLiteral("style"));
    const QString dir = !write.isEmpty() ? write
                                         : argument(arguments, QStringLiteral("--dir"),
                                                    QDir::tempPath() + QStringLiteral("/velmora-compare"));
    if (sizes.empty() || (spans != QStringLiteral("style") && spans != QStringLiteral("run")) ||
        !QDir().mkpath(dir)) {
        std::fprintf(
            stderr, "usage: velmora_compare [--chars N,...] [--seed S] [--runs R] [--dir DIR]\n"
                    "                       [--html-spans style|run]\n"
                    "       velmora_compare --write DIR [--chars N,...] [--seed S] [--html-spans style|run]\n"
                    "       velmora_compare --check\n");
        return 2;
    }

    for (const std::int64_t n : sizes) {
        const twins::Plan plan{.nSeed = seed,
                               .nCharacters = n,
                               .spans = spans == QStringLiteral("run") ? twins::HtmlSpans::PerRun
                                                                       : twins::HtmlSpans::PerStyle};
        const std::optional<std::vector<Written>> written = writeTwins(dir, plan);
        if (!written)
            return 1;
        const auto mib = [](const QString& path) { return double(QFileInfo(path).size()) / (1024 * 1024); };
        const twins::Twin& counts = written->front().counts;
        QString heading = QStringLiteral("%1 characters, seed %2: %3 words, %4 paragraphs, %5 pictures; "
                                         "HTML with a span per %6; median of %7 runs")
                              .arg(counts.nCharacters)
                              .arg(seed)
                              .arg(counts.nWords)
                              .arg(counts.nParagraphs)
                              .arg(counts.nPictures)
                              .arg(spans)
                              .arg(runs);
        for (const Written& w : *written)
            heading += QStringLiteral("\n  %1: VLM1 %2 MiB, %3 elements; HTML %4 MiB")
                           .arg(QLatin1String(twins::runsName(w.runs)))
                           .arg(mib(w.vlm), 0, 'f', 1)
                           .arg(w.counts.nElements)
                           .arg(mib(w.html), 0, 'f', 1);
        if (!write.isEmpty()) {
            std::printf("%s\n", qPrintable(heading));
            for (const Written& w : *written)
                std::printf("  %s\n  %s\n", qPrintable(w.vlm), qPrintable(w.html));
            continue;
        }

        std::fprintf(stderr, "measuring %lld characters ...\n", static_cast<long long>(n));
        // Qt is measured once per HTML file; Velmora once per VLM1 file.
        std::map<QString, Results> qt;
        std::vector<Column> columns;
        columns.reserve(2 * written->size());
        for (const Written& w : *written) {
            if (!qt.count(w.html)) {
                const std::optional<Results> results = measureEngine(QStringLiteral("qt"), w.html, runs);
                if (!results)
                    return 1;
                qt[w.html] = *results;
                const QString name = written->front().html == written->back().html
                                         ? QStringLiteral("Qt")
                                         : QStringLiteral("Qt/") + QLatin1String(twins::runsName(w.runs));
                columns.push_back({name, *results, nullptr});
            }
            const std::optional<Results> results = measureEngine(QStringLiteral("velmora"), w.vlm, runs);
            if (!results)
                return 1;
            columns.push_back(
                {QStringLiteral("Velmora/") + QLatin1String(twins::runsName(w.runs)), *results, &qt[w.html]});
        }
        printTable(heading, columns);
    }
    return 0;
}

// Qt's notes about the offscreen platform would interleave with the table; failures still show.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (const qsizetype i = arguments.indexOf(QStringLiteral("--child"));
        i >= 0 && i + 2 < arguments.size()) {
        const bool openOnly = arguments.contains(QStringLiteral("--open-only"));
        return arguments[i + 1] == QStringLiteral("qt") ? runQt(arguments[i + 2], openOnly)
                                                        : runVelmora(arguments[i + 2], openOnly);
    }
    if (arguments.contains(QStringLiteral("--check")))
        return runCheck();
    return runParent(arguments);
}
