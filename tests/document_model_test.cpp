// The document engine: story text, find, the edit primitive and its
// formatting rules, live ranges, paragraph walks, colour and fonts.

#include "engine/runner/task_runner.h"
#include "support/docx_builder.h"
#include "support/recording_host.h"
#include "word/automation.h"
#include "word/ooxml/document_model.h"

#include <QTemporaryDir>

#include <random>

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

class Engine : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<word::Application> app = word::Application::CreateObject("Word.Application");

    std::shared_ptr<word::Document> open(const QString& body, const std::map<QString, QByteArray>& extra = {}) {
        const QString path = dir.filePath(QString("in%1.docx").arg(counter++));
        writeDocx(path, body, extra);
        return app->Documents().Open(path, true);
    }

    static bool replaceAll(word::Document& doc, const QString& find, const QString& repl,
                           std::optional<int> color = std::nullopt) {
        word::Range r = doc.Content();
        word::Find f = r.Find();
        f.SetText(find);
        f.Replacement().ClearFormatting();
        if (color) f.Replacement().Font().SetColor(*color);
        f.Replacement().SetText(repl);
        f.Execute(word::wdReplaceAll);
        return f.Found();
    }

    // Saves and returns the main part's XML.
    QString savedXml(word::Document& doc) {
        const QString out = dir.filePath(QString("out%1.docx").arg(counter++));
        doc.SaveAs(out);
        return QString::fromUtf8(readZipEntry(out, "word/document.xml"));
    }

    // Saves, re-opens and returns the story text of the saved file.
    QString roundTrip(word::Document& doc) {
        const QString out = dir.filePath(QString("rt%1.docx").arg(counter++));
        doc.SaveAs(out);
        return app->Documents().Open(out, true)->Content().Text();
    }

    int counter = 0;
};

TEST_F(Engine, StoryTextHasMarksSpecialCharactersAndSkipsOtherStories) {
    const QString body =
        para("first") +
        paraXml(run("a") + "<w:r><w:tab/></w:r>" + run("b") + "<w:r><w:br/></w:r>" +
                "<w:r><w:br w:type=\"page\"/></w:r>" +
                "<w:del w:id=\"1\" w:author=\"x\"><w:r><w:delText>gone</w:delText></w:r></w:del>" +
                "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> PAGE </w:instrText></w:r>"
                "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" + run("7") +
                "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
                "<w:r><w:footnoteReference w:id=\"1\"/></w:r>") +
        "<w:tbl><w:tr><w:tc>" + para("c1") + para("c2") + "</w:tc><w:tc>" + para("d") +
        "</w:tc></w:tr></w:tbl>" +
        paraXml(run("sect"), "<w:sectPr/>") + para("last");
    auto doc = open(body);
    EXPECT_EQ(doc->Content().Text(),
              QString("first\ra\tb\v\f\x13\x14" "7\x15\x02\r") + "c1\rc2\ad\asect\flast\r");
    EXPECT_EQ(doc->Paragraphs().Count(), 7);
}

