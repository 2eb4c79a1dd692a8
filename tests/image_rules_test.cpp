#include "word/image_rules.h"

#include "word/picture_conversion.h"

#include "support/docx_builder.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/story_pictures.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A picture of w × h dots: white with a black stroke, in the given colours.
QImage drawing(int w, int h, QImage::Format format, QRgb stroke = qRgb(0, 0, 0), QRgb ground = qRgb(255, 255, 255)) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(ground);
    for (int x = 0; x < w; ++x) img.setPixel(x, h / 2, stroke);
    img = img.convertToFormat(format, Qt::ThresholdDither);
    return img;
}

QByteArray encoded(QImage img, const char* format, int dpi) {
    if (dpi) {
        img.setDotsPerMeterX(qRound(dpi / 0.0254));
        img.setDotsPerMeterY(qRound(dpi / 0.0254));
    }
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return bytes;
}

struct RuleCase {
    const char* name;
    QByteArray bytes;
    const char* format;
    int depth;
    double dpi;
    bool acceptable;
    const char* problem;  // a part of the first problem text
};

TEST(ImageRules, EachRuleIsJudgedFromTheBytes) {
    QByteArray emf(80, '\0');
    emf[0] = 1;
    emf.replace(40, 4, " EMF");
    const RuleCase cases[] = {
        {"two-level PNG", encoded(drawing(40, 30, QImage::Format_Mono), "PNG", 300), "PNG", 1, 300, true, ""},
        {"two-level BMP", encoded(drawing(40, 30, QImage::Format_Mono), "BMP", 400), "BMP", 1, 400, true, ""},
        {"grey JPEG", encoded(drawing(40, 30, QImage::Format_Grayscale8, qRgb(90, 90, 90)), "JPEG", 200), "JPEG", 8, 200, true, ""},
        {"colour PNG", encoded(drawing(40, 30, QImage::Format_RGB32, qRgb(255, 0, 0)), "PNG", 300), "PNG", 24, 300, false, "カラー"},
        {"grey PNG", encoded(drawing(40, 30, QImage::Format_Grayscale8, qRgb(90, 90, 90)), "PNG", 300), "PNG", 8, 300, false, "グレー"},
        {"transparent PNG", encoded(drawing(40, 30, QImage::Format_ARGB32, qRgb(0, 0, 0), qRgba(0, 0, 0, 0)), "PNG", 300), "PNG", 32, 300, false, "白黒２値"},
        {"colour JPEG", encoded(drawing(40, 30, QImage::Format_RGB32, qRgb(255, 0, 0)), "JPEG", 300), "JPEG", 24, 300, false, "グレースケール"},
        {"no resolution", encoded(drawing(40, 30, QImage::Format_Mono), "PNG", 0), "PNG", 1, 0, false, "解像度が記録"},
        {"150 dpi", encoded(drawing(40, 30, QImage::Format_Mono), "PNG", 150), "PNG", 1, 150, false, "150×150dpi"},
        {"too wide", encoded(drawing(2678, 10, QImage::Format_Mono), "PNG", 400), "PNG", 1, 400, false, "2678×10"},
        // The limit is 170 mm: 1,338 dots at 200 dpi, 2,007 at 300.
        {"wider than 170 mm", encoded(drawing(1366, 763, QImage::Format_Mono), "PNG", 200), "PNG", 1, 200, false, "173.5×96.9mm"},
        {"within 170 mm", encoded(drawing(2007, 10, QImage::Format_Mono), "PNG", 300), "PNG", 1, 300, true, ""},
        {"EMF", emf, "EMF", 0, 0, false, "EMF"},
        {"not a picture", QByteArray("hello"), "", 0, 0, false, "読み込めません"},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const word::ImageAssessment a = word::AssessImage(c.bytes);
        EXPECT_EQ(a.format, c.format);
        EXPECT_EQ(a.depth, c.depth);
        EXPECT_NEAR(a.dpiX, c.dpi, 0.5);
        EXPECT_EQ(a.acceptable(), c.acceptable) << a.problems.join(" / ").toStdString();
        if (!c.acceptable) {
            ASSERT_FALSE(a.problems.isEmpty());
            EXPECT_TRUE(a.problems.first().contains(QString::fromUtf8(c.problem)))
                << a.problems.join(" / ").toStdString();
        }
    }
}

// A photograph whose orientation tag (as cameras write it) turns it upright
// is converted upright.
TEST(ImageRules, AConvertedPhotographKeepsItsOrientation) {
    QImage photo(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) photo.setPixel(x, y, qRgb(x * 6, y * 12, 255 - x * 6));
    QByteArray bytes = encoded(photo, "JPEG", 0);
    // An EXIF segment right after the start marker: one entry, orientation 6
    // (turn 90 degrees clockwise).
    const QByteArray exif("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 32);
    bytes.insert(2, QByteArray("\xff\xe1", 2) + char(0) + char(exif.size() + 2) + exif);
    const word::FilingPicture out = word::PrepareFilingPicture(bytes, "jpeg", 0, 0, {});
    EXPECT_EQ(QImage::fromData(out.bytes).size(), QSize(20, 40)) << out.change.toStdString();
}

TEST(StoryPictures, EachPlaceAPictureShowsWithItsParagraphAndDisplayedSize) {
    using namespace testsupport;
    QTemporaryDir dir;
    const QByteArray png = encoded(drawing(4, 4, QImage::Format_Mono), "PNG", 300);
    const QString rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rIdP\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" "
        "Target=\"media/image1.png\"/></Relationships>";
    const QString drawingXml =
        "<w:r><w:drawing><wp:inline><wp:extent cx=\"914400\" cy=\"457200\"/><wp:docPr id=\"1\" name=\"p\"/>"
        "<a:graphic><a:graphicData><pic:pic><pic:blipFill><a:blip r:embed=\"rIdP\"/></pic:blipFill></pic:pic>"
        "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
    const QString vml = "<w:r><w:pict><v:shape style=\"width:36pt;height:1in\"><v:imagedata r:id=\"rIdP\"/>"
                        "</v:shape></w:pict></w:r>";
    writeDocx(dir.filePath("p.docx"), para("【図１】") + paraXml(drawingXml) + para("x") + paraXml(vml),
              {{"word/media/image1.png", png}, {"word/_rels/document.xml.rels", rels.toUtf8()}});
    auto model = word::ooxml::DocumentModel::open(dir.filePath("p.docx"));
    const auto pictures = word::ooxml::storyPictures(*model);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].paragraph, 1);
    EXPECT_EQ(pictures[0].partName, "word/media/image1.png");
    EXPECT_EQ(pictures[0].bytes, png);
    EXPECT_EQ(std::make_pair(pictures[0].cxEmu, pictures[0].cyEmu), std::make_pair(914400LL, 457200LL));
    EXPECT_EQ(pictures[1].paragraph, 3);
    EXPECT_EQ(std::make_pair(pictures[1].cxEmu, pictures[1].cyEmu), std::make_pair(457200LL, 914400LL));
}

}  // namespace
