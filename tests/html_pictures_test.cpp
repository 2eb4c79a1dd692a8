// Pictures written beside the filing HTML, brought to the filing software's rules.

#include "support/docx_builder.h"
#include "word/automation.h"
#include "word/image_rules.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/html_writer.h"
#include "word/ooxml/story_pictures.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

constexpr qint64 kEmuPerInch = 914400;

QByteArray encoded(const QImage& img, const char* format) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return bytes;
}

// White paper with coloured strokes.
QImage lineDrawing(int w, int h, QImage::Format format = QImage::Format_RGB32, QRgb paper = qRgb(255, 255, 255)) {
    QImage img(w, h, format);
    img.fill(paper);
    for (int x = 0; x < w; ++x)
        for (int t = 0; t < 3; ++t) {
            img.setPixel(x, (h / 3 + t) % h, qRgb(200, 0, 0));
            img.setPixel(x, (2 * h / 3 + t) % h, qRgb(0, 0, 160));
        }
    return img;
}

QImage photograph(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 255 / w + rng.bounded(30)) % 256, (y * 255 / h) % 256, rng.bounded(256)));
    return img;
}

QString picturePara(int n, double inchesWide, double inchesHigh) {
    return paraXml(QStringLiteral(
                       "<w:r><w:drawing><wp:inline><wp:extent cx=\"%2\" cy=\"%3\"/><wp:docPr id=\"%1\" name=\"p\"/>"
                       "<a:graphic><a:graphicData><pic:pic><pic:blipFill><a:blip r:embed=\"rId%1\"/></pic:blipFill>"
                       "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>")
                       .arg(n)
                       .arg(qint64(inchesWide * kEmuPerInch))
                       .arg(qint64(inchesHigh * kEmuPerInch)));
}

struct Stored {
    QString part;  // under word/media
    QByteArray bytes;
    double inchesWide, inchesHigh;
};