TEST_F(Engine, FindSeesThroughRunsAndKeepsFormattingOfKeptCharacters) {
    auto doc = open(paraRuns({"x【", "００", "０１】y"}));
    ASSERT_TRUE(replaceAll(*doc, "【０００１】", "【０００２】"));
    EXPECT_EQ(doc->Content().Text(), "x【０００２】y\r");
    const QString xml = savedXml(*doc);
    // Only the changed digit moved; the bold middle run still holds its two zeros.
    EXPECT_TRUE(xml.contains("<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">００</w:t></w:r>")) << qPrintable(xml);
    EXPECT_TRUE(xml.contains("０２】y")) << qPrintable(xml);
}

TEST_F(Engine, CaseWidthAndDigitCodesAreSignificant) {
    auto doc = open(paras({"Error error 0 ０ [12] [１２]"}));
    EXPECT_TRUE(replaceAll(*doc, "error", "E"));
    EXPECT_TRUE(replaceAll(*doc, "0", "z"));
    EXPECT_TRUE(replaceAll(*doc, "[^#^#]", "N"));
    EXPECT_FALSE(replaceAll(*doc, "[^#]", "M"));
    EXPECT_EQ(doc->Content().Text(), "Error E z ０ N [１２]\r");
    EXPECT_TRUE(replaceAll(*doc, "^^", "x") == false);
}

TEST_F(Engine, FoundReflectsTheLastSearch) {
    auto doc = open(para("abc"));
    word::Range r = doc->Content();
    word::Find f = r.Find();
    f.SetText("zzz");
    f.Replacement().SetText("y");
    f.Execute(word::wdReplaceAll);
    EXPECT_FALSE(f.Found());
    f.SetText("b");
    f.Execute(word::wdReplaceAll);
    EXPECT_TRUE(f.Found());
    EXPECT_EQ(doc->Content().Text(), "ayc\r");
}

TEST_F(Engine, UnsupportedOptionsAreRefusedNotIgnored) {
    auto doc = open(para("abc"));
    word::Find f = doc->Content().Find();
    f.SetText("a");
    f.SetMatchWildcards(true);
    EXPECT_THROW(f.Execute(word::wdReplaceAll), word::Error);
    f.SetMatchWildcards(false);
    f.SetMatchWholeWord(true);
    EXPECT_THROW(f.Execute(), word::Error);
    f.SetMatchWholeWord(false);
    f.SetMatchCase(false);
    EXPECT_THROW(f.Execute(), word::Error);
    f.SetMatchCase(true);
    f.SetText("^w");
    EXPECT_THROW(f.Execute(), word::Error);
    EXPECT_EQ(doc->Content().Text(), "abc\r");
}

TEST_F(Engine, InsertingAParagraphMarkSplitsAndBothHalvesKeepProperties) {
    auto doc = open(paraXml(run("AB。") + run("　CD", "<w:i/>"), "<w:jc w:val=\"center\"/>") +
                    paraXml(run("E"), "<w:sectPr/>") + para("end"));
    ASSERT_TRUE(replaceAll(*doc, "。　", "。^p　"));
    ASSERT_TRUE(replaceAll(*doc, "E", "E1^pE2"));
    EXPECT_EQ(doc->Content().Text(), "AB。\r　CD\rE1\rE2\fend\r");
    const QString xml = savedXml(*doc);
    EXPECT_EQ(xml.count("<w:jc w:val=\"center\"/>"), 2);
    // The section break stays with the second half only.
    EXPECT_EQ(xml.count("<w:sectPr/>"), 1);
    EXPECT_LT(xml.indexOf("E1"), xml.indexOf("E2"));
    EXPECT_GT(xml.indexOf("<w:sectPr/>"), xml.indexOf("E2") - 200);
    EXPECT_EQ(roundTrip(*doc), "AB。\r　CD\rE1\rE2\fend\r");
    // The italic run was split at the mark and keeps its formatting.
    EXPECT_TRUE(xml.contains("<w:i/></w:rPr><w:t xml:space=\"preserve\">　CD</w:t>")) << qPrintable(xml);
}

// A mark near either end of a paragraph (the shorter half moves to the new
// element): either way the first half keeps the identifier, the second the
// section break, both the paragraph properties and the cut run's formatting.
TEST_F(Engine, SplitNearEitherEndKeepsIdentifierSectionBreakAndFormatting) {
    struct Case {
        const char* find;
        const char* replacement;
        QString text;
        const char* cutRunFormat;
    };
    for (const Case& c : {Case{"b", "b^p", "ab\rcdefgh\fend\r", "<w:b/>"},
                          Case{"g", "g^p", "abcdefg\rh\fend\r", "<w:i/>"}}) {
        auto doc = open("<w:p w14:paraId=\"1A2B3C4D\"><w:pPr><w:jc w:val=\"center\"/><w:sectPr/></w:pPr>" +
                        run("abcd", "<w:b/>") + run("efgh", "<w:i/>") + "</w:p>" + para("end"));
        ASSERT_TRUE(replaceAll(*doc, c.find, c.replacement));
        EXPECT_EQ(doc->Content().Text(), c.text) << c.find;
        const QString xml = savedXml(*doc);
        const qsizetype second = xml.indexOf("</w:p>") + 6;  // where the second half starts
        EXPECT_EQ(xml.count("w14:paraId"), 1) << c.find;
        EXPECT_LT(xml.indexOf("w14:paraId"), second) << c.find;
        EXPECT_EQ(xml.count("<w:sectPr/>"), 1) << c.find;
        EXPECT_GT(xml.indexOf("<w:sectPr/>"), second) << c.find;
        EXPECT_EQ(xml.count("<w:jc w:val=\"center\"/>"), 2) << c.find;
        EXPECT_EQ(xml.count(c.cutRunFormat), 2) << c.find;
        EXPECT_EQ(roundTrip(*doc), c.text) << c.find;
    }
}

TEST_F(Engine, DeletingAMarkJoinsAndKeepsTheFirstParagraphsProperties) {
    auto doc = open(paraXml(run("one "), "<w:jc w:val=\"right\"/>") + paraXml(run("--/M")) +
                    paraXml(run("two"), "<w:ind w:left=\"720\"/>") + para("end"));
    ASSERT_TRUE(replaceAll(*doc, "^013--/M^013", ""));
    EXPECT_EQ(doc->Content().Text(), "one two\rend\r");
    const QString xml = savedXml(*doc);
    EXPECT_TRUE(xml.contains("<w:jc w:val=\"right\"/>"));
    EXPECT_FALSE(xml.contains("w:ind"));
}

TEST_F(Engine, DeletionFromAParagraphStartRemovesItWhole) {
    auto doc = open(paraXml(run("keep")) + paraXml(run("--/H"), "<w:jc w:val=\"right\"/>") +
                    paraXml(run("next"), "<w:ind w:left=\"720\"/>") + para("end"));
    ASSERT_TRUE(replaceAll(*doc, "--/H^013", ""));
    EXPECT_EQ(doc->Content().Text(), "keep\rnext\rend\r");
    const QString xml = savedXml(*doc);
    EXPECT_FALSE(xml.contains("w:jc"));
    EXPECT_TRUE(xml.contains("<w:ind w:left=\"720\"/>"));
}

TEST_F(Engine, TableCellsBoundMatchesAndKeepTheirLastParagraph) {
    auto doc = open(para("x") + "<w:tbl><w:tr><w:tc>" + para("a") + "</w:tc><w:tc>" + para("b") +
                    "</w:tc></w:tr></w:tbl>" + para("y"));
    EXPECT_EQ(doc->Content().Text(), "x\ra\ab\ay\r");
    // "\r" never matches a cell end, so nothing joins across cells.
    EXPECT_FALSE(replaceAll(*doc, "a^013b", "ab"));
    // The paragraph before the table cannot be joined into the first cell.
    EXPECT_TRUE(replaceAll(*doc, "x^013", "x"));
    EXPECT_EQ(doc->Content().Text(), "x\ra\ab\ay\r");
    // Deleting a cell's whole text keeps the cell.
    word::Range cell = doc->Paragraphs().Item(2).Range();
    cell.SetText("");
    EXPECT_EQ(doc->Content().Text(), "x\r\ab\ay\r");
    EXPECT_EQ(roundTrip(*doc), "x\r\ab\ay\r");
}

TEST_F(Engine, MarkersBetweenRunsAndTrackedDeletionsArePreserved) {
    const QString body = paraXml(
        "<w:bookmarkStart w:id=\"0\" w:name=\"bm\"/>" + run("alpha ") + "<w:bookmarkEnd w:id=\"0\"/>" +
        "<w:commentRangeStart w:id=\"3\"/>" + run("beta") + "<w:commentRangeEnd w:id=\"3\"/>" +
        "<w:del w:id=\"5\" w:author=\"a\"><w:r><w:delText>beta</w:delText></w:r></w:del>" +
        "<w:hyperlink r:id=\"rId9\"><w:r><w:t>link beta</w:t></w:r></w:hyperlink>");
    auto doc = open(body + para("end"));
    ASSERT_TRUE(replaceAll(*doc, "beta", "BETA"));
    EXPECT_EQ(doc->Content().Text(), "alpha BETAlink BETA\rend\r");
    const QString xml = savedXml(*doc);
    for (const char* marker : {"<w:bookmarkStart w:id=\"0\" w:name=\"bm\"/>", "<w:bookmarkEnd w:id=\"0\"/>",
                               "<w:commentRangeStart w:id=\"3\"/>", "<w:commentRangeEnd w:id=\"3\"/>",
                               "<w:delText>beta</w:delText>", "<w:hyperlink r:id=\"rId9\">"})
        EXPECT_TRUE(xml.contains(marker)) << marker;
    EXPECT_LT(xml.indexOf("<w:commentRangeStart"), xml.indexOf("BETA"));
    EXPECT_GT(xml.indexOf("<w:commentRangeEnd"), xml.indexOf("BETA"));
}

TEST_F(Engine, FieldsAreAtomsAndTheirInstructionsAreNotSearched) {
    const QString body = paraXml(
        run("see ") + "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> REF x </w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" + run("x") +
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>");
    auto doc = open(body + para("end"));
    ASSERT_TRUE(replaceAll(*doc, "x", "y"));
    const QString xml = savedXml(*doc);
    EXPECT_TRUE(xml.contains("<w:instrText> REF x </w:instrText>"));
    EXPECT_EQ(xml.count("w:fldChar "), 3);
}

TEST_F(Engine, BlanksAtTextEdgesArePreserved) {
    auto doc = open(paraXml("<w:r><w:t>a</w:t></w:r>") + para("end"));
    ASSERT_TRUE(replaceAll(*doc, "a", "a "));
    const QString xml = savedXml(*doc);
    EXPECT_TRUE(xml.contains("<w:t xml:space=\"preserve\">a </w:t>")) << qPrintable(xml);
    EXPECT_EQ(roundTrip(*doc), "a \rend\r");
}

TEST_F(Engine, TabsInReplacementsBecomeTabElements) {
    auto doc = open(para("a-b") + para("end"));
    ASSERT_TRUE(replaceAll(*doc, "-", "^t"));
    EXPECT_EQ(roundTrip(*doc), "a\tb\rend\r");
}

TEST_F(Engine, LiveRangesShiftWithEdits) {
    auto doc = open(para("aaa XX bbb") + para("end"));
    word::Range xx = doc->Content();
    xx.SetRange(4, 6);
    word::Range tail = doc->Content();
    tail.SetRange(7, 10);
    ASSERT_TRUE(replaceAll(*doc, "aaa", "a"));
    EXPECT_EQ(xx.Text(), "XX");
    EXPECT_EQ(tail.Text(), "bbb");
    ASSERT_TRUE(replaceAll(*doc, "a ", "a^p"));
    EXPECT_EQ(xx.Text(), "XX");
    EXPECT_EQ(tail.Start(), 5);
}

TEST_F(Engine, ReplaceOneTakesTheFirstMatchAndNarrowsTheRange) {
    auto doc = open(paras({"【００００】", "text", "【００００】"}));
    word::Range r = doc->Content();
    word::Find f = r.Find();
    f.SetText("【００００】");
    f.Replacement().SetText("【０００１】");
    ASSERT_TRUE(f.Execute(word::wdReplaceOne));
    EXPECT_EQ(r.Text(), "【０００１】");
    EXPECT_EQ(doc->Content().Text(), "【０００１】\rtext\r【００００】\r");
}

TEST_F(Engine, ColourOnPartOfARunSplitsItAndDropsThemeColour) {
    auto doc = open(paraXml(run("abcdef", "<w:b/><w:color w:val=\"FF0000\" w:themeColor=\"accent1\"/>")) + para("end"));
    word::Range r = doc->Content();
    r.SetRange(2, 4);
    r.Font().SetColor(0x663399);  // BBGGRR: red 0x99, green 0x33, blue 0x66
    EXPECT_EQ(r.Font().Color(), 0x663399);
    const QString xml = savedXml(*doc);
    EXPECT_TRUE(xml.contains("<w:color w:val=\"993366\"/>")) << qPrintable(xml);
    EXPECT_EQ(xml.count("w:themeColor"), 2);  // the untouched halves keep theirs
    EXPECT_EQ(xml.count("<w:b/>"), 3);
    EXPECT_EQ(roundTrip(*doc), "abcdef\rend\r");
}

TEST_F(Engine, AutomaticColourAndGreyReplacementsAndFontNames) {
    auto doc = open(paras({"x --/M y", "--/M", "end"}));
    ASSERT_TRUE(replaceAll(*doc, "--/M", "--/M", word::wdColorGray20));
    word::Range all = doc->Content();
    all.SetRange(2, 6);
    EXPECT_EQ(all.Font().Color(), word::wdColorGray20);
    all.SetRange(0, 1);
    EXPECT_EQ(all.Font().Color(), word::wdColorAutomatic);
    word::Range whole = doc->Content();
    whole.Font().SetName("ＭＳ 明朝");
    whole.Font().SetNameAscii("Century");
    whole.Font().SetColor(word::wdColorAutomatic);
    const QString xml = savedXml(*doc);
    EXPECT_TRUE(xml.contains("w:eastAsia=\"ＭＳ 明朝\""));
    EXPECT_TRUE(xml.contains("w:ascii=\"Century\""));
    EXPECT_TRUE(xml.contains("<w:color w:val=\"auto\"/>"));
    // rFonts comes before color inside rPr.
    EXPECT_LT(xml.indexOf("<w:rFonts"), xml.indexOf("<w:color"));
}

TEST_F(Engine, ParagraphWalkFollowsDeletionsAndRewrites) {
    auto doc = open(paras({"p1", "del", "p3", "rewrite", "p5"}));
    QStringList seen;
    std::optional<word::Paragraph> p = doc->Paragraphs().First();
    while (p) {
        word::Range r = p->Range();
        const QString t = r.Text();
        seen << t.chopped(1);
        if (t == "del\r") r.SetText("");
        if (t == "rewrite\r") r.SetText("　　" + t + "　\r");
        p = p->Next();
    }
    // After a rewrite into two paragraphs the walk meets both, then the next.
    EXPECT_EQ(seen, QStringList({"p1", "del", "p3", "rewrite", "　　rewrite", "　", "p5"}));
    EXPECT_EQ(doc->Content().Text(), "p1\rp3\r　　rewrite\r　\rp5\r");
}

TEST_F(Engine, TheFinalMarkIsNeverDeleted) {
    auto doc = open(paras({"a", "b"}));
    word::Range all = doc->Content();
    all.SetText("");
    EXPECT_EQ(doc->Content().Text(), "\r");
    EXPECT_EQ(roundTrip(*doc), "\r");
}

TEST_F(Engine, UnchangedSaveCopiesEveryPartByteForByte) {
    const QString in = dir.filePath("same.docx");
    writeDocx(in, paras({"a", "b"}));
    auto doc = app->Documents().Open(in, true);
    const QString out = dir.filePath("same-out.docx");
    doc->SaveAs(out);
    const QStringList names = zipEntryNames(in);
    EXPECT_EQ(zipEntryNames(out), names);
    for (const QString& n : names) EXPECT_EQ(readZipEntry(out, n), readZipEntry(in, n)) << qPrintable(n);
}

TEST(FindCodes, ParseWordsCodes) {
    using word::ooxml::parseFindText;
    EXPECT_EQ(parseFindText("a^013b^13c^pd^te^^").chars, QString("a\rb\rc\rd\te^"));
    auto p = parseFindText("[^#]");
    EXPECT_EQ(p.chars.size(), 3);
    EXPECT_TRUE(p.digitClass[1]);
    EXPECT_EQ(word::ooxml::parseReplacementText("x^py^013"), QString("x\ry\r"));
    EXPECT_THROW(parseFindText("^"), word::Error);
    EXPECT_THROW(word::ooxml::parseReplacementText("^#"), word::Error);
}

}  // namespace

// Thousands of random edits of every shape (replacements longer and shorter
// than what they replace, deleted and inserted marks, tabs and breaks,
// batches, colour), the model's text and paragraph offsets compared after
// each batch with a fresh reading of the saved document.
TEST(EngineRandomEdits, StoryTextAndOffsetsMatchAFreshScan) {
    using word::ooxml::DocumentModel;
    QTemporaryDir dir;
    const QString body =
        paraRuns({"【", "０００１】", "　本発明は", "、基板"}) + para("short") +
        paraXml(run("a") + "<w:r><w:tab/></w:r>" + run("b ", "<w:i/>") +
                "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> PAGE </w:instrText></w:r>"
                "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" + run("7") +
                "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>" +
                "<w:hyperlink w:anchor=\"x\">" + run("link") + "</w:hyperlink>" + run("tail")) +
        "<w:tbl><w:tr><w:tc>" + para("c1") + para("c2") + "</w:tc><w:tc>" + para("d") + "</w:tc></w:tr></w:tbl>" +
        paras({"p1", "", "[0012", "]", "last one"}) + paraXml(run("sect"), "<w:sectPr/>") + para("end");
    const QStringList pieces = {"a", "bc", "あ", "　", " ", "\t", "\v", "\r", "【", "】", "０", ""};
    for (unsigned seed : {1u, 2u, 3u}) {
        const QString in = dir.filePath(QString("random%1.docx").arg(seed));
        writeDocx(in, body);
        auto model = DocumentModel::open(in);
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, std::max(0, n))(rng); };
        auto randomText = [&] {
            QString s;
            for (int k = pick(3); k > 0; --k) s += pieces[pick(pieces.size() - 1)];
            return s;
        };
        for (int batch = 0; batch < 25; ++batch) {
            for (int k = 0; k < 80; ++k) {
                const int len = model->length();
                const int start = pick(len - 1);
                const int end = std::min(len, start + (pick(9) == 0 ? pick(40) : pick(3)));
                switch (pick(9)) {
                case 0: {  // a batch of edits, left to right
                    std::vector<word::ooxml::Edit> edits;
                    for (int pos = pick(20); pos + 2 < len && edits.size() < 20; pos += 2 + pick(30))
                        edits.push_back({pos, pos + pick(2), randomText()});
                    model->replaceMany(edits, pick(1) ? std::optional<int>(0x0000FF) : std::nullopt);
                    break;
                }
                case 1:
                    model->setColor(start, end, 0xFF0000);
                    break;
                case 2: {  // a join: the mark of a paragraph goes
                    const auto span = model->paragraphSpan(pick(model->paragraphCount() - 1));
                    model->replace(span.second - 1, span.second, pick(1) ? QString() : randomText());
                    break;
                }
                default:
                    model->replace(start, end, randomText());
                }
            }
            const QString out = dir.filePath(QString("random%1-%2.docx").arg(seed).arg(batch));
            model->save(out);
            auto fresh = DocumentModel::open(out);
            const QString context = QString("seed %1, batch %2").arg(seed).arg(batch);
            ASSERT_EQ(model->textRange(0, model->length()), fresh->text()) << qPrintable(context);
            ASSERT_EQ(model->paragraphCount(), fresh->paragraphCount()) << qPrintable(context);
            for (int i = 0; i < fresh->paragraphCount(); ++i)
                ASSERT_EQ(model->paragraphSpan(i), fresh->paragraphSpan(i)) << qPrintable(context) << ", paragraph " << i;
            // The find, which skips by the story's character counts, sees what a plain search sees.
            for (const QString find : {"\r", "【０", "a", "　"}) {
                std::vector<std::pair<int, int>> expected;
                for (qsizetype at = fresh->text().indexOf(find); at >= 0; at = fresh->text().indexOf(find, at + find.size()))
                    expected.emplace_back(at, at + find.size());
                const QString code = find == "\r" ? QString("^p") : find;
                ASSERT_EQ(model->findAll(word::ooxml::parseFindText(code), 0, model->length()), expected) << qPrintable(context);
            }
        }
    }
}

