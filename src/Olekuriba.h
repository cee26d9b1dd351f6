#pragma once

#include <QWidget>

// The status bar under the document: the caret's column and row.
class Olekuriba : public QWidget {
    Q_OBJECT

public:
    explicit Olekuriba(QWidget* parent = nullptr);

    qint64 m_nVeerg = 1;
    qint64 m_nRida = 1;

    void Varskenda(qint64 nVeerg, qint64 nRida);

    // A message to the right of the column and the row (that a changed file could not be read
    // again); an empty text takes it away. It stays until replaced, so a failure repeated with every
    // save of the file is still said once.
    QString m_strTeade;
    void NaitaTeadet(const QString& strTeade);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
