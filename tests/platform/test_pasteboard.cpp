#include "platform/image.h"
#include "platform/pasteboard.h"
#include "testsupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

#include <memory>

namespace {

QImage kast(int w, int h, QColor c) {
    QImage im(w, h, QImage::Format_RGBA8888);
    im.fill(c);
    return im;
}

TEST(Pasteboard, EachFormatGetsWhatItCanCarry) {
    const PasteboardItems tekst = {PasteboardItem::fromText("a  b")};
    const PasteboardItems pildid = {PasteboardItem::fromImage(kast(3, 2, Qt::red)),
                                    PasteboardItem::fromImage(kast(5, 5, Qt::blue))};
    const PasteboardItems segu = {PasteboardItem::fromText("x"),
                                  PasteboardItem::fromImage(kast(4, 1, Qt::green)),
                                  PasteboardItem::fromText("y")};
    const QString strPng = "image/png", strQt = "application/x-qt-image", strHtml = "text/html";
    const std::vector<std::tuple<const char*, PasteboardItems, QStringList, QString>> juhud = {
        {"text only", tekst, {"text/plain", strHtml}, "a  b"},
        {"pictures only: the first one is the image", pildid, {strPng, strQt, strHtml}, ""},
        {"text around a picture", segu, {"text/plain", strPng, strQt, strHtml}, "xy"},
        {"nothing", {}, {}, ""},
    };
    for (const auto& [nimi, kirjed, vormingud, strTekst] : juhud) {
        const std::unique_ptr<QMimeData> andmed(mimeDataFor(kirjed));
        EXPECT_EQ(andmed->formats(), vormingud) << nimi;
        EXPECT_EQ(andmed->text(), strTekst) << nimi;
        EXPECT_EQ(andmed->data("text/plain"), strTekst.toUtf8()) << nimi;
        EXPECT_EQ(plainTextOf(kirjed), strTekst) << nimi;
    }
    const std::unique_ptr<QMimeData> andmed(mimeDataFor(pildid));
    EXPECT_EQ(qvariant_cast<QImage>(andmed->imageData()), kast(3, 2, Qt::red));
    const std::optional<DecodedImage> png = decodeImage(andmed->data("image/png"));
    ASSERT_TRUE(png);
    EXPECT_EQ(png->pixels.convertToFormat(QImage::Format_RGBA8888), kast(3, 2, Qt::red));
}

TEST(Pasteboard, HtmlEscapesTextKeepsSpacesAndInlinesPictures) {
    const QImage pilt = kast(2, 3, Qt::red);
    const QString strHtml = htmlOf({PasteboardItem::fromText(" <a> & \"b\"  c\n d\t"),
                                    PasteboardItem::fromImage(pilt), PasteboardItem::fromText(" e")});
    const QString strPng = encodeBase64(encodePng(pilt));
    EXPECT_EQ(strHtml, "<html><head><meta charset=\"utf-8\"></head><body>&nbsp;&lt;a&gt; &amp; &quot;b&quot; "
                       "&nbsp;c<br>&nbsp;d\t<img src=\"data:image/png;base64," +
                           strPng + "\" alt=\"\">&nbsp;e</body></html>");
}

TEST(Pasteboard, WritesReachTheSystemClipboardOrTheInstalledHandler) {
    QClipboard* laud = QGuiApplication::clipboard();
    writePasteboard({PasteboardItem::fromText("üks")});
    writePasteboard({PasteboardItem::fromText("kaks")});
    EXPECT_EQ(laud->text(), "kaks");
    writePasteboard({});
    EXPECT_TRUE(laud->mimeData() == nullptr || laud->mimeData()->formats().isEmpty());

    {
        PasteboardRecorder salvesti;
        writePasteboard({PasteboardItem::fromText("kolm")});
        offerSelectionText([] { return QStringLiteral("valik"); });
        ASSERT_EQ(salvesti.writes.size(), 1u);
        EXPECT_EQ(salvesti.writes[0][0].text, "kolm");
        ASSERT_EQ(salvesti.offers.size(), 1u);
        EXPECT_EQ(salvesti.offers[0](), "valik");
        EXPECT_NE(laud->text(), "kolm");
    }
    // This platform has no selection clipboard: the offer is dropped and nothing is produced.
    bool bKusiti = false;
    offerSelectionText([&] {
        bKusiti = true;
        return QString();
    });
    EXPECT_FALSE(laud->supportsSelection() || bKusiti);
}

} // namespace
