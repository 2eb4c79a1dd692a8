#pragma once
// The picture rules of the patent office's filing software, and what a
// picture's bytes say about them. The filing software takes for patent and
// utility-model documents only PNG, GIF or BMP in black and white (two levels,
// no transparency), or JPEG (JFIF) in 8-bit greyscale, at 200, 300 or 400 dpi,
// at most 170 × 255 mm as printed at that resolution (2,677 × 4,015 dots at
// 400 dpi, 2,007 × 3,011 at 300, 1,338 × 2,007 at 200).

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>

namespace word {

inline constexpr int kMaxPictureWidthDots = 2677;
inline constexpr int kMaxPictureHeightDots = 4015;
inline constexpr std::array<int, 3> kAllowedPictureDpi = {200, 300, 400};
inline constexpr double kMaxPictureWidthMm = 170, kMaxPictureHeightMm = 255;

// The most dots a picture may have at a resolution: 170 × 255 mm at that dpi.
QSize MaxPictureDots(int dpi);

struct ImageAssessment {
    QString format;             // "PNG", "GIF", "BMP", "JPEG", "EMF", "WMF", "TIFF", …; empty when unknown
    int width = 0, height = 0;  // dots
    int depth = 0;              // bits per pixel as stored (24 for colour without alpha)
    double dpiX = 0, dpiY = 0;  // 0 when the file does not say
    bool twoLevel = false;      // black and white only
    bool greyscale = false;     // every pixel grey (two-level pictures included)
    bool transparent = false;   // some pixel not fully opaque
    bool jfif = false;          // a JPEG that starts with the JFIF marker
    // Why the picture cannot be used at all (cut short, damaged, too large to
    // read, a metafile that draws nothing); empty when it was read whole.
    QString unreadable;
    QStringList problems;       // short Japanese texts, one per broken rule
    bool acceptable() const { return problems.isEmpty(); }
};

// A picture as decoded for a conversion: turned as its orientation tag says
// and, when it is larger than any resolution allows, read at most
// kMaxPictureHeightDots on each side (`shownSize` is its full size as shown).
struct DecodedPicture {
    QImage image;
    QSize shownSize;
};

// Reads the picture with Qt's image classes; EMF and WMF, which Qt does not
// read, are recognised by their signature, their records walked (a damaged
// or empty metafile is unreadable) and reported as not taken.
ImageAssessment AssessImage(const QByteArray& bytes);
// The same, handing out the picture as read (null for metafiles and
// unreadable bytes), so that a conversion need not read it again.
ImageAssessment AssessImage(const QByteArray& bytes, DecodedPicture* decoded);

// The picture format that the file's first bytes announce ("PNG", "EMF", …),
// empty when none is recognised.
QString PictureFormatBySignature(const QByteArray& bytes);

// Whether a resolution is one of the allowed ones (a file stores dots per
// metre, so 300 dpi comes back as 299.9994).
bool IsAllowedDpi(double dpi);

}  // namespace word
