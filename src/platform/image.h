#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <limits>
#include <optional>

// A decoded image file: its pixels, and its size in points (pixels x 72 / the resolution the file
// records; the pixel size when it records none).
struct DecodedImage {
    QImage pixels;
    QSizeF sizeInPoints;
};

// Strict base64: any character outside the standard alphabet (line breaks included) fails.
std::optional<QByteArray> decodeBase64Strict(QStringView text);
QString encodeBase64(const QByteArray& bytes);

// What an image file's header tells without decoding it.
struct ImageHeader {
    // How the image is decoded at a reduced size.
    enum class Decoding {
        // Row by row at its whole size, however small the result.
        Whole,
        // A sequential JPEG: at a reduced size in one pass over its data.
        ReducedJpeg,
        // A drawing (SVG): drawn at the size asked for.
        Drawn,
    };

    // The pixel size, before any turn the file asks for; invalid when the bytes are no image the
    // readers know or the header does not tell.
    QSize size;
    Decoding decoding = Decoding::Whole;
    // The file's length in bytes.
    qint64 bytes = 0;
};
ImageHeader readImageHeader(const QByteArray& bytes);

// The most pixels a byte of any raster format holds: a 1-bit PNG at deflate's greatest compression.
constexpr qint64 kMostPixelsPerByte = 8256;

// The work of decoding the image at most `maxPixels` large, in pixels handled: the whole image's
// pixels, which a few bytes of header can make enormous; for a sequential JPEG only what its reduced
// decoding (at most twice as wide and high as asked for) handles, for a drawing what it is drawn at.
// 0 when the header tells no size. A raster image that claims more pixels than its bytes can hold is
// mostly missing; it is taken to need more work than any decoding may have.
qint64 decodingWork(const ImageHeader& header, qint64 maxPixels);

// The most work one image's decoding may take (a second or two, and a progressive JPEG, which keeps
// every coefficient of the whole image, about a gigabyte): an image that needs more is not decoded.
constexpr qint64 kMaximumDecodingWork = 256 * 1024 * 1024;

// The longest side a decoded image has. The program's bitmaps are no larger, and Qt's smooth scaling
// can take minutes to reach some sizes far beyond it (6 x 16 million pixels to 4 x 13 million).
constexpr int kMaximumDecodedSide = 16384;

// Decodes PNG, JPEG, GIF, BMP and whatever else Qt's image readers know; nothing when the bytes are
// not an image or its decoding would take more than kMaximumDecodingWork. An image of more than
// `maxPixels` pixels, or longer than kMaximumDecodedSide a side, is decoded scaled down, by one factor
// for both sides, to within both; its size in points stays that of the whole image. Images beyond Qt's own
// allocation limit are decoded too, as long as the decoding needs at most 1 GiB.
std::optional<DecodedImage> decodeImage(const QByteArray& bytes,
                                        qint64 maxPixels = std::numeric_limits<qint64>::max());

// Whether the decoders' own messages (libpng writes its errors straight to standard error) are let
// through while an image is decoded. They are not by default: a picture that does not decode is
// handled, and there is no log to write about it.
void setImageDecoderMessagesShown(bool shown);

// The image as a PNG file that records no resolution, so that it reads back one point a pixel.
QByteArray encodePng(const QImage& image);

// The shortest decimal text that reads back as the same double, with at least one digit after the
// point, exponent form for very large and very small magnitudes: 120.0, 37.5, 1e+20, 5e-324.
// Infinity is written 1e+999, which reads back as infinity.
QString formatShortestDouble(double value);
