// List numbers in the filing HTML, and one HTML file per 【書類名】 section.

#include "support/docx_builder.h"
#include "word/cp932.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/html_writer.h"
#include "word/ooxml/list_numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <pugixml.hpp>

using namespace testsupport;

namespace {

const char* kW = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";

QString level(int ilvl, const QString& fmt, const QString& text, const QString& extra = {}) {
    return QStringLiteral("<w:lvl w:ilvl=\"%1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"%2\"/><w:lvlText w:val=\"%3\"/>%4</w:lvl>")
        .arg(ilvl)
        .arg(fmt, text, extra);
}

QString numbered(const QString& text, int numId, int ilvl = 0) {
    return paraXml(run(text), QStringLiteral("<w:numPr><w:ilvl w:val=\"%1\"/><w:numId w:val=\"%2\"/></w:numPr>").arg(ilvl).arg(numId));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList bodyOf(const QString& htmlPath) {
    const QStringList all = word::cp932::decode(readAll(htmlPath)).split("\r\n");
    const qsizetype from = all.indexOf("<BODY>"), to = all.indexOf("</BODY>");
    return from < 0 || to < from ? QStringList() : all.mid(from + 1, to - from - 1);
}

QString withParts(const QString& rels) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + rels + "</Relationships>";
}

TEST(ListNumbers, NumbersAreWrittenAsWordShowsThem) {
    const QString numbering =
        QString("<w:numbering %1>").arg(kW) +
        "<w:abstractNum w:abstractNumId=\"1\">" + level(0, "decimal", "%1.") +
        level(1, "decimalFullWidth", "（%2）", "<w:suff w:val=\"nothing\"/>") + "</w:abstractNum>" +
        "<w:abstractNum w:abstractNumId=\"2\">" +
        level(0, "decimalFullWidth", "【請求項%1】", "<w:suff w:val=\"nothing\"/><w:pStyle w:val=\"Claim\"/>") + "</w:abstractNum>" +
        "<w:abstractNum w:abstractNumId=\"3\">" +
        level(0, "bullet", QString(QChar(0xF0B7)), "<w:rPr><w:rFonts w:ascii=\"Symbol\"/></w:rPr>") + "</w:abstractNum>" +
        "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"1\"/></w:num>"
        "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"1\"/><w:lvlOverride w:ilvl=\"0\"><w:startOverride w:val=\"5\"/></w:lvlOverride></w:num>"
        "<w:num w:numId=\"3\"><w:abstractNumId w:val=\"2\"/></w:num>"
        "<w:num w:numId=\"4\"><w:abstractNumId w:val=\"1\"/><w:lvlOverride w:ilvl=\"0\"><w:startOverride w:val=\"1\"/>" +
        level(0, "upperRoman", "%1)", "<w:suff w:val=\"space\"/>") + "</w:lvlOverride></w:num>"
        "<w:num w:numId=\"5\"><w:abstractNumId w:val=\"3\"/></w:num></w:numbering>";
    const QString styles = QString("<w:styles %1><w:style w:type=\"paragraph\" w:styleId=\"Claim\"><w:name w:val=\"Claim\"/>"
                                   "<w:pPr><w:numPr><w:numId w:val=\"3\"/></w:numPr></w:pPr></w:style></w:styles>")
                               .arg(kW);
    const QString rels = withParts(
        "<Relationship Id=\"rN\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/numbering\" Target=\"numbering.xml\"/>"
        "<Relationship Id=\"rS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>");
    const QString claim = QStringLiteral("<w:pStyle w:val=\"Claim\"/>");
    const QString body = numbered("始め", 1) + numbered("細目", 1, 1) + numbered("細目", 1, 1) + numbered("次", 1) +
                         numbered("細目", 1, 1) + paraXml(run("装置。"), claim) + paraXml(run("方法。"), claim) +
                         numbered("再開", 2) + numbered("続き", 2) + numbered("別", 4) + numbered("項目", 5) +
                         paraXml(run("番号なし"), claim + "<w:numPr><w:numId w:val=\"0\"/></w:numPr>");
    QTemporaryDir dir;
    writeDocx(dir.filePath("spec.docx"), body,
              {{"word/numbering.xml", numbering.toUtf8()},
               {"word/styles.xml", styles.toUtf8()},
               {"word/_rels/document.xml.rels", rels.toUtf8()}});
    auto model = word::ooxml::DocumentModel::open(dir.filePath("spec.docx"));
    word::ooxml::writeFilingHtml(*model, dir.filePath("spec.docx.htm"));
    EXPECT_EQ(bodyOf(dir.filePath("spec.docx.htm")),
              QStringList({"1.　始め<BR>", "（１）細目<BR>", "（２）細目<BR>", "2.　次<BR>", "（１）細目<BR>",
                           "【請求項１】装置。<BR>", "【請求項２】方法。<BR>", "5.　再開<BR>", "6.　続き<BR>",
                           "I) 別<BR>", "&#8226;　項目<BR>", "番号なし<BR>"}));
    // A bullet the filing software does not take is listed, not dropped.
    const auto refused = word::ooxml::refusedCharacters(*model);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].paragraph, 11);
    EXPECT_EQ(refused[0].codePoint, U'•');
}

