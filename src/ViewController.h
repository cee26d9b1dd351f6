#pragma once

#include "tekst/Tekstiboks.h"

#include <QPointer>
#include <QWidget>

class Olekuriba;
class QScrollArea;

// The window's content: the document view in its scroll area and the status bar below it.
class ViewController : public QWidget, public TekstiboksiKontroller {
    Q_OBJECT

public:
    explicit ViewController(QWidget* parent = nullptr);

    QPointer<Olekuriba> m_cOlekuriba;
    QPointer<Tekstiboks> m_cTekstiboks;
    QPointer<QScrollArea> m_cKerimisala;

    void NaitaVeergRida(qint64 nVeerg, qint64 nRida) override;
    void NaitaSuumi(const QString& strSuum) override;
    void NaitaPealkirja(const QString& strPealkiri) override;
};
