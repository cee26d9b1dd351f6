#pragma once

#include <QHash>
#include <QStringView>
#include <vector>

class ELPILT;

// Decodes the pictures of one reading. Pictures with an equal payload share one bitmap (copies of a
// QImage share its pixels), and the bitmaps of all pictures together stay within a budget of
// pixels: when they would need more, the largest are decoded scaled down, all to the same number
// of pixels, while smaller ones keep their full size.
//
// Usage: Lisa for each picture as it is read, which gives it its stored size at once, then
// LooKujutised once the document is accepted. The picture texts are kept as views: the text they
// point into, and the pictures, must outlive LooKujutised.
class SharedPictures {
public:
    explicit SharedPictures(qint64 nEelarvePikslid);

    void Lisa(ELPILT& pilt, QStringView strSone);
    void LooKujutised();

private:
    struct Andmed {
        QStringView payload;
        std::vector<ELPILT*> arrPildid;
    };

    qint64 m_nEelarvePikslid;
    QHash<QStringView, qsizetype> m_indeks;
    std::vector<Andmed> m_arrAndmed;
};
