#include "word/image_rules.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace word {

namespace {

// What the colours of a picture amount to.
struct ColourFacts {
    bool blackAndWhite = true;
    bool grey = true;
    bool translucent = false;
    void add(QRgb c) {
        if (qAlpha(c) < 255) translucent = true;
        const QRgb rgb = c & 0xFFFFFF;
        if (rgb != 0 && rgb != 0xFFFFFF) blackAndWhite = false;
        if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c)) grey = false;
    }
};

// Indexed pictures are judged by the palette entries their pixels use, the
// others pixel by pixel.
ColourFacts colourFacts(const QImage& image) {
    ColourFacts facts;
    const QImage::Format f = image.format();
    if (f == QImage::Format_Mono || f == QImage::Format_MonoLSB || f == QImage::Format_Indexed8) {
        const QList<QRgb> table = image.colorTable();
        std::vector<bool> used(table.size(), false);
        if (f == QImage::Format_Indexed8) {
            const int w = image.width(), h = image.height();
            for (int y = 0; y < h; ++y) {
                const uchar* line = image.constScanLine(y);
                for (int x = 0; x < w; ++x)
                    if (line[x] < used.size()) used[line[x]] = true;
            }
        } else {
            used.assign(table.size(), true);  // two entries: checking both is as quick
        }
        for (qsizetype i = 0; i < table.size(); ++i)
            if (used[i]) facts.add(table[i]);
        return facts;
    }
    if (f == QImage::Format_Grayscale8) {
        const int w = image.width(), h = image.height();
        for (int y = 0; y < h && facts.blackAndWhite; ++y) {
            const uchar* line = image.constScanLine(y);
            for (int x = 0; x < w; ++x)
                if (line[x] != 0 && line[x] != 255) {
                    facts.blackAndWhite = false;
                    break;
                }
        }
        return facts;
    }
    // 32-bit pictures are read in place; others through one conversion.
    const bool plain = f == QImage::Format_ARGB32 || f == QImage::Format_RGB32;
    const QImage argb = plain ? image : image.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width(), h = argb.height();
    // Without an alpha channel nothing is translucent: the first colour ends the scan.
    const bool opaque = !argb.hasAlphaChannel();
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) facts.add(opaque ? line[x] | 0xFF000000 : line[x]);
        if (!facts.grey && (facts.translucent || opaque)) break;  // nothing left to learn
    }
    return facts;
}

int storedDepth(const QImage& image) {
    if (image.depth() == 32 && !image.hasAlphaChannel()) return 24;
    return image.depth();
}

// A QImage keeps the screen's default resolution when the file states none.
double statedDpi(int dotsPerMeter, int defaultDotsPerMeter) {
    if (dotsPerMeter <= 0 || dotsPerMeter == defaultDotsPerMeter) return 0;
    return std::round(dotsPerMeter * 0.0254 * 10) / 10;
}

// JFIF: the APP0 segment with the identifier "JFIF" right after the start of image.
bool startsAsJfif(const QByteArray& b) {
    return b.size() > 11 && b.startsWith("\xFF\xD8\xFF\xE0") && b.mid(6, 5) == QByteArray("JFIF\0", 5);
}

QString dpiText(double dpi) { return QString::number(dpi, 'g', 4); }

quint32 le32(const uchar* d) { return d[0] | d[1] << 8 | d[2] << 16 | quint32(d[3]) << 24; }
quint16 le16(const uchar* d) { return quint16(d[0] | d[1] << 8); }

