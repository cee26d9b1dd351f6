#include "platform/image.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool isBase64Character(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'+' ||
           c == u'/';
}

// A resolution recorded in an image file, in dots per inch along each axis.
struct Resolution {
    double x = 0.0;
    double y = 0.0;
};

quint32 bigEndian32(const uchar* p) {
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}
quint16 bigEndian16(const uchar* p) {
    return quint16(p[0] << 8 | p[1]);
}
qint32 littleEndian32(const uchar* p) {
    return qint32(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
}

constexpr double kInchesPerMetre = 1.0 / 0.0254;

// Files keep resolutions in whole dots per metre, so 96 dpi arrives as 3780 (96.012 dpi) and a
// 12-pixel side would truncate to 8 points instead of 9. A value that is exactly the rounding of a
// whole number of dots per inch was written from that number.
double dotsPerInch(quint32 dotsPerMetre) {
    const double wholeInch = std::round(dotsPerMetre / kInchesPerMetre);
    if (wholeInch > 0 && std::round(wholeInch * kInchesPerMetre) == dotsPerMetre)
        return wholeInch;
    return dotsPerMetre / kInchesPerMetre;
}

std::optional<Resolution> pngResolution(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype pos = 8;
    while (pos + 8 <= size) {
        const quint32 length = bigEndian32(data + pos);
        const QByteArrayView type(bytes.constData() + pos + 4, 4);
        if (type == "IDAT" || type == "IEND")
            break;
        if (type == "pHYs" && length >= 9 && pos + 8 + 9 <= size) {
            const uchar* chunk = data + pos + 8;
            const quint32 perUnitX = bigEndian32(chunk);
            const quint32 perUnitY = bigEndian32(chunk + 4);
            // Unit 0 gives only the pixel aspect ratio, no resolution.
            if (chunk[8] != 1 || perUnitX == 0 || perUnitY == 0)
                return std::nullopt;
            return Resolution{dotsPerInch(perUnitX), dotsPerInch(perUnitY)};
        }
        if (length > quint32(size))
            break;
        pos += 12 + qsizetype(length);
    }
    return std::nullopt;
}

// Walks a JPEG's header segments up to its scan data, handing each segment's marker and the position
// of its 0xFF to `visit`, which returns true to stop the walk.
template <typename Visit> void walkJpegHeader(const QByteArray& bytes, Visit visit) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype pos = 2;
    while (pos + 4 <= size && data[pos] == 0xFF) {
        const uchar marker = data[pos + 1];
        // Fill bytes before a marker.
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        if (visit(marker, pos))
            return;
        // The scan data starts after SOS; the header segments are over.
        if (marker == 0xDA || marker == 0xD9)
            return;
        const quint16 length = bigEndian16(data + pos + 2);
        if (length < 2)
            return;
        pos += 2 + length;
    }
}

std::optional<Resolution> jpegResolution(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    std::optional<Resolution> resolution;
    walkJpegHeader(bytes, [&](uchar marker, qsizetype pos) {
        const quint16 length = bigEndian16(data + pos + 2);
        const uchar* segment = data + pos + 4;
        if (marker != 0xE0 || length < 16 || pos + 2 + length > bytes.size() ||
            std::memcmp(segment, "JFIF\0", 5) != 0)
            return false;
        const uchar units = segment[7];
        const double densityX = bigEndian16(segment + 8);
        const double densityY = bigEndian16(segment + 10);
        if (densityX != 0 && densityY != 0) {
            if (units == 1)
                resolution = Resolution{densityX, densityY};
            else if (units == 2)
                resolution = Resolution{densityX * 2.54, densityY * 2.54};
        }
        return true;
    });
    return resolution;
}

// Whether the JPEG's frame is sequential (baseline or extended, Huffman coded), found by walking its
// header segments up to the frame's marker.
bool isSequentialJpeg(const QByteArray& bytes) {
    bool sequential = false;
    walkJpegHeader(bytes, [&](uchar marker, qsizetype) {
        // Start-of-frame markers run from C0 to CF, less DHT (C4), JPG (C8) and DAC (CC).
        if (marker < 0xC0 || marker > 0xCF || marker == 0xC4 || marker == 0xC8 || marker == 0xCC)
            return false;
        sequential = marker == 0xC0 || marker == 0xC1;
        return true;
    });
    return sequential;
}