class HtmlPictures : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    word::ooxml::FilingHtmlReport write(const std::vector<Stored>& pictures, const word::MetafileRenderer& render) {
        QString rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                       "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
        QString body;
        std::map<QString, QByteArray> parts;
        for (size_t i = 0; i < pictures.size(); ++i) {
            const int n = int(i) + 1;
            rels += QStringLiteral("<Relationship Id=\"rId%1\" Type=\"http://schemas.openxmlformats.org/"
                                   "officeDocument/2006/relationships/image\" Target=\"media/%2\"/>")
                        .arg(n)
                        .arg(pictures[i].part);
            body += para(QStringLiteral("【図%1】").arg(n)) + picturePara(n, pictures[i].inchesWide, pictures[i].inchesHigh);
            parts["word/media/" + pictures[i].part] = pictures[i].bytes;
        }
        parts["word/_rels/document.xml.rels"] = (rels + "</Relationships>").toUtf8();
        writeDocx(path("spec.docx"), body, parts);
        auto model = word::ooxml::DocumentModel::open(path("spec.docx"));
        word::ooxml::FilingHtmlOptions options;
        options.convertPictures = true;
        options.renderMetafile = render;
        return word::ooxml::writeFilingHtml(*model, path("spec.docx.htm"), options);
    }

    QByteArray readAll(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

void putLe32(QByteArray& bytes, int at, quint32 value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

// An EMF's records: the header (with its signature), `drawing` records that
// set the background mode, and the end record.
QByteArray emfSignature(int drawing = 1) {
    QByteArray emf(88, '\0');
    putLe32(emf, 0, 1);
    putLe32(emf, 4, 88);
    emf.replace(40, 4, " EMF");
    for (int i = 0; i < drawing; ++i) {
        QByteArray record(12, '\0');
        putLe32(record, 0, 18);
        putLe32(record, 4, 12);
        putLe32(record, 8, 1);
        emf += record;
    }
    QByteArray end(20, '\0');
    putLe32(end, 0, 14);
    putLe32(end, 4, 20);
    return emf + end;
}

TEST_F(HtmlPictures, EachPictureIsWrittenByTheRulesAndTheLogSaysWhatWasDone) {
    QImage mono(40, 30, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(1);
    mono.setDotsPerMeterX(11811);
    mono.setDotsPerMeterY(11811);
    const QByteArray compliantBmp = encoded(mono, "BMP");
    ASSERT_TRUE(word::AssessImage(compliantBmp).acceptable());
    const QImage transparent = lineDrawing(300, 300, QImage::Format_ARGB32, qRgba(0, 0, 0, 0));

    QSize renderedDots;
    const auto render = [&](const QByteArray&, const QString& format, QSize dots) {
        EXPECT_EQ(format, "EMF");
        renderedDots = dots;
        return encoded(lineDrawing(dots.width(), dots.height()), "PNG");
    };
    const auto report = write({{"drawing.png", encoded(lineDrawing(600, 400), "PNG"), 2, 4.0 / 3},
                               {"photo.png", encoded(photograph(400, 300), "PNG"), 2, 1.5},
                               {"clear.png", encoded(transparent, "PNG"), 0.75, 0.75},
                               {"chart.emf", emfSignature(), 1, 0.5},
                               {"wide.png", encoded(lineDrawing(5000, 300), "PNG"), 6, 0.36},
                               {"ok.bmp", compliantBmp, 40 / 300.0, 30 / 300.0}},
                              render);
    EXPECT_EQ(renderedDots, QSize(300, 150));

    struct Expected {
        const char* file;
        const char* format;
        int depth;
        QSize dots;
        int dpi;
    };
    const Expected expected[] = {
        {"spec.docx_1.png", "PNG", 1, {600, 400}, 300},   {"spec.docx_2.jpeg", "JPEG", 8, {400, 300}, 200},
        {"spec.docx_3.png", "PNG", 1, {300, 300}, 400},   {"spec.docx_4.png", "PNG", 1, {300, 150}, 300},
        {"spec.docx_5.png", "PNG", 1, {2677, 160}, 400},  {"spec.docx_6.bmp", "BMP", 1, {40, 30}, 300},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.file);
        const QByteArray bytes = readAll(e.file);
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer);
        EXPECT_EQ(reader.format().toUpper(), e.format);
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), e.dots);
        EXPECT_EQ(qRound(image.dotsPerMeterX() * 0.0254), e.dpi);
        const word::ImageAssessment a = word::AssessImage(bytes);
        EXPECT_EQ(a.depth, e.depth);
        EXPECT_TRUE(a.acceptable()) << a.problems.join(" / ").toStdString();
    }
    // Transparent paper is white, and the strokes stay black.
    const QImage clear = QImage::fromData(readAll("spec.docx_3.png"));
    EXPECT_EQ(clear.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(clear.pixel(5, 100) & 0xFFFFFF, 0u);
    EXPECT_EQ(readAll("spec.docx_6.bmp"), compliantBmp);
    EXPECT_EQ(report.pictureLog,
              QStringList({"spec.docx_1.png：カラー → 白黒２値、300dpi", "spec.docx_2.jpeg：カラー → グレースケールJPEG、200dpi",
                           "spec.docx_3.png：カラー（透明部分あり） → 白黒２値、400dpi", "spec.docx_4.png：EMF → 白黒２値、300dpi",
                           "spec.docx_5.png：カラー → 白黒２値、400dpi、5000×300 → 2677×160ドットに縮小"}));
}

TEST_F(HtmlPictures, AMetafileThatCannotBeDrawnIsCopiedAndLeftToBeConvertedByHand) {
    const auto report = write({{"chart.emf", emfSignature(), 1, 0.5}}, [](const QByteArray&, const QString&, QSize) -> QByteArray {
        throw word::Error(QStringLiteral("LibreOffice がありません"));
    });
    EXPECT_EQ(readAll("spec.docx_1.emf"), emfSignature());
    EXPECT_TRUE(report.pictureLog.isEmpty());
    ASSERT_EQ(report.handWork.size(), 1u);
    EXPECT_EQ(report.handWork[0].paragraph, 2);
    EXPECT_TRUE(report.handWork[0].what.startsWith("spec.docx_1.emf：EMFを画像にできませんでした（LibreOffice がありません）"));
    EXPECT_TRUE(report.handWork[0].what.endsWith("手作業で変換してください"));
}

QByteArray truncated(const QByteArray& bytes, double share) { return bytes.left(qsizetype(bytes.size() * share)); }

