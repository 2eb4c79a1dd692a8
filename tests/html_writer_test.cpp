#include "word/ooxml/html_writer.h"

#include "support/docx_builder.h"
#include "word/automation.h"
#include "word/cp932.h"
#include "word/ooxml/document_model.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testsupport;
using word::ooxml::DocumentModel;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray imageBytes(const char* format, QColor colour) {
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return bytes;
}

const char* kRelsHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
const char* kImageType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";

QString inlinePicture(const QString& relId) {
    return "<w:r><w:drawing><wp:inline><wp:extent cx=\"952500\" cy=\"952500\"/><wp:docPr id=\"1\" name=\"p\"/>"
           "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
           "<pic:pic><pic:nvPicPr><pic:cNvPr id=\"0\" name=\"p.png\"/><pic:cNvPicPr/></pic:nvPicPr>"
           "<pic:blipFill><a:blip r:embed=\"" + relId + "\"/></pic:blipFill><pic:spPr/></pic:pic>"
           "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
}

class HtmlWriterTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }

    // Builds spec.docx from a body, writes spec.docx.htm, returns its lines
    // between <BODY> and </BODY> (decoded from code page 932).
    QStringList bodyLines(const QString& body, const std::map<QString, QByteArray>& parts = {}) {
        writeDocx(path("spec.docx"), body, parts);
        auto model = DocumentModel::open(path("spec.docx"));
        word::ooxml::writeFilingHtml(*model, path("spec.docx.htm"));
        raw = readAll(path("spec.docx.htm"));
        refused = word::ooxml::refusedCharacters(*model);
        const QStringList all = word::cp932::decode(raw).split("\r\n");
        const qsizetype from = all.indexOf("<BODY>"), to = all.indexOf("</BODY>");
        EXPECT_GE(from, 0);
        EXPECT_GT(to, from);
        return all.mid(from + 1, to - from - 1);
    }

    QByteArray raw;
    std::vector<word::ooxml::RefusedCharacter> refused;
};

TEST_F(HtmlWriterTest, ParagraphsAreLinesEndingInBrWithCrLfAndShiftJis) {
    const QStringList lines = bodyLines(paras({"【書類名】明細書", "", "本発明は、装置に関する。"}));
    EXPECT_EQ(lines, QStringList({"【書類名】明細書<BR>", "<BR>", "本発明は、装置に関する。<BR>"}));

    // The frame of a minimal HTML document that declares Shift_JIS.
    const QStringList all = word::cp932::decode(raw).split("\r\n");
    EXPECT_EQ(all.mid(0, 2), QStringList({"<HTML>", "<HEAD>"}));
    EXPECT_TRUE(all[2].contains("charset=Shift_JIS"));
    EXPECT_EQ(all.mid(3, 2), QStringList({"</HEAD>", "<BODY>"}));
    EXPECT_TRUE(raw.endsWith("</BODY>\r\n</HTML>\r\n"));

    // Every line ends in CR LF, and no bare LF or CR is written.
    EXPECT_EQ(raw.count("\r\n"), raw.count('\n'));
    EXPECT_EQ(raw.count("\r\n"), raw.count('\r'));
    // Code page 932 bytes: 【 is 81 79, 明 is 96 BE; no UTF-8 anywhere.
    EXPECT_TRUE(raw.contains(QByteArray("\x81\x79\x8F\x91\x97\xDE\x96\xBC\x81\x7A", 10)));  // 【書類名】
    EXPECT_FALSE(raw.contains("\xE3\x80\x90"));  // 【 in UTF-8
    EXPECT_TRUE(refused.empty());
}

TEST_F(HtmlWriterTest, UnderlineSuperscriptAndSubscriptRunsBecomeTags) {
    const QString body = paraXml(run("H") + run("2", "<w:vertAlign w:val=\"subscript\"/>") + run("O, 10") +
                                 run("-3", "<w:vertAlign w:val=\"superscript\"/>") + run(" ") +
                                 run("下", "<w:u w:val=\"single\"/>") +
                                 run("線", "<w:u w:val=\"double\"/><w:b/>") + run("なし", "<w:u w:val=\"none\"/>"));
    const QStringList lines = bodyLines(body);
    // Neighbouring runs of the same look share one pair of tags.
    EXPECT_EQ(lines, QStringList({"H<SUB>2</SUB>O, 10<SUP>-3</SUP> <U>下線</U>なし<BR>"}));
}