ImageHeader::Decoding decodingOf(const QByteArray& bytes, const QByteArray& format) {
    if (format == "svg" || format == "svgz")
        return ImageHeader::Decoding::Drawn;
    if ((format == "jpeg" || format == "jpg") && isSequentialJpeg(bytes))
        return ImageHeader::Decoding::ReducedJpeg;
    return ImageHeader::Decoding::Whole;
}

std::optional<Resolution> bmpResolution(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    // The core header of old files (12 bytes) has no resolution fields.
    if (bytes.size() < 14 + 40 || littleEndian32(data + 14) < 40)
        return std::nullopt;
    const qint32 perMetreX = littleEndian32(data + 38);
    const qint32 perMetreY = littleEndian32(data + 42);
    if (perMetreX <= 0 || perMetreY <= 0)
        return std::nullopt;
    return Resolution{dotsPerInch(quint32(perMetreX)), dotsPerInch(quint32(perMetreY))};
}

// The resolution the file itself records. Qt gives every image without one a default that cannot be
// told from a file that records the same value, so the known headers are read here.
std::optional<Resolution> recordedResolution(const QByteArray& bytes, const QByteArray& format,
                                             const QImage& decoded) {
    if (format == "png")
        return pngResolution(bytes);
    if (format == "jpeg" || format == "jpg")
        return jpegResolution(bytes);
    if (format == "bmp")
        return bmpResolution(bytes);
    if (format == "gif")
        return std::nullopt;
    // Other readers (TIFF and the like) set the resolution when the file has one; only a value that
    // differs from Qt's default can be trusted to come from the file.
    const QImage blank(1, 1, QImage::Format_ARGB32);
    if (decoded.dotsPerMeterX() > 0 && decoded.dotsPerMeterY() > 0 &&
        (decoded.dotsPerMeterX() != blank.dotsPerMeterX() ||
         decoded.dotsPerMeterY() != blank.dotsPerMeterY()))
        return Resolution{dotsPerInch(quint32(decoded.dotsPerMeterX())),
                          dotsPerInch(quint32(decoded.dotsPerMeterY()))};
    return std::nullopt;
}

// The PNG without its pHYs chunk. Qt always records a resolution, but the program's bitmaps are
// one point a pixel, which only a file that records none says exactly.
QByteArray withoutResolution(QByteArray png) {
    qsizetype pos = 8;
    while (pos + 12 <= png.size()) {
        const quint32 length = bigEndian32(reinterpret_cast<const uchar*>(png.constData()) + pos);
        if (length > quint32(png.size()))
            break;
        const QByteArrayView type(png.constData() + pos + 4, 4);
        if (type == "pHYs") {
            png.remove(pos, 12 + qsizetype(length));
            break;
        }
        if (type == "IDAT")
            break;
        pos += 12 + qsizetype(length);
    }
    return png;
}

bool& decoderMessagesShown() {
    static bool shown = false;
    return shown;
}

// Sends standard error to /dev/null while it lives, unless the decoders' messages are shown.
class QuietStandardError {
public:
    QuietStandardError() {
        if (decoderMessagesShown())
            return;
        std::fflush(stderr);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null < 0)
            return;
        m_saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        if (m_saved >= 0 && ::dup2(null, STDERR_FILENO) < 0) {
            ::close(m_saved);
            m_saved = -1;
        }
        ::close(null);
    }
    ~QuietStandardError() {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int m_saved = -1;
};

qint64 pixelCount(QSize size) {
    return qint64(size.width()) * size.height();
}

// Smoothing from twice the size needs four times the pixels at four bytes each: 64 MB at most.
constexpr qint64 kMostPixelsSmoothedFromTwice = qint64(1) << 22;