// A JPEG ends with its end-of-image marker after the last scan: the segments
// are walked by their lengths and each scan's data up to the marker after it.
// Qt decodes a cut JPEG without failing and paints the missing rows grey.
bool jpegComplete(const QByteArray& bytes) {
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 2;  // after the start of image
    while (i + 1 < n) {
        if (d[i] != 0xFF) {  // stray bytes between segments, as decoders allow
            ++i;
            continue;
        }
        const uchar marker = d[i + 1];
        if (marker == 0xD9) return true;
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += marker == 0xFF ? 1 : 2;  // fill byte, or a marker without a length
            continue;
        }
        if (i + 3 >= n) return false;
        const int length = d[i + 2] << 8 | d[i + 3];
        if (length < 2) return false;
        i += 2 + length;
        if (marker != 0xDA) continue;
        // Entropy-coded data: FF 00 is a data byte and FF D0-D7 a restart.
        while (i + 1 < n && !(d[i] == 0xFF && d[i + 1] != 0 && !(d[i + 1] >= 0xD0 && d[i + 1] <= 0xD7))) ++i;
    }
    return false;
}

// A PNG's chunks (length, type, data, checksum) run up to IEND. A cut one is
// found before it reaches libpng, which would say so on the terminal.
bool pngComplete(const QByteArray& bytes) {
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype at = 8; at + 12 <= n;) {
        const quint32 length = quint32(d[at]) << 24 | d[at + 1] << 16 | d[at + 2] << 8 | d[at + 3];
        if (length > quint32(n - at - 12)) return false;
        if (std::memcmp(d + at + 4, "IEND", 4) == 0) return true;
        at += 12 + qsizetype(length);
    }
    return false;
}

// Qt reads a cut BMP without failing too; its header states the file's size.
bool bmpComplete(const QByteArray& bytes) {
    if (bytes.size() < 14) return false;
    const quint32 stated = le32(reinterpret_cast<const uchar*>(bytes.constData()) + 2);
    return stated == 0 || stated <= quint32(bytes.size());
}

// The records of an EMF (type and size, up to EMR_EOF) or a WMF (size in
// words and function, up to the record of function 0), walked without being
// drawn. A metafile whose records run past its end, or that draws nothing,
// gives a blank picture when drawn.
QString metafileFault(const QByteArray& bytes, const QString& format) {
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    const QString damaged = QStringLiteral("%1のデータが壊れています").arg(format);
    const QString empty = QStringLiteral("%1に何も描かれていません").arg(format);
    int drawing = 0;  // records other than the header and the end
    if (format == "EMF") {
        for (qsizetype at = 0; at + 8 <= n;) {
            const quint32 type = le32(d + at), size = le32(d + at + 4);
            if (size < 8 || size % 4 || size > quint32(n - at)) return damaged;
            if (at == 0 && type != 1) return damaged;
            if (type == 14) return drawing ? QString() : empty;
            if (at > 0) ++drawing;
            at += size;
        }
        return damaged;
    }
    qsizetype at = le32(d) == 0x9AC6CDD7u ? 22 : 0;  // the placeable header
    if (at + 18 > n) return damaged;
    at += qsizetype(le16(d + at + 2)) * 2;  // the header's own size in words
    while (at + 6 <= n) {
        const quint32 words = le32(d + at);
        const quint16 function = le16(d + at + 4);
        if (words < 3 || words > quint32((n - at) / 2)) return damaged;
        if (function == 0) return drawing ? QString() : empty;
        ++drawing;
        at += qsizetype(words) * 2;
    }
    return damaged;
}

// Pictures as large as scans and photographs pass Qt's default allocation
// limit (128 MB); up to this many megabytes they are read, above it they are
// refused as too large. JPEG is decoded straight at a smaller size.
constexpr int kReadLimitMegabytes = 1024;

