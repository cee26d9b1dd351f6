#include "tekst/TokenPayloads.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// The positions of every "{F" in the text, in order: the reader asks for no more than these.
std::vector<qsizetype> stiilid(const QString& strTekst) {
    std::vector<qsizetype> arr;
    for (qsizetype p = strTekst.indexOf(u"{F"); p >= 0; p = strTekst.indexOf(u"{F", p + 1))
        arr.push_back(p);
    return arr;
}

// The payload as the reader's rule gives it: from p + 3 up to the first "}" at or after p.
QString sisu(const QString& strTekst, qsizetype p) {
    qsizetype nLopp = strTekst.indexOf(u'}', p);
    if (nLopp < 0)
        nLopp = strTekst.size();
    return nLopp > p + 3 ? strTekst.mid(p + 3, nLopp - (p + 3)) : QString();
}

} // namespace

// Overlapping, unclosed and empty style texts read exactly as KIRI reads each payload on its own.
TEST(TokenPayloads, StylesReadAsTheirPayloadsRead) {
    const QStringList tukid = QStringLiteral("{F |{F|{E |{M x}|}|;|;;|Arial|Times New Roman|12|10.5|1|0|yes|"
                                             "#ff0000|#00f| |\n|caf\u00e9|\U0001F600|x{F y")
                                  .split(u'|');
    QRandomGenerator juhus(11);
    for (int nKord = 0; nKord < 2000; ++nKord) {
        QString strTekst;
        for (int i = juhus.bounded(1, 40); i > 0; --i)
            strTekst += tukid[juhus.bounded(int(tukid.size()))];
        if (juhus.bounded(4) == 0)
            strTekst += QString(KIRI::kSuurimKirjatuup + juhus.bounded(-3, 4), u'n') + ";7;1";
        TokenPayloads payloads(strTekst);
        for (const qsizetype p : stiilid(strTekst)) {
            KIRI oodatud;
            oodatud.LooSonest(sisu(strTekst, p));
            const KIRI kiri = payloads.style(p);
            ASSERT_TRUE(kiri.OnSama(oodatud) && kiri.m_strKirjatuup == oodatud.m_strKirjatuup)
                << qPrintable(strTekst) << " at " << p;
            ASSERT_EQ(payloads.payload(p), sisu(strTekst, p));
        }
    }
}

// Texts whose payloads reach over the tokens after them. Read afresh for each token they would cost
// the square of their length; here every character is looked at a bounded number of times, besides
// each face name, which is cut.
TEST(TokenPayloads, WorkIsLinearInTheText) {
    const qsizetype n = 30000;
    const std::pair<const char*, QString> rows[] = {
        {"unclosed styles", QString("{F ").repeated(n) + "}"},
        {"styles ending at one ;", QString("{F a").repeated(n) + ";12;1;0;0;0;0;0;#ff0000}"},
        {"styles each with a ;", QString("{F a;").repeated(n) + "}"},
        {"long fields after the last", QString("{F a;").repeated(n) + QString("1").repeated(10 * n) + "}"},
        {"long fields shared by all",
         QString("{F a").repeated(n) + ";" + QString("1").repeated(10 * n) + "}"},
        {"empty pieces", QString("{F ;;;;;;;;;;").repeated(n) + "}"},
        {"long face name", "{F " + QString("x{F ").repeated(n) + "}"},
    };
    for (const auto& [name, strTekst] : rows) {
        TokenPayloads payloads(strTekst);
        const std::vector<qsizetype> arr = stiilid(strTekst);
        for (const qsizetype p : arr)
            (void)payloads.style(p);
        EXPECT_LE(payloads.examined(), 20 * strTekst.size() + KIRI::kSuurimKirjatuup * qint64(arr.size()))
            << name;
    }
}