TEST_F(HtmlWriterTest, StylesGiveUnderlineAndSuperscriptUnlessTheRunOverrides) {
    const QByteArray styles =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"Base\"><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"Sup\"><w:basedOn w:val=\"Base\"/></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Under\"><w:rPr><w:u w:val=\"single\"/></w:rPr></w:style>"
        "</w:styles>";
    const QByteArray rels = QByteArray(kRelsHead) +
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
        "Target=\"styles.xml\"/></Relationships>";
    const QString body = paraXml(run("x") + run("2", "<w:rStyle w:val=\"Sup\"/>")) +
                         paraXml(run("ab") + run("c", "<w:u w:val=\"none\"/>"), "<w:pStyle w:val=\"Under\"/>");
    const QStringList lines =
        bodyLines(body, {{"word/styles.xml", styles}, {"word/_rels/document.xml.rels", rels}});
    EXPECT_EQ(lines, QStringList({"x<SUP>2</SUP><BR>", "<U>ab</U>c<BR>"}));
}

TEST_F(HtmlWriterTest, BreaksTabsAndEscaping) {
    const QString body = paraXml(run("a&b<c>d") + "<w:r><w:tab/><w:t>e</w:t><w:br/><w:t>f</w:t><w:cr/>"
                                                  "<w:t>g</w:t><w:noBreakHyphen/><w:t>h</w:t></w:r>");
    EXPECT_EQ(bodyLines(body), QStringList({"a&amp;b&lt;c&gt;d\u3000e<BR>f<BR>g-h<BR>"}));
}

TEST_F(HtmlWriterTest, SymbolFontCharactersAreWrittenAsTheCharactersTheyShow) {
    auto sym = [](const char* font, const char* code) {
        return QString("<w:r><w:sym w:font=\"%1\" w:char=\"%2\"/></w:r>").arg(font, code);
    };
    const QString body = paraXml(run("a") + sym("Symbol", "F061") + sym("Symbol", "F0B1") + sym("Symbol", "F028") +
                                 sym("SYMBOL", "6D") + sym("Wingdings", "F0E0"));
    EXPECT_EQ(bodyLines(body), QStringList({"aα±(μ&#61664;<BR>"}));
    // A Wingdings sign has no character: it stays, listed as refused.
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].codePoint, 0xF0E0u);
}

TEST_F(HtmlWriterTest, EquationsAreWrittenAsTextWithSuperscriptsAndFractions) {
    auto mr = [](const QString& t) { return "<m:r><m:t>" + t + "</m:t></m:r>"; };
    const QString math =
        "<m:oMath xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/2006/math\">"
        "<m:sSup><m:sSupPr/><m:e>" + mr("E") + "</m:e><m:sup>" + mr("2") + "</m:sup></m:sSup>" + mr("=") +
        "<m:f><m:num>" + mr("a") + "</m:num><m:den>" + mr("b") + "</m:den></m:f>" +
        "<m:sSub><m:e>" + mr("x") + "</m:e><m:sub>" + mr("i") + "</m:sub></m:sSub>" + mr("sin\u2061θ") + "</m:oMath>";
    EXPECT_EQ(bodyLines(paraXml(run("式") + math + run("。"))), QStringList({"式E<SUP>2</SUP>=(a)/(b)x<SUB>i</SUB>sinθ。<BR>"}));
}

// Delimiters and the operators of sums keep their characters; a structure that
// text cannot show (here a matrix) is reported with its paragraph.
TEST_F(HtmlWriterTest, DelimitersAndSumsAreWrittenAndEquationsTextCannotShowAreReported) {
    auto mr = [](const QString& t) { return "<m:r><m:t>" + t + "</m:t></m:r>"; };
    const QString ns = "xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/2006/math\"";
    const QString sum = "<m:oMath " + ns + "><m:nary><m:naryPr><m:chr m:val=\"∑\"/></m:naryPr><m:sub>" + mr("i") +
                        "</m:sub><m:sup>" + mr("n") + "</m:sup><m:e><m:d><m:dPr/><m:e>" + mr("a") + "</m:e><m:e>" +
                        mr("b") + "</m:e></m:d></m:e></m:nary></m:oMath>";
    const QString matrix = "<m:oMath " + ns + "><m:m><m:mr><m:e>" + mr("1") + "</m:e><m:e>" + mr("0") +
                           "</m:e></m:mr></m:m></m:oMath>";
    writeDocx(path("spec.docx"), paraXml(sum) + para("本文") + paraXml(matrix));
    auto model = DocumentModel::open(path("spec.docx"));
    const auto report = word::ooxml::writeFilingHtml(*model, path("spec.docx.htm"));
    const QStringList lines = word::cp932::decode(readAll(path("spec.docx.htm"))).split("\r\n");
    EXPECT_TRUE(lines.contains("∑<SUB>i</SUB><SUP>n</SUP>(a|b)<BR>"));
    EXPECT_EQ(report.equationsNotAsText, std::vector<int>({3}));
}