// Elements nested as deep as a hostile file makes them (a few KB once
// zipped): every task and the story text refuse the document with a message
// instead of running out of stack; a document nested near the bound is read
// by every task.
TEST(DeepNesting, BeyondTheBoundEveryTaskRefusesTheDocumentNearItEveryTaskRuns) {
    using word::ooxml::DocumentModel;
    const auto nestedTables = [](int n) {
        return QString("<w:tbl><w:tr><w:tc>").repeated(n) + para("【０００１】深い。") +
               QString("</w:tc></w:tr></w:tbl>").repeated(n) + para("【書類名】図面");
    };
    const auto nestedSmartTags = [](int n) {
        return "<w:p>" + QString("<w:smartTag w:element=\"x\">").repeated(n) + run("【０００１】深い。") +
               QString("</w:smartTag>").repeated(n) + "</w:p>";
    };
    QTemporaryDir dir;
    struct Case {
        QString body;
        bool refused;
    };
    const std::vector<Case> cases = {{nestedTables(100000), true},
                                     {nestedSmartTags(100000), true},
                                     {nestedTables(300), false},
                                     {nestedSmartTags(900), false}};
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const QString doc = dir.filePath(QString("deep%1.docx").arg(i));
        writeDocx(doc, cases[i].body);
        if (cases[i].refused) {
            try {
                DocumentModel::open(doc);
                ADD_FAILURE() << "opened";
            } catch (const word::Error& e) {
                EXPECT_TRUE(e.message().contains("入れ子が深すぎる") && e.message().contains(doc)) << e.message().toStdString();
            }
        } else {
            EXPECT_TRUE(DocumentModel::open(doc)->text().contains("【０００１】深い。"));
        }
        for (const short code : {1, 5, 6, 7}) {
            testsupport::RecordingHost host;
            engine::TaskRunner runner(host);
            host.filePathText = doc;
            host.options.convertImages = false;
            runner.RunTask(code);
            EXPECT_EQ(runner.LastOutcome(), cases[i].refused ? engine::RunOutcome::OpenFailed : engine::RunOutcome::Completed)
                << code << host.log.toStdString();
            if (cases[i].refused) {
                ASSERT_EQ(host.messages.size(), 1u) << code;
                EXPECT_TRUE(host.messages[0].text.contains("入れ子が深すぎる")) << host.messages[0].text.toStdString();
            }
        }
    }
}