TEST(ListNumbers, NumberFormats) {
    const struct {
        int value;
        const char* format;
        const char* text;
    } cases[] = {{3, "decimal", "3"},          {12, "decimalFullWidth", "１２"}, {7, "decimalZero", "07"},
                 {27, "upperLetter", "AA"},    {2, "lowerLetter", "b"},        {14, "upperRoman", "XIV"},
                 {4, "lowerRoman", "iv"},      {11, "japaneseCounting", "十一"}, {23, "japaneseCounting", "二十三"},
                 {105, "japaneseCounting", "百五"}, {2024, "japaneseCounting", "二千二十四"},
                 {3, "decimalEnclosedCircle", "③"}, {21, "decimalEnclosedCircle", "21"}, {4, "none", ""},
                 {9, "ordinal", "9"},
                 // Word repeats a letter at most 30 times; a larger value is written as digits.
                 {780, "lowerLetter", "zzzzzzzzzzzzzzzzzzzzzzzzzzzzzz"}, {781, "upperLetter", "781"},
                 {2147483000, "lowerLetter", "2147483000"}};
    for (const auto& c : cases)
        EXPECT_EQ(word::ooxml::formatListNumber(c.value, c.format), QString::fromUtf8(c.text)) << c.format << " " << c.value;
}

// Start values outside Word's 0 to 32,767 (a hostile two billion in letters,
// a negative one that would count through the overflow) are brought within
// it, and a number format is at most a short text: every numbered paragraph
// costs a bounded text.
TEST(ListNumbers, StartValuesAndNumberFormatsStayWithinWordsBounds) {
    const QString numbering =
        QString("<w:numbering ") + kW + ">" +
        "<w:abstractNum w:abstractNumId=\"1\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"2147483000\"/>"
        "<w:numFmt w:val=\"lowerLetter\"/><w:lvlText w:val=\"%1.\"/></w:lvl></w:abstractNum>"
        "<w:abstractNum w:abstractNumId=\"2\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/>"
        "<w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"" + QString("%1)").repeated(1000) + "\"/></w:lvl></w:abstractNum>"
        "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"1\"/></w:num>"
        "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"2\"/><w:lvlOverride w:ilvl=\"0\">"
        "<w:startOverride w:val=\"-2147483648\"/></w:lvlOverride></w:num>"
        "<w:num w:numId=\"3\"><w:abstractNumId w:val=\"1\"/><w:lvlOverride w:ilvl=\"0\">"
        "<w:startOverride w:val=\"2147483647\"/></w:lvlOverride></w:num>"
        "</w:numbering>";
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(numbering.toUtf8().constData()));
    word::ooxml::ListNumbers numbers(&doc, nullptr, "w");
    pugi::xml_document paragraphs;
    auto pPr = [&](int numId) {
        pugi::xml_node p = paragraphs.append_child("w:pPr");
        pugi::xml_node numPr = p.append_child("w:numPr");
        numPr.append_child("w:ilvl").append_attribute("w:val") = 0;
        numPr.append_child("w:numId").append_attribute("w:val") = numId;
        return p;
    };
    EXPECT_EQ(numbers.next(pPr(1), ""), "32767.\u3000");
    EXPECT_EQ(numbers.next(pPr(1), ""), "32768.\u3000");
    const QString negative = numbers.next(pPr(2), "");
    EXPECT_TRUE(negative.startsWith("0)0)")) << negative.left(20).toStdString();
    EXPECT_LE(negative.size(), 256);
    EXPECT_EQ(numbers.next(pPr(2), "").left(4), "1)1)");
    EXPECT_EQ(numbers.next(pPr(3), ""), "32767.\u3000");
}