TEST_F(HtmlWriterTest, DeletedRevisionsAndFieldInstructionsAreLeftOut) {
    const QString body = paraXml(
        run("残す") + "<w:del w:id=\"1\" w:author=\"a\"><w:r><w:delText>消した</w:delText></w:r></w:del>" +
        "<w:ins w:id=\"2\" w:author=\"a\">" + run("入れた") + "</w:ins>" +
        "<w:moveFrom w:id=\"3\" w:author=\"a\">" + run("移動元") + "</w:moveFrom>" +
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> SEQ 図 \\* ARABIC </w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" + run("3") +
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>" + run("。"));
    EXPECT_EQ(bodyLines(body), QStringList({"残す入れた3。<BR>"}));
}

TEST_F(HtmlWriterTest, AParagraphWhoseMarkWasDeletedJoinsTheNext) {
    const QString body = paraXml(run("前半"), "<w:rPr><w:del w:id=\"1\" w:author=\"a\"/></w:rPr>") + para("後半") +
                         para("次");
    EXPECT_EQ(bodyLines(body), QStringList({"前半後半<BR>", "次<BR>"}));
}

TEST_F(HtmlWriterTest, TablesWithMergedCellsAndParagraphNumbersCountingCells) {
    auto tc = [](const QString& content, const QString& tcPr = {}) {
        return "<w:tc>" + (tcPr.isEmpty() ? QString() : "<w:tcPr>" + tcPr + "</w:tcPr>") + content + "</w:tc>";
    };
    const QString table =
        "<w:tbl><w:tblGrid><w:gridCol/><w:gridCol/></w:tblGrid>"
        "<w:tr>" + tc(para("見出し"), "<w:gridSpan w:val=\"2\"/>") + "</w:tr>"
        "<w:tr>" + tc(para("縦"), "<w:vMerge w:val=\"restart\"/>") + tc(paras({"a", ""})) + "</w:tr>"
        "<w:tr>" + tc(para(""), "<w:vMerge/>") + tc(para("①")) + "</w:tr>"
        "</w:tbl>";
    const QStringList lines = bodyLines(para("前") + table + para("後"));
    EXPECT_EQ(lines, QStringList({"前<BR>", "<TABLE BORDER=\"1\">",
                                  "<TR>", "<TD COLSPAN=\"2\">", "見出し<BR>", "</TD>", "</TR>",
                                  "<TR>", "<TD ROWSPAN=\"2\">", "縦<BR>", "</TD>", "<TD>", "a<BR>", "<BR>", "</TD>", "</TR>",
                                  "<TR>", "<TD>", "①<BR>", "</TD>", "</TR>",
                                  "</TABLE>", "後<BR>"}));
    // Paragraphs: 前 1, 見出し 2, 縦 3, a 4, (empty) 5, merged (empty) 6, ① 7, 後 8.
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].paragraph, 7);
    EXPECT_EQ(refused[0].codePoint, U'①');
}

TEST_F(HtmlWriterTest, PicturesAreWrittenBesideTheFileAndReferenced) {
    const QByteArray png = imageBytes("PNG", Qt::red);
    const QByteArray bmp = imageBytes("BMP", Qt::blue);
    ASSERT_TRUE(png.startsWith("\x89PNG"));
    const QByteArray rels = QByteArray(kRelsHead) +
        "<Relationship Id=\"rIdP\" Type=\"" + kImageType + "\" Target=\"media/image1.png\"/>"
        "<Relationship Id=\"rIdB\" Type=\"" + kImageType + "\" Target=\"/word/media/image2.bmp\"/>"
        "<Relationship Id=\"rIdX\" Type=\"" + kImageType + "\" Target=\"http://example.com/a.png\" TargetMode=\"External\"/>"
        "</Relationships>";
    const QString vml = "<w:r><w:pict><v:shape style=\"width:10pt;height:10pt\">"
                        "<v:imagedata r:id=\"rIdB\" o:title=\"\" xmlns:o=\"urn:schemas-microsoft-com:office:office\"/>"
                        "</v:shape></w:pict></w:r>";
    // A text box is another story: its text and pictures stay out.
    const QString textBox =
        "<w:r><w:pict><v:shape><v:textbox><w:txbxContent>" + para("箱の中") + paraXml(inlinePicture("rIdB")) +
        "</w:txbxContent></v:textbox></v:shape></w:pict></w:r>";
    const QString body = para("【図１】") + paraXml(inlinePicture("rIdP")) + paraXml(run("図") + vml + textBox) +
                         paraXml(inlinePicture("rIdP") + inlinePicture("rIdX"));
    const QStringList lines = bodyLines(body, {{"word/media/image1.png", png},
                                               {"word/media/image2.bmp", bmp},
                                               {"word/_rels/document.xml.rels", rels}});
    EXPECT_EQ(lines, QStringList({"【図１】<BR>", "<IMG SRC=\"spec.docx_1.png\"><BR>",
                                  "図<IMG SRC=\"spec.docx_2.bmp\"><BR>",
                                  // the same picture again reuses its file; an external link has none
                                  "<IMG SRC=\"spec.docx_1.png\"><BR>"}));
    EXPECT_EQ(readAll(path("spec.docx_1.png")), png);
    EXPECT_EQ(readAll(path("spec.docx_2.bmp")), bmp);
    EXPECT_FALSE(QFile::exists(path("spec.docx_3.png")));
    EXPECT_EQ(word::ooxml::pictureFileName("/a/b/spec.doc.htm", 3, "jpeg"), "/a/b/spec.doc_3.jpeg");
}