// A picture that is cut short, damaged, empty or draws nothing is copied as
// stored and named, with its paragraph, as needing hand work: never converted
// into a picture that is partly black or blank.
TEST_F(HtmlPictures, APictureThatCannotBeUsedWholeIsNamedForHandWork) {
    QByteArray damagedEmf = emfSignature();
    putLe32(damagedEmf, 92, 4000);  // a record that runs past the end
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"cut.jpeg", truncated(encoded(photograph(400, 300), "JPEG"), 0.57), "ファイルが途中で切れています"},
        {"cut.bmp", truncated(encoded(lineDrawing(300, 200), "BMP"), 0.6), "ファイルが途中で切れています"},
        {"cut.png", truncated(encoded(photograph(300, 200), "PNG"), 0.6), "ファイルが途中で切れています"},
        {"damaged.emf", damagedEmf, "EMFのデータが壊れています"},
        {"nothing.emf", emfSignature(0), "EMFに何も描かれていません"},
        {"blank.emf", emfSignature(2), "EMFを描くと白紙になりました"},
    };
    std::vector<Stored> pictures;
    for (const auto& c : cases) pictures.push_back({c.name, c.bytes, 1, 0.75});
    int drawn = 0;
    const auto report = write(pictures, [&](const QByteArray&, const QString&, QSize dots) {
        ++drawn;
        QImage white(dots, QImage::Format_RGB32);
        white.fill(Qt::white);
        return encoded(white, "PNG");
    });
    EXPECT_EQ(drawn, 1);  // only the metafile whose records are whole is drawn
    EXPECT_TRUE(report.pictureLog.isEmpty()) << report.pictureLog.join("\n").toStdString();
    ASSERT_EQ(report.handWork.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        const QString file = QStringLiteral("spec.docx_%1.%2").arg(i + 1).arg(QFileInfo(cases[i].name).suffix());
        EXPECT_EQ(report.handWork[i].paragraph, int(2 * i + 2));
        EXPECT_TRUE(report.handWork[i].what.startsWith(file + "：")) << report.handWork[i].what.toStdString();
        EXPECT_TRUE(report.handWork[i].what.contains(QString::fromUtf8(cases[i].reason))) << report.handWork[i].what.toStdString();
        EXPECT_EQ(readAll(file), cases[i].bytes);
    }
}

// Scans and photographs past Qt's 128 MB allocation limit are read scaled
// and converted like any other picture.
TEST_F(HtmlPictures, PicturesPastQtsAllocationLimitAreReadScaledAndConverted) {
    QImage scan(12000, 12000, QImage::Format_Grayscale8);
    scan.fill(255);
    for (int y = 0; y < scan.height(); y += 400) memset(scan.scanLine(y), 0, size_t(scan.bytesPerLine()));
    QImage photo(10000, 3600, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) line[x] = qRgb(x % 256, y % 256, (x + y) % 256);
    }
    const auto report = write({{"scan.png", encoded(scan, "PNG"), 6, 6}, {"photo.jpeg", encoded(photo, "JPEG"), 6, 2.16}}, {});
    EXPECT_TRUE(report.handWork.empty());
    EXPECT_EQ(report.pictureLog,
              QStringList({"spec.docx_1.png：グレー → 白黒２値、400dpi、12000×12000 → 2677×2677ドットに縮小",
                           "spec.docx_2.jpeg：カラー → グレースケールJPEG、400dpi、10000×3600 → 2677×963ドットに縮小"}));
    for (const char* file : {"spec.docx_1.png", "spec.docx_2.jpeg"}) {
        const word::ImageAssessment a = word::AssessImage(readAll(file));
        EXPECT_TRUE(a.acceptable()) << file << ": " << a.problems.join(" / ").toStdString();
    }
}

// The size limit is 170 × 255 mm at the resolution chosen: a picture shown
// 173.5 mm wide prints at 200 dpi and is brought to 1,338 dots wide there.
TEST_F(HtmlPictures, ThePictureIsBroughtWithinTheMillimetreLimitAtItsResolution) {
    const auto report = write({{"wide.png", encoded(lineDrawing(1366, 763), "PNG"), 173.5 / 25.4, 96.9 / 25.4}}, {});
    EXPECT_EQ(report.pictureLog, QStringList({"spec.docx_1.png：カラー → 白黒２値、200dpi、1366×763 → 1338×747ドットに縮小"}));
    const QImage written = QImage::fromData(readAll("spec.docx_1.png"));
    EXPECT_EQ(written.size(), QSize(1338, 747));
}

}  // namespace

