#include "word/picture_conversion.h"

#include "word/automation.h"
#include "word/image_rules.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <array>
#include <cmath>

namespace word {

namespace {

constexpr double kEmuPerInch = 914400;
constexpr int kRenderDpi = 300;  // metafiles are drawn at this resolution, then brought to the rules

using Histogram = std::array<qint64, 256>;

enum class Kind { LineDrawing, Photograph };

// A drawn metafile, read as any picture is (its size bounded).
DecodedPicture readDrawn(const QByteArray& png) {
    DecodedPicture drawn;
    AssessImage(png, &drawn);
    return drawn;
}

// Greyscale with transparent parts counted as white (paper shows through).
QImage flattenedGrey(const QImage& image) {
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_Grayscale8);
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage grey(argb.size(), QImage::Format_Grayscale8);
    const int w = argb.width(), h = argb.height();
    for (int y = 0; y < h; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int a = qAlpha(in[x]);
            out[x] = uchar((qGray(in[x]) * a + 255 * (255 - a)) / 255);
        }
    }
    return grey;
}

// Shrinks a picture larger than `limit` to fit, keeping its proportions.
// Done before the greyscale step: Qt scales 32-bit pixels directly,
// greyscale ones through a conversion.
QImage fittedTo(const QImage& image, QSize limit) {
    if (image.width() <= limit.width() && image.height() <= limit.height()) return image;
    return image.scaled(limit, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

Histogram histogramOf(const QImage& grey) {
    Histogram h{};
    const int w = grey.width(), rows = grey.height();
    for (int y = 0; y < rows; ++y) {
        const uchar* line = grey.constScanLine(y);
        for (int x = 0; x < w; ++x) ++h[line[x]];
    }
    return h;
}

// A line drawing has few grey levels, or is mostly white paper with dark
// strokes and little in between (the grey of smoothed stroke edges).
Kind kindOf(const Histogram& h) {
    qint64 total = 0, levels = 0, light = 0, dark = 0;
    for (int v = 0; v < 256; ++v) {
        total += h[v];
        if (h[v]) ++levels;
        if (v >= 224) light += h[v];
        if (v <= 96) dark += h[v];
    }
    if (levels <= 16 || total == 0) return Kind::LineDrawing;
    const bool mostlyPaper = light * 2 >= total;
    const bool fewMiddleTones = (light + dark) * 10 >= total * 9;
    return mostlyPaper && fewMiddleTones ? Kind::LineDrawing : Kind::Photograph;
}

// Otsu's method: the level that best separates the histogram into two
// classes (largest variance between them). Levels up to it become black.
int otsuThreshold(const Histogram& h) {
    qint64 total = 0;
    double sumAll = 0;
    for (int v = 0; v < 256; ++v) {
        total += h[v];
        sumAll += double(v) * h[v];
    }
    double sumBelow = 0, best = -1;
    qint64 below = 0;
    int threshold = 127;
    for (int t = 0; t < 255; ++t) {
        below += h[t];
        sumBelow += double(t) * h[t];
        const qint64 above = total - below;
        if (below == 0 || above == 0) continue;
        const double meanBelow = sumBelow / below, meanAbove = (sumAll - sumBelow) / above;
        const double between = double(below) * double(above) * (meanBelow - meanAbove) * (meanBelow - meanAbove);
        if (between > best) {
            best = between;
            threshold = t;
        }
    }
    return threshold;  // a picture of one level keeps 127: light stays white, dark black
}

QImage twoLevel(const QImage& grey, int threshold) {
    QImage mono(grey.size(), QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    const int w = grey.width(), h = grey.height();
    for (int y = 0; y < h; ++y) {
        const uchar* in = grey.constScanLine(y);
        uchar* out = mono.scanLine(y);
        for (int x = 0; x < w; ++x)
            if (in[x] > threshold) out[x >> 3] |= uchar(0x80 >> (x & 7));
    }
    return mono;
}

// The allowed resolution at which the picture prints closest to its size in
// the document; without a displayed size, closest to the resolution the file
// states, else 300 dpi.
int closestAllowedDpi(QSize dots, qint64 cxEmu, qint64 cyEmu, double statedDpi) {
    double inches = 0;
    int along = 0;
    if (cxEmu > 0) {
        inches = cxEmu / kEmuPerInch;
        along = dots.width();
    } else if (cyEmu > 0) {
        inches = cyEmu / kEmuPerInch;
        along = dots.height();
    } else if (statedDpi > 0) {
        inches = dots.width() / statedDpi;
        along = dots.width();
    } else {
        return 300;
    }
    int best = kAllowedPictureDpi[0];
    for (int dpi : kAllowedPictureDpi)
        if (std::abs(along / double(dpi) - inches) < std::abs(along / double(best) - inches)) best = dpi;
    return best;
}

QString colourWord(const ImageAssessment& a) {
    if (a.format == "EMF" || a.format == "WMF") return a.format;
    QString word = a.twoLevel ? QStringLiteral("白黒２値") : a.greyscale ? QStringLiteral("グレー") : QStringLiteral("カラー");
    if (a.transparent) word += QStringLiteral("（透明部分あり）");
    return word;
}

// The dots a metafile is drawn at: its displayed size at the drawing resolution.
QSize renderDots(qint64 cxEmu, qint64 cyEmu) {
    if (cxEmu <= 0 || cyEmu <= 0) return {};
    return QSize(qMax(1, qRound(cxEmu / kEmuPerInch * kRenderDpi)), qMax(1, qRound(cyEmu / kEmuPerInch * kRenderDpi)));
}

FilingPicture copiedAsStored(const QByteArray& bytes, const QString& extension, const QString& byHand) {
    return {bytes, extension, {}, byHand};
}

}  // namespace

FilingPicture PrepareFilingPicture(const QByteArray& bytes, const QString& extension, qint64 cxEmu, qint64 cyEmu,
                                   const MetafileRenderer& renderMetafile) {
    DecodedPicture decoded;
    const ImageAssessment stored = AssessImage(bytes, &decoded);
    if (stored.acceptable()) return copiedAsStored(bytes, extension, {});
    const bool metafile = stored.format == "EMF" || stored.format == "WMF";
    if (!stored.unreadable.isEmpty())
        return copiedAsStored(bytes, extension,
                              metafile ? stored.unreadable : QStringLiteral("画像を読み込めません（%1）").arg(stored.unreadable));

    if (metafile) {
        try {
            decoded = readDrawn(renderMetafile(bytes, stored.format, renderDots(cxEmu, cyEmu)));
        } catch (const Error& e) {
            return copiedAsStored(bytes, extension,
                                  QStringLiteral("%1を画像にできませんでした（%2）").arg(stored.format, e.message()));
        }
    }
    if (decoded.image.isNull())
        return copiedAsStored(bytes, extension, QStringLiteral("画像を読み込めませんでした"));

    // The resolution is chosen on the picture as the largest resolution
    // allows it, and the picture then brought within 170 × 255 mm at it.
    const QImage fitted = fittedTo(decoded.image, MaxPictureDots(kAllowedPictureDpi.back()));
    const int dpi = closestAllowedDpi(fitted.size(), cxEmu, cyEmu, stored.dpiX);
    const QImage grey = flattenedGrey(fittedTo(fitted, MaxPictureDots(dpi)));
    const Histogram histogram = histogramOf(grey);
    // A metafile that draws one plain colour drew nothing that survived.
    if (metafile && std::count(histogram.begin(), histogram.end(), 0) == 255)
        return copiedAsStored(bytes, extension, QStringLiteral("%1を描くと白紙になりました").arg(stored.format));
    // Pictures that meet the colour rules keep their kind; only the
    // resolution or the size was wrong.
    const bool greyJpeg = stored.format == "JPEG" && stored.greyscale && stored.depth == 8 && !stored.transparent;
    const Kind kind = stored.twoLevel ? Kind::LineDrawing : greyJpeg ? Kind::Photograph : kindOf(histogram);

    FilingPicture out;
    QString target;
    if (kind == Kind::LineDrawing) {
        out.bytes = EncodeAtDpi(twoLevel(grey, otsuThreshold(histogram)), "png", dpi);
        out.extension = QStringLiteral("png");
        target = QStringLiteral("白黒２値");
    } else {
        out.bytes = EncodeAtDpi(grey, "jpeg", dpi);
        out.extension = QStringLiteral("jpeg");
        target = QStringLiteral("グレースケールJPEG");
    }
    out.change = QStringLiteral("%1 → %2、%3dpi").arg(colourWord(stored), target).arg(dpi);
    const QSize original = decoded.shownSize;
    if (grey.size() != original)
        out.change += QStringLiteral("、%1×%2 → %3×%4ドットに縮小")
                          .arg(original.width())
                          .arg(original.height())
                          .arg(grey.width())
                          .arg(grey.height());
    return out;
}

QByteArray EncodeAtDpi(QImage image, const char* format, int dpi) {
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (QByteArray(format) == "jpeg") writer.setQuality(90);
    if (!writer.write(image))
        throw Error(QStringLiteral("画像を書き出せませんでした（%1）").arg(writer.errorString()));
    return bytes;
}

}  // namespace word