TEST_F(HtmlWriterTest, RefusedCharactersAreListedAndUnencodableOnesKeptAsReferences) {
    const QString body = paras({"①と㈱とⅠ", "ｶﾀｶﾅ", "髙橋～－∥堯", "𠮷野家", "普通"});
    const QStringList lines = bodyLines(body);
    EXPECT_EQ(lines[0], "①と㈱とⅠ<BR>");  // refused but written as they are in code page 932
    EXPECT_EQ(lines[3], "&#134071;野家<BR>");  // code page 932 lacks 𠮷
    EXPECT_TRUE(raw.contains(QByteArray("\x87\x40", 2)));  // ① in the NEC row
    EXPECT_TRUE(raw.contains(QByteArray("\xB6\xC0\xB6\xC5", 4)));  // half-width katakana bytes

    std::vector<std::pair<int, char32_t>> got;
    for (const auto& r : refused) got.push_back({r.paragraph, r.codePoint});
    const std::vector<std::pair<int, char32_t>> expected = {
        {1, U'①'}, {1, U'㈱'}, {1, U'Ⅰ'}, {2, U'ｶ'}, {2, U'ﾀ'}, {2, U'ｶ'}, {2, U'ﾅ'}, {3, U'髙'}, {4, U'𠮷'}};
    EXPECT_EQ(got, expected);
}

TEST(FilingCharacters, JisX0208AndAsciiAreTakenTheRestRefused) {
    using word::ooxml::filingSoftwareAccepts;
    for (char32_t c : {U'A', U'/', U' ', U'あ', U'ア', U'漢', U'【', U'〜', U'～', U'－', U'∥', U'≒', U'∵', U'¬',
                       U'Α', U'я', U'堯', U'熙', U'\u3000'})
        EXPECT_TRUE(filingSoftwareAccepts(c)) << std::hex << static_cast<unsigned>(c);
    for (char32_t c : {U'①', U'⑳', U'㈱', U'Ⅰ', U'ⅰ', U'㍉', U'∑', U'ｱ', U'ﾟ', U'髙', U'﨑', U'纊', U'€', U'é',
                       U'\u00B5', U'𠮷', U'\uE000', U'\t', U'\x7F',
                       // read as ¥ and ‾ in the filing software's half-width set; ■ is not taken
                       U'\\', U'~', U'■'})
        EXPECT_FALSE(filingSoftwareAccepts(c)) << std::hex << static_cast<unsigned>(c);
}

TEST_F(HtmlWriterTest, AFailedWriteLeavesNoPicturesAndNoHtml) {
    const QByteArray rels = QByteArray(kRelsHead) + "<Relationship Id=\"rIdP\" Type=\"" + kImageType +
                            "\" Target=\"media/image1.png\"/></Relationships>";
    writeDocx(path("spec.docx"), paraXml(inlinePicture("rIdP")),
              {{"word/media/image1.png", imageBytes("PNG", Qt::red)}, {"word/_rels/document.xml.rels", rels}});
    auto model = DocumentModel::open(path("spec.docx"));
    // The HTML name is taken by a folder: the HTML cannot be written.
    ASSERT_TRUE(QDir(dir.path()).mkdir("spec.docx.htm"));
    EXPECT_THROW(word::ooxml::writeFilingHtml(*model, path("spec.docx.htm")), word::Error);
    EXPECT_FALSE(QFile::exists(path("spec.docx_1.png")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"spec.docx"}));
}

}  // namespace
