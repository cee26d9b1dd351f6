#pragma once

#include <QString>
#include <QStringView>

// The canonical decomposition of the text (Unicode normalization form D), as
// QString::normalized(QString::NormalizationForm_D) gives it, in time linear in the text: Qt's own
// reorders each stretch of combining marks by exchanging neighbours and splices every decomposition
// into the whole text, so a letter with a long stretch of marks, or a long text of accented letters,
// takes time that grows with the square of its length.
QString canonicalDecomposition(QStringView text);
