// Any bytes through opening a document: the file read and UTF-8 check, the reader with its styles,
// colours and pictures, measuring, layout at two widths, a refresh that scrolls to the end and
// drawing that screen into an image.

#include "fuzzsupport.h"
#include "fuzztargets.h"
#include "tekst/Tekstiboks.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// Each input goes through a real file, as a document the user opens does.
const QString& failitee() {
    static const QTemporaryDir kaust;
    static const QString tee = kaust.filePath(QStringLiteral("sisend.vlm"));
    return tee;
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
}
