// Equations text cannot show as pictures in 【数ｎ】 items (drawn by a stand-in
// for LibreOffice), and the parts of tables a plain table cannot hold.

#include "support/docx_builder.h"
#include "word/automation.h"
#include "word/cp932.h"
#include "word/image_rules.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/html_writer.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

const QString kMathNs = "xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/2006/math\"";

QString matrix(const QString& a, const QString& b) {
    auto mr = [](const QString& t) { return "<m:r><m:t>" + t + "</m:t></m:r>"; };
    return "<m:oMath " + kMathNs + "><m:m><m:mr><m:e>" + mr(a) + "</m:e><m:e>" + mr(b) + "</m:e></m:mr></m:m></m:oMath>";
}

// A page as LibreOffice draws it: white, with a black box of `ink` dots.
QByteArray pageWithInk(QSize ink) {
    QImage page(800, 600, QImage::Format_ARGB32);
    page.fill(Qt::white);
    for (int y = 100; y < 100 + ink.height(); ++y)
        for (int x = 50; x < 50 + ink.width(); ++x) page.setPixel(x, y, qRgb(0, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    page.save(&buffer, "PNG");
    return bytes;
}

class HtmlEquationsAndTables : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    word::ooxml::FilingHtmlReport write(const QString& body, const word::ooxml::PageRenderer& render) {
        writeDocx(path("spec.docx"), body);
        auto model = word::ooxml::DocumentModel::open(path("spec.docx"));
        word::ooxml::FilingHtmlOptions options;
        options.convertPictures = true;
        options.renderPages = render;
        return word::ooxml::writeFilingHtml(*model, path("spec.docx.htm"), options);
    }
    QByteArray readAll(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList bodyLines() const {
        const QStringList all = word::cp932::decode(readAll("spec.docx.htm")).split("\r\n");
        const qsizetype from = all.indexOf("<BODY>"), to = all.indexOf("</BODY>");
        return all.mid(from + 1, to - from - 1);
    }
};

// Each paragraph's equations go alone into one document, all drawn in one
// call; the paragraph's text stays, the item follows with a new number or
// the heading already there, and the picture keeps the equation's printed
// size at 300 dpi.
TEST_F(HtmlEquationsAndTables, EquationsTextCannotShowBecomeNumberedPictureItems) {
    std::vector<QByteArray> seen;
    int seenPoints = 0;
    const auto render = [&](const std::vector<QByteArray>& docs, int points) {
        seen = docs;
        seenPoints = points;
        return std::vector<QByteArray>(docs.size(), pageWithInk(QSize(192, 96)));
    };
    const QString body = para("【数５】") + paraXml(matrix("a", "①")) +  // takes the heading before it
                         paraXml(run("行列") + matrix("c", "d")) +       // text kept, 【数６】 follows
                         para("本文");
    const auto report = write(body, render);

    ASSERT_EQ(seen.size(), 2u);
    QFile saved(path("second.docx"));
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly) && saved.write(seen[1]) == seen[1].size());
    saved.close();
    const QString second = QString::fromUtf8(readZipEntry(path("second.docx"), "word/document.xml"));
    EXPECT_TRUE(second.contains("<m:t>c</m:t>"));
    EXPECT_FALSE(second.contains("行列"));
    EXPECT_EQ(seenPoints, 48);
    EXPECT_EQ(bodyLines(), QStringList({"【数５】<BR>", "<IMG SRC=\"spec.docx_1.png\"><BR>", "行列<BR>", "【数６】<BR>",
                                        "<IMG SRC=\"spec.docx_2.png\"><BR>", "本文<BR>"}));
    EXPECT_TRUE(report.equationsNotAsText.empty());
    EXPECT_TRUE(report.refused.empty());  // "①" is in the picture, not in the text
    EXPECT_EQ(report.pictureLog, QStringList({"spec.docx_1.png：【段落 2】の数式 → 【数５】、白黒２値、300dpi",
                                              "spec.docx_2.png：【段落 3】の数式 → 【数６】、白黒２値、300dpi"}));
    // Drawn at 48 pt for a 10.5 pt equation, the page has 438.9 dots per inch
    // of the printed equation: 192 dots of ink and 2 × 4 of margin are 137
    // dots at 300 dpi.
    const word::ImageAssessment a = word::AssessImage(readAll("spec.docx_1.png"));
    EXPECT_TRUE(a.acceptable()) << a.problems.join(" / ").toStdString();
    EXPECT_EQ(a.width, 137);
    EXPECT_NEAR(a.dpiX, 300, 1);
}

// When the equations cannot be drawn they stay text as well as it can show
// them, and the log says why and which paragraphs to do by hand.
TEST_F(HtmlEquationsAndTables, EquationsThatCannotBeDrawnStayTextAndAreListed) {
    const auto render = [](const std::vector<QByteArray>&, int) -> std::vector<QByteArray> {
        throw word::Error("LibreOffice がありません");
    };
    const auto report = write(para("式") + paraXml(matrix("a", "b")), render);
    EXPECT_EQ(bodyLines(), QStringList({"式<BR>", "ab<BR>"}));
    EXPECT_EQ(report.equationsNotAsText, std::vector<int>({2}));
    EXPECT_EQ(report.pictureLog, QStringList({"数式を画像にできませんでした（LibreOffice がありません）"}));
}

// A table inside a cell becomes lines of that cell; a merge the plain table
// cannot show is written unmerged; both are logged with their paragraph.
TEST_F(HtmlEquationsAndTables, NestedTablesAndBrokenMergesAreWrittenOutAndLogged) {
    auto tc = [](const QString& content, const QString& tcPr = {}) {
        return "<w:tc>" + (tcPr.isEmpty() ? QString() : "<w:tcPr>" + tcPr + "</w:tcPr>") + content + "</w:tc>";
    };
    const QString inner = "<w:tbl><w:tr>" + tc(para("内1")) + tc(para("内2")) + "</w:tr></w:tbl>";
    const QString table = "<w:tbl><w:tr>" + tc(para("外") + inner, "<w:vMerge w:val=\"restart\"/>") + "</w:tr>" +
                          "<w:tr>" + tc(para("続き"), "<w:vMerge/>") + "</w:tr></w:tbl>";
    const auto report = write(table, {});
    EXPECT_EQ(bodyLines(), QStringList({"<TABLE BORDER=\"1\">", "<TR>", "<TD>", "外<BR>", "内1<BR>", "内2<BR>", "</TD>",
                                        "</TR>", "<TR>", "<TD>", "続き<BR>", "</TD>", "</TR>", "</TABLE>"}));
    ASSERT_EQ(report.tableLog.size(), 2);
    EXPECT_TRUE(report.tableLog[0].startsWith("【段落 2】表の中の表"));
    EXPECT_TRUE(report.tableLog[1].startsWith("【段落 4】縦に結合したセル"));
}

}  // namespace