const QByteArray kPng = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAAAAAA6fptVAAAACklEQVR4nGP4DwABAQEAWk1v8QAAAABJRU5ErkJggg==");

// Two 【書類名】 sections, each with a paragraph and a picture.
void writeTwoSections(const QString& path, const QString& first, const QString& second) {
    const QString rels = withParts(
        "<Relationship Id=\"rP\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"media/a.png\"/>");
    const QString picture = paraXml("<w:r><w:drawing><wp:inline><wp:extent cx=\"9525\" cy=\"9525\"/><a:graphic><a:graphicData>"
                                    "<pic:pic><pic:blipFill><a:blip r:embed=\"rP\"/></pic:blipFill></pic:pic>"
                                    "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>");
    writeDocx(path,
              paras({"【書類名】" + first, "【０００１】本文。"}) + picture + paras({"【書類名】" + second, "【図１】"}) + picture,
              {{"word/media/a.png", kPng}, {"word/_rels/document.xml.rels", rels.toUtf8()}});
}

TEST(FilingHtmlSections, EachDocumentNameGivesItsOwnFileWithItsOwnPictures) {
    QTemporaryDir dir;
    writeTwoSections(dir.filePath("spec.docx"), "明細書", "図面");
    auto model = word::ooxml::DocumentModel::open(dir.filePath("spec.docx"));
    word::ooxml::FilingHtmlOptions options;
    options.splitDocuments = true;
    const auto report = word::ooxml::writeFilingHtml(*model, dir.filePath("spec.docx.htm"), options);

    EXPECT_EQ(report.htmlFiles, QStringList({dir.filePath("spec.docx-明細書.htm"), dir.filePath("spec.docx-図面.htm")}));
    EXPECT_EQ(bodyOf(dir.filePath("spec.docx-明細書.htm")),
              QStringList({"【書類名】明細書<BR>", "【０００１】本文。<BR>", "<IMG SRC=\"spec.docx-明細書_1.png\"><BR>"}));
    EXPECT_EQ(bodyOf(dir.filePath("spec.docx-図面.htm")),
              QStringList({"【書類名】図面<BR>", "【図１】<BR>", "<IMG SRC=\"spec.docx-図面_1.png\"><BR>"}));
    EXPECT_EQ(readAll(dir.filePath("spec.docx-図面_1.png")), kPng);
    EXPECT_FALSE(QFile::exists(dir.filePath("spec.docx.htm")));
}

// A 【書類名】 too long for a file name: the section's file keeps the start
// of the name, followed by "…", with room for its pictures' names; the
// export as a whole succeeds.
TEST(FilingHtmlSections, ALongDocumentNameIsShortenedInTheFileName) {
    QTemporaryDir dir;
    const QString longName = QString(120, QChar(0x660E));  // 360 bytes
    writeTwoSections(dir.filePath("spec.docx"), longName, longName);
    auto model = word::ooxml::DocumentModel::open(dir.filePath("spec.docx"));
    word::ooxml::FilingHtmlOptions options;
    options.splitDocuments = true;
    const auto report = word::ooxml::writeFilingHtml(*model, dir.filePath("spec.docx.htm"), options);

    ASSERT_EQ(report.htmlFiles.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString name = QFileInfo(report.htmlFiles[i]).fileName();
        EXPECT_TRUE(name.startsWith("spec.docx-" + longName.left(60))) << name.toStdString();
        EXPECT_TRUE(name.endsWith(i == 0 ? "….htm" : "…2.htm")) << name.toStdString();
        EXPECT_LE(QFile::encodeName(name).size(), 255 - 16);
        EXPECT_TRUE(QFile::exists(report.htmlFiles[i]));
    }
    const QString pictureName = QFileInfo(report.htmlFiles[0]).completeBaseName() + "_1.png";
    EXPECT_EQ(readAll(dir.filePath(pictureName)), kPng);
    EXPECT_TRUE(bodyOf(report.htmlFiles[0]).contains("<IMG SRC=\"" + pictureName + "\"><BR>"));
}

}  // namespace
