#pragma once

#include "KIRI.h"

#include <QHash>
#include <QString>
#include <vector>

class ELEMENT;
class ELMARK;

// Measures the elements of one pass (one document read, one zoom) so that equal elements are
// measured once: a run takes the measurement of an earlier run with equal text and style, a space,
// tab or paragraph end that of an earlier element of its kind in the same style. Pictures are
// always measured. Earlier equal elements are found through a hash on the key, in constant time.
class SharedMeasurer {
public:
    SharedMeasurer(const std::vector<KIRI>& arrJooksevKiri, double fSuum);

    // Gives `element` its size and rise (and its kind's own measured fields).
    void Mooda(ELEMENT& element);

private:
    const std::vector<KIRI>& m_arrJooksevKiri;
    double m_fSuum;
    QHash<QPair<QString, qint64>, const ELMARK*> m_arrMargid;
    QHash<qint64, const ELEMENT*> m_arrTuhikud;
    QHash<qint64, const ELEMENT*> m_arrTabid;
    QHash<qint64, const ELEMENT*> m_arrEnterid;
};