// A picture of one bit a pixel is decoded whole only up to this size: with a transparent colour it
// comes out at four bytes a pixel, 256 MB here. Larger ones are scaled as they are decoded.
constexpr qint64 kMostOneBitPixelsDecodedWhole = qint64(1) << 26;

// Qt refuses to decode images that need more than its allocation limit (128 MB), which large photos
// exceed. For one read the limit is raised to what the image needs, counting 8 bytes a pixel for
// the deepest formats, up to 1 GiB.
class AllocationLimit {
public:
    explicit AllocationLimit(QSize size) : m_previous(QImageReader::allocationLimit()) {
        constexpr qint64 maximumMegabytes = 1024;
        const qint64 needed = size.isValid() ? (pixelCount(size) * 8 >> 20) + 1 : 0;
        if (m_previous > 0 && needed > m_previous)
            QImageReader::setAllocationLimit(int(std::min(needed, maximumMegabytes)));
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(m_previous); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    int m_previous;
};

// Whether a PNG file's header gives one bit a pixel. Asked through the reader instead, some decoders
// answer with a format they never set for a broken file.
bool isOneBitPng(const QByteArray& bytes) {
    constexpr qsizetype kHeaderName = 12;
    constexpr qsizetype kBitDepth = 24;
    return bytes.size() > kBitDepth && bytes.mid(kHeaderName, 4) == "IHDR" && bytes[kBitDepth] == 1;
}

// `image` at `size`, smaller than it. Smoothing works on four bytes a pixel, so a large image is first
// reduced without smoothing, which keeps its own format, to twice the size (to the size itself when that
// is already large), and smoothed from there.
QImage scaledDown(QImage image, QSize size) {
    const QSize between =
        (pixelCount(size) <= kMostPixelsSmoothedFromTwice ? size * 2 : size).boundedTo(image.size());
    if (between != image.size())
        image = image.scaled(between, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return image.size() == size ? image : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

std::optional<QByteArray> decodeBase64Strict(QStringView text) {
    // Whole groups of four, with at most two "=" and only at the end.
    if (text.size() % 4 != 0)
        return std::nullopt;
    qsizetype padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == u'=')
        ++padding;
    const qsizetype dataLength = text.size() - padding;
    QByteArray ascii;
    ascii.reserve(text.size());
    for (qsizetype i = 0; i < dataLength; ++i) {
        if (!isBase64Character(text[i].unicode()))
            return std::nullopt;
        ascii.append(char(text[i].unicode()));
    }
    ascii.append(padding, '=');
    auto result = QByteArray::fromBase64Encoding(ascii, QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    return std::move(result.decoded);
}

QString encodeBase64(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toBase64());
}

std::optional<DecodedImage> decodeImage(const QByteArray& bytes, qint64 maxPixels) {
    if (bytes.isEmpty())
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray format;
    QImageIOHandler::Transformations transformation;
    QSize fileSize;
    QImage pixels;
    QSize decodedSize;
    bool oneBitPerPixel = false;
    {
        // Reading the header can fail as loudly as decoding.
        const QuietStandardError quiet;
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        format = reader.format().toLower();
        transformation = reader.transformation();
        fileSize = reader.size();
        // The PNG reader loses the colours of a two-colour palette when it scales while it decodes, so
        // PNG images of one bit a pixel, up to a size, are decoded whole and scaled here.
        oneBitPerPixel = format == "png" && isOneBitPng(bytes) && fileSize.isValid() &&
                         pixelCount(fileSize) <= kMostOneBitPixelsDecodedWhole;

        // The work follows the whole image, which the header alone can make enormous.
        if (decodingWork({fileSize, decodingOf(bytes, format), bytes.size()}, maxPixels) >
            kMaximumDecodingWork)
            return std::nullopt;

        decodedSize = fileSize;
        if (fileSize.isValid()) {
            const double factor = std::min(
                {1.0, std::sqrt(double(std::max<qint64>(maxPixels, 1)) / double(pixelCount(fileSize))),
                 double(kMaximumDecodedSide) / fileSize.width(),
                 double(kMaximumDecodedSide) / fileSize.height()});
            if (factor < 1.0) {
                decodedSize = QSize(std::max(1, int(fileSize.width() * factor)),
                                    std::max(1, int(fileSize.height() * factor)));
                if (!oneBitPerPixel)
                    reader.setScaledSize(decodedSize);
            }
        }
        // A reader that cannot scale while it decodes holds the whole image first.
        const QSize held =
            reader.supportsOption(QImageIOHandler::ScaledSize) && !oneBitPerPixel ? decodedSize : fileSize;
        const AllocationLimit limit(held);
        if (!reader.read(&pixels) || pixels.isNull())
            return std::nullopt;
    }
    if (oneBitPerPixel && decodedSize != fileSize) {
        // The decoded image is already turned upright.
        const bool turned = transformation & QImageIOHandler::TransformationRotate90;
        pixels = scaledDown(pixels, turned ? decodedSize.transposed() : decodedSize);
    }

    // The size in points is the whole image's, whatever size it was decoded at.
    QSize wholeSize = fileSize.isValid() ? fileSize : pixels.size();
    // A quarter turn swaps the axes, the recorded resolution's among them.
    const bool quarterTurn = transformation & QImageIOHandler::TransformationRotate90;
    if (quarterTurn && fileSize.isValid())
        wholeSize.transpose();
    QSizeF points(wholeSize);
    if (std::optional<Resolution> resolution = recordedResolution(bytes, format, pixels)) {
        if (quarterTurn)
            std::swap(resolution->x, resolution->y);
        points = QSizeF(wholeSize.width() * 72.0 / resolution->x, wholeSize.height() * 72.0 / resolution->y);
    }
    return DecodedImage{std::move(pixels), points};
}

void setImageDecoderMessagesShown(bool shown) {
    decoderMessagesShown() = shown;
}

ImageHeader readImageHeader(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    const QuietStandardError quiet;
    if (!reader.canRead())
        return {};
    const QByteArray format = reader.format().toLower();
    return {reader.size(), decodingOf(bytes, format), bytes.size()};
}

qint64 decodingWork(const ImageHeader& header, qint64 maxPixels) {
    if (!header.size.isValid())
        return 0;
    const qint64 whole = pixelCount(header.size);
    const qint64 asked = std::clamp<qint64>(maxPixels, 1, whole);
    switch (header.decoding) {
    case ImageHeader::Decoding::Drawn:
        return asked;
    case ImageHeader::Decoding::Whole:
    case ImageHeader::Decoding::ReducedJpeg:
        break;
    }
    if (whole / kMostPixelsPerByte > header.bytes)
        return std::numeric_limits<qint64>::max();
    if (header.decoding == ImageHeader::Decoding::Whole)
        return whole;
    // The reader decodes at the largest of the JPEG's own reductions (halves, quarters, eighths of
    // each side) that still leaves it at least as large as asked for, then scales the rest of the way.
    const double sides = std::sqrt(double(whole) / double(asked));
    const qint64 reduction = sides < 2 ? 1 : sides < 4 ? 2 : sides < 8 ? 4 : 8;
    return whole / (reduction * reduction);
}

QByteArray encodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return {};
    return withoutResolution(bytes);
}

// Written like the shortest round-trip form other systems print for doubles: plain decimal with at
// least one digit after the point for magnitudes from 1e-4 up to (not including) 2^53, where every
// integer is still exact; exponent form outside that range, with at least two exponent digits
// (1e+20, 1e-05, 5e-324).
QString formatShortestDouble(double value) {
    if (std::isnan(value))
        return QStringLiteral("nan");
    // "inf" would read back as 0; an exponent beyond any double reads back as infinity.
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("1e+999") : QStringLiteral("-1e+999");
    const double magnitude = std::fabs(value);
    const bool exponentForm = magnitude != 0.0 && (magnitude < 1e-4 || magnitude >= 9007199254740992.0);
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value,
                      exponentForm ? std::chars_format::scientific : std::chars_format::fixed);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (!exponentForm && !text.contains(u'.'))
        text += QStringLiteral(".0");
    return text;
}
