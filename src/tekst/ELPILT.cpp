#include "tekst/ELPILT.h"

#include "extensions/extensions.h"
#include "platform/strings.h"

void ELPILT::LooKujutis(const DecodedImage& Kujutis) {
    QImage bitmap = TooKujutis(Kujutis);
    if (bitmap.isNull()) {
        m_Kujutis.reset();
        m_cOrginaalSuurus = QSizeF(1.0, 1.0);
        return;
    }
    m_cOrginaalSuurus = QSizeF(bitmap.size());
    m_Kujutis = std::move(bitmap);
}

void ELPILT::LooKujutis(const QImage& bmKujutis, QSizeF cOrginaalSuurus) {
    QImage bitmap = TooKujutis(bmKujutis);
    if (bitmap.isNull())
        m_Kujutis.reset();
    else
        m_Kujutis = std::move(bitmap);
    m_cOrginaalSuurus = cOrginaalSuurus;
}

QString ELPILT::TooSone() const {
    // A picture whose payload could not be decoded still writes a readable token, so that the
    // numbers keep their places.
    const QImage bitmap = m_Kujutis ? *m_Kujutis : [] {
        QImage blank(1, 1, QImage::Format_RGBA8888_Premultiplied);
        blank.fill(Qt::transparent);
        return blank;
    }();
    const QSizeF size = m_cOrginaalSuurus.value_or(QSizeF(bitmap.size()));
    return QStringLiteral("{P ") + encodeBase64(encodePng(bitmap)) + u';' +
           formatShortestDouble(size.width()) + u';' + formatShortestDouble(size.height()) +
           QStringLiteral(";}");
}

void ELPILT::LooSonest(const QString& strSone) {
    const PictureText tekst = parsePictureText(strSone);
    m_cOrginaalSuurus = tekst.storedSize;
    // A payload that does not decode leaves the picture without a bitmap; the document still opens.
    QImage bitmap = bitmapFromPayload(tekst.payload, kBitmapMaximumPixels);
    if (bitmap.isNull())
        m_Kujutis.reset();
    else
        m_Kujutis = std::move(bitmap);
}

PictureText parsePictureText(QStringView strSone) {
    // Only the three pieces read are walked, however many more the text holds.
    NonEmptyPieces pieces(strSone, u';');
    const std::optional<QStringView> payload = pieces.next();
    const std::optional<QStringView> laius = pieces.next();
    const std::optional<QStringView> korgus = pieces.next();
    return {payload.value_or(QStringView()),
            QSizeF(laius ? lenientDouble(*laius) : 0.0, korgus ? lenientDouble(*korgus) : 0.0)};
}

QImage bitmapFromPayload(QStringView payload, qint64 maxPixels) {
    if (payload.isEmpty())
        return {};
    const std::optional<QByteArray> bytes = decodeBase64Strict(payload);
    if (!bytes)
        return {};
    const std::optional<DecodedImage> image = decodeImage(*bytes, maxPixels);
    return image ? TooKujutis(*image) : QImage();
}

ImageHeader payloadHeader(QStringView payload) {
    const std::optional<QByteArray> bytes = payload.isEmpty() ? std::nullopt : decodeBase64Strict(payload);
    return bytes ? readImageHeader(*bytes) : ImageHeader();
}
