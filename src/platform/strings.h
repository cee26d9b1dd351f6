#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Lenient conversions of text to numbers and truth values, as documents and typed values need them.

// The decimal floating-point number at the start of the text, after leading white space: an optional
// sign, digits with an optional point, an optional exponent. 0.0 when the text does not begin with a
// number; whatever follows the number is ignored. Overflow gives +/-infinity, underflow 0.
double lenientDouble(QStringView text);

// True when the text, after leading white space and an optional sign followed by zeros, begins with
// "Y", "y", "T", "t" or a digit 1 to 9; false otherwise.
bool lenientBool(QStringView text);

// Scans a hexadecimal number starting at `start`: skips white space, accepts an optional 0x or 0X,
// reads the longest run of hexadecimal digits. Saturates at 0xFFFFFFFF. 0 when there are no digits.
quint32 scanHexInt(QStringView text, qsizetype start = 0);

// Splits at every `separator` and drops the empty pieces.
QStringList splitNonEmpty(const QString& text, QChar separator);
