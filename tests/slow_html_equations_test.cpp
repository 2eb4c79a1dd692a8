// Equations text cannot show, drawn through LibreOffice into 【数ｎ】 items.

#include "support/docx_builder.h"
#include "word/image_rules.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/html_writer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>

using namespace testsupport;

namespace {

TEST(SlowHtmlEquations, EquationsAreDrawnInOneRunAtTheirPrintedSize) {
    if (QStandardPaths::findExecutable("soffice").isEmpty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const QString ns = "xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/2006/math\"";
    // Equations set at 12 pt (w:sz 24), as Word stores them.
    auto mr = [](const QString& t) {
        return "<m:r><w:rPr><w:sz w:val=\"24\"/></w:rPr><m:t>" + t + "</m:t></m:r>";
    };
    const QString matrix = "<m:oMathPara " + ns + "><m:oMath><m:d><m:e><m:m><m:mr><m:e>" + mr("a") + "</m:e><m:e>" +
                           mr("b") + "</m:e></m:mr><m:mr><m:e>" + mr("c") + "</m:e><m:e>" + mr("d") +
                           "</m:e></m:mr></m:m></m:e></m:d></m:oMath></m:oMathPara>";
    const QString accent = "<m:oMath " + ns + "><m:acc><m:accPr><m:chr m:val=\"→\"/></m:accPr><m:e>" + mr("v") +
                           "</m:e></m:acc>" + mr("=0") + "</m:oMath>";
    QTemporaryDir dir;
    writeDocx(dir.filePath("spec.docx"), para("【発明の詳細な説明】") + paraXml(matrix) + paraXml(accent));
    auto model = word::ooxml::DocumentModel::open(dir.filePath("spec.docx"));
    word::ooxml::FilingHtmlOptions options;
    options.convertPictures = true;
    QElapsedTimer timer;
    timer.start();
    const auto report = word::ooxml::writeFilingHtml(*model, dir.filePath("spec.docx.htm"), options);
    std::cout << "two equations drawn and written in " << timer.elapsed() << " ms\n";

    ASSERT_TRUE(report.equationsNotAsText.empty()) << report.pictureLog.join("\n").toStdString();
    ASSERT_EQ(report.pictureLog.size(), 2);
    for (const char* name : {"spec.docx_1.png", "spec.docx_2.png"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = f.readAll();
        const word::ImageAssessment a = word::AssessImage(bytes);
        EXPECT_TRUE(a.acceptable()) << name << ": " << a.problems.join(" / ").toStdString();
        EXPECT_NEAR(a.dpiX, 300, 1);
        // Two or three 12 pt letters wide and one to three lines high: the
        // picture is cut to the equation and keeps the size Word prints it at.
        EXPECT_GT(a.width, 0.15 * 300) << name;
        EXPECT_LT(a.width, 1.2 * 300) << name;
        EXPECT_GT(a.height, 0.1 * 300) << name;
        EXPECT_LT(a.height, 0.8 * 300) << name;
        const QImage image = QImage::fromData(bytes).convertToFormat(QImage::Format_Grayscale8);
        int black = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) black += image.constScanLine(y)[x] == 0;
        EXPECT_GT(black, image.width() * image.height() / 50) << name << " has almost no ink";
    }
}

}  // namespace
