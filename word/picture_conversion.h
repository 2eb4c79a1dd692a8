#pragma once
// Brings a picture to the filing software's rules (word/image_rules.h) with
// Qt's image classes: line drawings become two-level PNG, photographs 8-bit
// greyscale JFIF JPEG, metafiles are rendered first; the resolution is the
// allowed one closest to the printed size, and oversized pictures shrink.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace word {

// Renders an EMF or WMF picture ("EMF"/"WMF") to a PNG of the given dots.
// Throws word::Error with the reason when it cannot.
using MetafileRenderer = std::function<QByteArray(const QByteArray& metafile, const QString& format, QSize dots)>;

struct FilingPicture {
    QByteArray bytes;   // what is written beside the HTML file
    QString extension;  // "png", "jpeg", or the stored picture's own
    QString change;     // what was done ("カラー → 白黒２値、300dpi"); empty when copied as stored
    QString byHand;     // why a picture that breaks the rules was copied as stored; empty otherwise
};

// The image written in `format` ("png", "jpeg") with its resolution set to dpi.
QByteArray EncodeAtDpi(QImage image, const char* format, int dpi);

// The picture as the filing software takes it. cxEmu/cyEmu are its displayed
// size in the document (0 when unknown); `extension` is what the stored
// picture would be written as. A picture that already meets the rules is
// copied byte for byte.
FilingPicture PrepareFilingPicture(const QByteArray& bytes, const QString& extension, qint64 cxEmu, qint64 cyEmu,
                                   const MetafileRenderer& renderMetafile);

}  // namespace word
