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
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
