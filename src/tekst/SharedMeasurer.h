#pragma once

#include "KIRI.h"

#include <QHash>
#include <QPair>
#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class ELEMENT;

// Measures the elements of one pass (one document read, one zoom) so that equal elements are
// measured once: a run takes the measurement of an earlier run with equal text and style, a space,
// tab or paragraph end that of an earlier element of its kind in the same style. Pictures are
// always measured. Earlier equal elements are found through a hash on the key, in constant time.
//
// Usage: construct one per pass and call Mooda for every element in document order. The style table
// must outlive the measurer; styles may be appended while it is used, but not changed.
class SharedMeasurer {
public:
    SharedMeasurer(const std::vector<KIRI>& arrJooksevKiri, double fSuum);

    // Gives `element` its size and rise (and its kind's own measured fields).
    void Mooda(ELEMENT& element);

private:
    // What a fresh measurement of the first element with a key gave. The values are kept rather
    // than the element itself, so that a width that layout stretches later is never copied.
    struct Moot {
        std::optional<QSizeF> cSuurus;
        std::optional<double> fTous;
        // m_fIndeksKorgus of a run, m_fOrginaalLaius of a space; unused for tabs and paragraph ends.
        std::optional<double> fLisa;
        // The pieces of a long run.
        std::shared_ptr<const TextPieces> cTukid;
    };

    const std::vector<KIRI>& m_arrJooksevKiri;
    double m_fSuum;
    // Runs by their text in composed form (canonically equivalent texts share) and style index.
    QHash<QPair<QString, qint64>, Moot> m_arrMargid;
    // Runs of one character below U+0300 (already composed), by the character and style index packed
    // in one number: a document of one character a run looks them up without hashing a string.
    QHash<quint64, Moot> m_arrUksikud;
    QHash<qint64, Moot> m_arrTuhikud;
    QHash<qint64, Moot> m_arrTabid;
    QHash<qint64, Moot> m_arrEnterid;
};
