#include "engine/check/check_images.h"

#include "word/image_rules.h"
#include "word/ooxml/story_pictures.h"

#include <cmath>

namespace engine::check {

namespace {

// "PNG 24ビット 64×48ドット 96dpi": what the picture is.
QString Describe(const word::ImageAssessment& a) {
    QStringList parts;
    parts << (a.format.isEmpty() ? QStringLiteral("不明な形式") : a.format);
    if (a.depth > 0) parts << QStringLiteral("%1ビット").arg(a.depth);
    if (a.width > 0) parts << QStringLiteral("%1×%2ドット").arg(a.width).arg(a.height);
    if (a.dpiX > 0) {
        const long x = std::lround(a.dpiX), y = std::lround(a.dpiY);
        parts << (x == y ? QStringLiteral("%1dpi").arg(x) : QStringLiteral("%1×%2dpi").arg(x).arg(y));
    }
    return parts.join(u' ');
}

}  // namespace

Findings CheckImages(word::ooxml::DocumentModel& model, const CheckedText& text) {
    Findings out;
    for (const word::ooxml::StoryPicture& picture : word::ooxml::storyPictures(model)) {
        const word::ImageAssessment a = word::AssessImage(picture.bytes);
        if (a.acceptable()) continue;
        // The picture's place: the item it illustrates (【図２】, 【化１】) or the paragraph.
        const qsizetype at = picture.paragraph < text.size() ? text[picture.paragraph].indexOf(QChar(1)) : 0;
        out.push_back({QStringLiteral("イメージ"), text.whereAt(picture.paragraph, std::max<qsizetype>(at, 0)),
                       QStringLiteral("%1（%2）：%3").arg(Describe(a), picture.partName, a.problems.join(u'、')),
                       picture.paragraph, std::max<qsizetype>(at, 0), 1});
    }
    return out;
}

}  // namespace engine::check