// Reads a picture no larger on any side than the largest picture the rules
// allow (kMaxPictureHeightDots, whichever way it is turned): a larger one is
// read scaled down, since a conversion shrinks it that far anyway.
bool readBounded(QImageReader& reader, QImage& image, QString& failure) {
    static const bool limitSet = [] {
        QImageReader::setAllocationLimit(kReadLimitMegabytes);
        return true;
    }();
    (void)limitSet;
    const QSize stored = reader.size();
    const int bound = std::max(kMaxPictureWidthDots, kMaxPictureHeightDots);
    if (stored.isValid() && (stored.width() > bound || stored.height() > bound))
        reader.setScaledSize(stored.scaled(bound, bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    if (reader.read(&image)) return true;
    image = QImage();
    const qint64 bytes = stored.isValid() ? qint64(stored.width()) * stored.height() * 4 : 0;
    if (bytes > qint64(kReadLimitMegabytes) * 1024 * 1024)
        failure = QStringLiteral("大きすぎて読み込めません（%1×%2ドット）").arg(stored.width()).arg(stored.height());
    else
        failure = QStringLiteral("データが壊れているか途中で切れています");
    return false;
}

void checkRules(ImageAssessment& a) {
    const bool bilevelFormat = a.format == "PNG" || a.format == "GIF" || a.format == "BMP";
    if (bilevelFormat) {
        if (!a.twoLevel)
            a.problems << (a.greyscale ? QStringLiteral("白黒２値ではありません（グレー）")
                                       : QStringLiteral("白黒２値ではありません（カラー）"));
        if (a.transparent) a.problems << QStringLiteral("透明な部分があります");
    } else if (a.format == "JPEG") {
        if (!a.jfif) a.problems << QStringLiteral("JFIF形式のJPEGではありません");
        if (a.depth != 8 || !a.greyscale)
            a.problems << QStringLiteral("８ビットグレースケールではありません（%1ビット）").arg(a.depth);
    } else {
        a.problems << QStringLiteral("PNG・GIF・BMP・JPEG以外の形式です（%1）")
                          .arg(a.format.isEmpty() ? QStringLiteral("不明") : a.format);
        return;
    }
    if (a.dpiX == 0 || a.dpiY == 0)
        a.problems << QStringLiteral("解像度が記録されていません");
    else if (!IsAllowedDpi(a.dpiX) || !IsAllowedDpi(a.dpiY) || std::abs(a.dpiX - a.dpiY) > 1)
        a.problems << QStringLiteral("解像度が200・300・400dpiのいずれでもありません（%1×%2dpi）")
                          .arg(dpiText(a.dpiX), dpiText(a.dpiY));
    // The size limit is in millimetres: at an allowed resolution, the size as
    // printed; otherwise the most dots any resolution allows.
    const bool printed = IsAllowedDpi(a.dpiX) && std::abs(a.dpiX - a.dpiY) <= 1;
    const QSize limit = MaxPictureDots(printed ? int(std::lround(a.dpiX)) : kAllowedPictureDpi.back());
    if (a.width <= limit.width() && a.height <= limit.height()) return;
    if (printed)
        a.problems << QStringLiteral("%1×%2mmを超えています（%3×%4ドット、%5dpiで%6×%7mm）")
                          .arg(kMaxPictureWidthMm)
                          .arg(kMaxPictureHeightMm)
                          .arg(a.width)
                          .arg(a.height)
                          .arg(std::lround(a.dpiX))
                          .arg(a.width * 25.4 / a.dpiX, 0, 'f', 1)
                          .arg(a.height * 25.4 / a.dpiY, 0, 'f', 1);
    else
        a.problems << QStringLiteral("%1×%2ドットを超えています（%3×%4ドット）")
                          .arg(limit.width())
                          .arg(limit.height())
                          .arg(a.width)
                          .arg(a.height);
}

// Bytes that give no usable picture: said in the assessment and its problems.
void markUnreadable(ImageAssessment& a, const QString& why) {
    a.unreadable = why;
    a.problems << QStringLiteral("画像を読み込めません（%1、%2）")
                      .arg(a.format.isEmpty() ? QStringLiteral("形式不明") : a.format, why);
}

}  // namespace

QString PictureFormatBySignature(const QByteArray& b) {
    if (b.startsWith("\x89PNG")) return QStringLiteral("PNG");
    if (b.startsWith("\xFF\xD8")) return QStringLiteral("JPEG");
    if (b.startsWith("GIF8")) return QStringLiteral("GIF");
    if (b.startsWith("BM")) return QStringLiteral("BMP");
    if (b.startsWith("II*") || b.startsWith(QByteArray("MM\0*", 4))) return QStringLiteral("TIFF");
    if (b.size() > 44 && b.mid(40, 4) == " EMF") return QStringLiteral("EMF");
    // The placeable header, or a plain metafile header (memory or disk file, version 0x100 or 0x300).
    if (b.startsWith("\xD7\xCD\xC6\x9A") || b.startsWith(QByteArray("\x01\x00\x09\x00", 4)) ||
        b.startsWith(QByteArray("\x02\x00\x09\x00", 4)))
        return QStringLiteral("WMF");
    return {};
}

QSize MaxPictureDots(int dpi) {
    return QSize(int(kMaxPictureWidthMm / 25.4 * dpi), int(kMaxPictureHeightMm / 25.4 * dpi));
}

bool IsAllowedDpi(double dpi) {
    for (int allowed : kAllowedPictureDpi)
        if (std::abs(dpi - allowed) < 0.5) return true;
    return false;
}

ImageAssessment AssessImage(const QByteArray& bytes) { return AssessImage(bytes, nullptr); }

ImageAssessment AssessImage(const QByteArray& bytes, DecodedPicture* decoded) {
    ImageAssessment a;
    a.format = PictureFormatBySignature(bytes);
    if (a.format == "EMF" || a.format == "WMF") {
        checkRules(a);
        if (const QString fault = metafileFault(bytes, a.format); !fault.isEmpty()) {
            a.unreadable = fault;
            a.problems << fault;
        }
        return a;
    }
    if (bytes.isEmpty()) {
        markUnreadable(a, QStringLiteral("中身がありません"));
        return a;
    }
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    const QString readFormat = QString::fromLatin1(reader.format()).toUpper();
    if (!readFormat.isEmpty()) a.format = readFormat == "JPG" ? QStringLiteral("JPEG") : readFormat;
    QImage image;
    QString failure;
    const QSize stored = reader.size();
    if ((a.format == "JPEG" && !jpegComplete(bytes)) || (a.format == "BMP" && !bmpComplete(bytes)) ||
        (a.format == "PNG" && !pngComplete(bytes))) {
        markUnreadable(a, QStringLiteral("ファイルが途中で切れています"));
        return a;
    }
    if (!readBounded(reader, image, failure)) {
        markUnreadable(a, failure);
        return a;
    }
    const QImage blank(1, 1, QImage::Format_Mono);
    a.width = stored.isValid() ? stored.width() : image.width();
    a.height = stored.isValid() ? stored.height() : image.height();
    a.depth = storedDepth(image);
    a.dpiX = statedDpi(image.dotsPerMeterX(), blank.dotsPerMeterX());
    a.dpiY = statedDpi(image.dotsPerMeterY(), blank.dotsPerMeterY());
    const ColourFacts facts = colourFacts(image);
    a.transparent = facts.translucent;
    a.twoLevel = facts.blackAndWhite && !facts.translucent;
    a.greyscale = facts.grey;
    a.jfif = a.format == "JPEG" && startsAsJfif(bytes);
    checkRules(a);
    if (decoded) {
        const QImageIOHandler::Transformations turn = reader.transformation();
        decoded->shownSize = QSize(a.width, a.height);
        if (turn & QImageIOHandler::TransformationRotate90) decoded->shownSize.transpose();
        if (turn == QImageIOHandler::TransformationNone) {
            decoded->image = std::move(image);
        } else {
            // The rules judge the dots as stored; a conversion starts from the
            // picture as it is shown, turned as its orientation tag says.
            QBuffer again(&data);
            again.open(QIODevice::ReadOnly);
            QImageReader shown(&again);
            shown.setAutoTransform(true);
            QString ignored;
            readBounded(shown, decoded->image, ignored);
        }
    }
    return a;
}

}  // namespace word
