#include "word/image_rules.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <cmath>
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
    if (a.width > kMaxPictureWidthDots || a.height > kMaxPictureHeightDots)
        a.problems << QStringLiteral("%1×%2ドットを超えています（%3×%4ドット）")
                          .arg(kMaxPictureWidthDots)
                          .arg(kMaxPictureHeightDots)
                          .arg(a.width)
                          .arg(a.height);
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

bool IsAllowedDpi(double dpi) {
    for (int allowed : kAllowedPictureDpi)
        if (std::abs(dpi - allowed) < 0.5) return true;
    return false;
}

ImageAssessment AssessImage(const QByteArray& bytes) { return AssessImage(bytes, nullptr); }

ImageAssessment AssessImage(const QByteArray& bytes, QImage* decoded) {
    ImageAssessment a;
    a.format = PictureFormatBySignature(bytes);
    if (a.format == "EMF" || a.format == "WMF") {
        checkRules(a);
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
    if (!reader.read(&image)) {
        a.problems << QStringLiteral("画像を読み込めません（%1）")
                          .arg(a.format.isEmpty() ? QStringLiteral("形式不明") : a.format);
        return a;
    }
    const QImage blank(1, 1, QImage::Format_Mono);
    a.width = image.width();
    a.height = image.height();
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
        if (reader.transformation() == QImageIOHandler::TransformationNone) {
            *decoded = std::move(image);
        } else {
            // The rules judge the dots as stored; a conversion starts from the
            // picture as it is shown, turned as its orientation tag says.
            QBuffer again(&data);
            again.open(QIODevice::ReadOnly);
            QImageReader shown(&again);
            shown.setAutoTransform(true);
            *decoded = shown.read();
        }
    }
    return a;
}

}  // namespace word
