#pragma once

#include <QHash>
#include <QStringView>
#include <functional>
#include <vector>

class ELPILT;

// Decodes the pictures of one reading. Pictures with an equal payload share one bitmap (copies of a
// QImage share its pixels), and the bitmaps of all pictures together stay within a budget of
// pixels: when they would need more, the largest are decoded scaled down, all to the same number
// of pixels, while smaller ones keep their full size.
//
// Decoding costs time in proportion to the whole image however small its bitmap (see
// decodingWork), so the pictures of a document share a second budget, of work: in the order the
// document first shows them, each picture whose work (at least kVahimToo, what looking at any
// picture costs) still fits is decoded, and one that does not fit keeps no bitmap, as a picture that
// does not decode. So at most the budget over kVahimToo distinct pictures are looked at at all; the
// rest keep no bitmap either.
//
// Usage: Lisa for each picture as it is read, which gives it its stored size at once, then
// LooKujutised once the document is accepted. The picture texts are kept as views: the text they
// point into, and the pictures, must outlive LooKujutised.
class SharedPictures {
public:
    // What looking at a picture costs at least (reading its header, trying to decode it), in the
    // pixels decoding handles in the same time.
    static constexpr qint64 kVahimToo = 16384;

    SharedPictures(qint64 nEelarvePikslid, qint64 nTooEelarve);

    void Lisa(ELPILT& pilt, QStringView strSone);
    // fnEdenemine hears how many of the payloads are decoded (0 ... 1) and cancels the decoding by
    // returning false; then LooKujutised returns false, with the pictures only partly decoded.
    bool LooKujutised(const std::function<bool(double)>& fnEdenemine = {});
    // How many pictures' headers LooKujutised read.
    qint64 headersRead() const { return m_nPaiseid; }

private:
    struct Andmed {
        QStringView payload;
        std::vector<ELPILT*> arrPildid;
    };

    qint64 m_nEelarvePikslid;
    qint64 m_nTooEelarve;
    qint64 m_nPaiseid = 0;
    QHash<QStringView, qsizetype> m_indeks;
    std::vector<Andmed> m_arrAndmed;
};