namespace {

QString drawingRun(const QString& graphic) {
    return QStringLiteral("<w:r><w:drawing><wp:inline><wp:extent cx=\"914400\" cy=\"914400\"/>"
                          "<a:graphic>%1</a:graphic></wp:inline></w:drawing></w:r>")
        .arg(graphic);
}

QString blip(const QString& attributes) {
    return QStringLiteral("<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
                          "<pic:blipFill><a:blip %1/></pic:blipFill></pic:pic></a:graphicData>")
        .arg(attributes);
}

// What the filing HTML cannot carry is named with its paragraph as needing
// hand work: pictures whose file is missing, outside the package or only
// linked, charts, SmartArt, shapes, groups and the text of text boxes. The
// picture that is there is written as usual, and the check lists the
// missing pictures as findings of its picture rule.
TEST(HtmlHandWork, WhatTheHtmlCannotCarryIsNamedWithItsParagraph) {
    QTemporaryDir dir;
    const QString rels = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rOk\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"media/ok.png\"/>"
        "<Relationship Id=\"rGone\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"media/gone.png\"/>"
        "<Relationship Id=\"rOut\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"../../../etc/x.png\"/>"
        "<Relationship Id=\"rLink\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"file:///c:/pictures/a.png\" TargetMode=\"External\"/>"
        "</Relationships>");
    const QString textBox = QStringLiteral(
        "<a:graphicData uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\"><wps:wsp><wps:txbx>"
        "<w:txbxContent><w:p><w:r><w:t>箱の中の文</w:t></w:r></w:p></w:txbxContent></wps:txbx></wps:wsp></a:graphicData>");
    const QString body =
        testsupport::para("【図１】") + testsupport::paraXml(drawingRun(blip("r:embed=\"rOk\""))) +   // 2: written
        testsupport::paraXml(drawingRun(blip("r:embed=\"rGone\""))) +                                 // 3
        testsupport::paraXml(drawingRun(blip("r:embed=\"rOut\""))) +                                  // 4
        testsupport::paraXml(drawingRun(blip("r:embed=\"rLink\""))) +                                 // 5
        testsupport::paraXml(drawingRun(blip("r:link=\"rLink\""))) +                                  // 6
        testsupport::paraXml(drawingRun("<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
                                        "<c:chart r:id=\"rC\"/></a:graphicData>")) +                  // 7
        testsupport::paraXml(drawingRun("<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/diagram\">"
                                        "<dgm:relIds r:dm=\"rD\"/></a:graphicData>")) +               // 8
        testsupport::paraXml(drawingRun("<a:graphicData uri=\"http://schemas.microsoft.com/office/word/2010/"
                                        "wordprocessingShape\"><wps:wsp><wps:spPr/></wps:wsp></a:graphicData>")) +  // 9
        testsupport::paraXml(drawingRun("<a:graphicData uri=\"http://schemas.microsoft.com/office/word/2010/"
                                        "wordprocessingGroup\"><wpg:wgp><wps:wsp/><wps:wsp/></wpg:wgp></a:graphicData>")) +  // 10
        testsupport::paraXml(drawingRun(textBox)) +                                                   // 11
        testsupport::paraXml("<w:r><w:pict><v:oval style=\"width:20pt;height:20pt\"/></w:pict></w:r>");  // 12
    QImage mono(8, 8, QImage::Format_Mono);
    mono.fill(1);
    testsupport::writeDocx(dir.filePath("spec.docx"), body,
                           {{"word/media/ok.png", encoded(mono, "PNG")}, {"word/_rels/document.xml.rels", rels.toUtf8()}});
    auto model = word::ooxml::DocumentModel::open(dir.filePath("spec.docx"));
    word::ooxml::FilingHtmlOptions options;
    options.convertPictures = true;
    const auto report = word::ooxml::writeFilingHtml(*model, dir.filePath("spec.docx.htm"), options);

    const struct {
        int paragraph;
        const char* what;
    } expected[] = {{3, "画像が文書の中に見つからない"}, {4, "画像が文書の中に見つからない"}, {5, "リンクだけの画像"},
                    {6, "リンクだけの画像"},           {7, "グラフはHTMLに入りません"},   {8, "SmartArtはHTMLに入りません"},
                    {9, "図形はHTMLに入りません"},     {10, "図形のグループはHTMLに入りません"},
                    {11, "テキストボックスの文字はHTMLに入りません"}, {12, "図形はHTMLに入りません"}};
    ASSERT_EQ(report.handWork.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(report.handWork[i].paragraph, expected[i].paragraph) << i;
        EXPECT_TRUE(report.handWork[i].what.contains(QString::fromUtf8(expected[i].what)))
            << i << ": " << report.handWork[i].what.toStdString();
    }
    EXPECT_TRUE(QFile::exists(dir.filePath("spec.docx_1.png")));

    // The check: the four pictures whose file is not in the document, where they show.
    const auto pictures = word::ooxml::storyPictures(*model);
    std::vector<int> missing;
    for (const auto& p : pictures)
        if (!p.missing.isEmpty()) missing.push_back(p.paragraph + 1);
    EXPECT_EQ(missing, std::vector<int>({3, 4, 5, 6}));
}

}  // namespace
