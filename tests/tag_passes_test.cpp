// The step list of task code 2 around the walk: language and spacing passes,
// tag removal and the joins they make, the translation colour; colour-coding
// (task 4) with grey tags, the source colour and the fonts; colour texts; and
// task 3 as two complete runs.

#include "support/tagged_docs.h"

#include "engine/deletion/deletion.h"
#include "engine/runner/task_plan.h"

using testsupport::TaggedDocTest;

namespace {

// The colour of the first occurrence of `text` in the document.
int colourOfText(word::Document& doc, const QString& text) {
    const qsizetype at = doc.Content().Text().indexOf(text);
    if (at < 0) return -1;
    word::Range r = doc.Content();
    r.SetRange(static_cast<int>(at), static_cast<int>(at + text.size()));
    return r.Font().Color();
}

const QStringList kThreeTags = {"--/H", "Src1", "Tra1.", "--/M", "Src2", "Tra2.", "--/E", "Src3", "Tra3。", "--/Z", ""};

}  // namespace

TEST(ColourTexts, ReadAsHexadecimalInBlueGreenRedOrder) {
    using engine::ParseColourText;
    EXPECT_EQ(ParseColourText(QStringLiteral("FF")), 0x0000FF);
    EXPECT_EQ(ParseColourText(QStringLiteral("FF0000")), 0xFF0000);
    EXPECT_EQ(ParseColourText(QStringLiteral("663399")), 0x663399);
    EXPECT_EQ(ParseColourText(QStringLiteral("ff")), 0xFF);
    EXPECT_EQ(ParseColourText(QStringLiteral(" 0000FF ")), 0xFF);
    // Black means Word's automatic colour.
    EXPECT_EQ(ParseColourText(QStringLiteral("000000")), word::wdColorAutomatic);
    EXPECT_EQ(ParseColourText(QStringLiteral("0")), word::wdColorAutomatic);
    for (const char* bad : {"", "  ", "12G", "red", "-FF", "0xFF", "+1", "1000000", "#FF0000", "ＦＦ"})
        EXPECT_FALSE(ParseColourText(QString::fromUtf8(bad))) << bad;
}

TEST(ColourTexts, CheckNamesTheBoxAndTheText) {
    engine::TaskOptions options;
    EXPECT_TRUE(engine::CheckColourOptions(options, false).isEmpty());
    EXPECT_TRUE(engine::CheckColourOptions(options, true).isEmpty());
    options.translationColour = QStringLiteral("12G");
    const QString message = engine::CheckColourOptions(options, false);
    EXPECT_TRUE(message.contains(QStringLiteral("訳文の色"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("12G")));
    // The source colour matters only when colouring.
    options = {};
    options.sourceColour = QStringLiteral("purple");
    EXPECT_TRUE(engine::CheckColourOptions(options, false).isEmpty());
    EXPECT_TRUE(engine::CheckColourOptions(options, true).contains(QStringLiteral("原文の色")));
    EXPECT_TRUE(engine::CheckColourOptions(options, true).contains(QStringLiteral("purple")));
}

class TagPasses : public TaggedDocTest {};

TEST_F(TagPasses, EnglishToJapaneseJoinsMTagsWithoutBlankAndETagsWithOne) {
    writeDoc(kThreeTags);
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"Tra1.Tra2. Tra3。", ""}));
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray("Src1\r\r\nSrc2\r\r\nSrc3\r\r\n"));
}

TEST_F(TagPasses, JapaneseToEnglishJoinsEveryTagWithTheBlanks) {
    host.options.englishToJapanese = false;
    writeDoc(kThreeTags);
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"Tra1. Tra2. Tra3。", ""}));
    host.options.oneBlank = false;
    writeDoc(kThreeTags, QStringLiteral("two.docx"));
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"Tra1.  Tra2.  Tra3。", ""}));
}

TEST_F(TagPasses, TwoBlanksOnlyAfterAFullStop) {
    host.options.englishToJapanese = false;
    host.options.oneBlank = false;
    writeDoc({"--/H", "S1", "First.", "--/E", "S2", "Second)", "--/E", "S3", "Third。", "--/E", "S4", "Fourth.", "--/Z", ""});
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"First.  Second) Third。 Fourth.", ""}));
}

TEST_F(TagPasses, TrailingBlanksBeforeATagEndAsOneOrTwo) {
    const QStringList lines = {"--/H", "S1", "One.   ", "--/E", "S2", "Two ", "--/E", "S3", "Three  ", "--/E",
                               "S4", "Four.      ", "--/E", "S5", "Five", "--/Z", ""};
    writeDoc(lines);
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"One. Two Three Four. Five", ""}));
    host.options.oneBlank = false;
    writeDoc(lines, QStringLiteral("two.docx"));
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"One.  Two Three Four.  Five", ""}));
}

TEST_F(TagPasses, YTagsJoinAndTagsAtTheStartGoWithTheirBreak) {
    writeDoc({"--/M", "Kept", "--/Y", "Also kept", "--/Z", "Tail", ""});
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"KeptAlso kept", "Tail", ""}));
}

TEST_F(TagPasses, TranslationColourIsAutomaticForBlackAndTheBoxValueOtherwise) {
    writeDocXml(testsupport::paraXml(testsupport::run("--/H")) +
                testsupport::paraXml(testsupport::run("Src", "<w:color w:val=\"123456\"/>")) +
                testsupport::paraXml(testsupport::run("Tra", "<w:color w:val=\"FF0000\"/>")) +
                testsupport::paras({"--/Z", ""}));
    runTask2();
    {
        auto doc = openResult();
        EXPECT_EQ(doc->Content().Text(), QStringLiteral("Tra\r\r"));
        EXPECT_EQ(paragraphColour(*doc, 1), word::wdColorAutomatic);
    }
    const QByteArray xml = testsupport::readZipEntry(docPath, QStringLiteral("word/document.xml"));
    EXPECT_FALSE(xml.contains("FF0000"));
    EXPECT_FALSE(xml.contains("w:val=\"000000\""));

    host.options.translationColour = QStringLiteral("FF0000");  // pure blue
    writeDoc({"--/H", "Src", "Tra", "--/Z", ""}, QStringLiteral("blue.docx"));
    runTask2();
    auto doc = openResult();
    EXPECT_EQ(paragraphColour(*doc, 1), 0xFF0000);
}

TEST_F(TagPasses, DocumentWithoutTagsIsSavedAnyway) {
    writeDoc({"Nothing tagged here.", ""});
    runTask2();
    EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Completed);
    EXPECT_EQ(backups().size(), 1);
    EXPECT_EQ(resultParagraphs(), QStringList({"Nothing tagged here.", ""}));
}

TEST_F(TagPasses, ColourTextThatIsNotHexadecimalIsRefusedBeforeOpening) {
    writeDoc({"--/H", "Src", "Tra", "--/Z", ""});
    const QByteArray input = bytesOf(docPath);
    host.options.translationColour = QStringLiteral("12G");
    runTask2();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].text.contains(QStringLiteral("訳文の色")));
    EXPECT_TRUE(host.messages[0].text.contains(QStringLiteral("12G")));
    EXPECT_EQ(bytesOf(docPath), input);
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_FALSE(QFile::exists(deletedTextPath()));
    EXPECT_TRUE(host.statuses.isEmpty());
}

class ColourCoding : public TaggedDocTest {};

TEST_F(ColourCoding, ColoursEverythingAndDeletesNothing) {
    const QStringList lines = {"--/H", "【０００１】見出し", "--/E", "Source one.", "訳文一。", "--/M", "Source two.",
                               "訳文二。", "--/Z", "See --/M inside.", ""};
    writeDoc(lines);
    runTask2(true);
    EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Completed);
    // Nothing deleted, no heading rewrite, no files, no messages.
    EXPECT_EQ(resultParagraphs(), lines);
    EXPECT_FALSE(QFile::exists(deletedTextPath()));
    EXPECT_FALSE(QFile::exists(findingEjPath()));
    EXPECT_FALSE(QFile::exists(halfWidthPath()));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.openedFiles.isEmpty());
    EXPECT_EQ(backups().size(), 1);

    auto doc = openResult();
    for (int tag : {1, 3, 6, 9}) EXPECT_EQ(paragraphColour(*doc, tag), word::wdColorGray20) << tag;
    EXPECT_EQ(paragraphColour(*doc, 4), 0x663399);
    EXPECT_EQ(paragraphColour(*doc, 7), 0x663399);
    for (int translation : {2, 5, 8}) EXPECT_EQ(paragraphColour(*doc, translation), word::wdColorAutomatic) << translation;
    // A tag text inside a longer paragraph turns grey too; the rest keeps the
    // translation colour.
    EXPECT_EQ(paragraphColour(*doc, 10), word::wdUndefined);
    EXPECT_EQ(colourOfText(*doc, QStringLiteral("--/M inside")), word::wdUndefined);
    EXPECT_EQ(colourOfText(*doc, QStringLiteral(" inside.")), word::wdColorAutomatic);
    const QString story = doc->Content().Text();
    word::Range inner = doc->Content();
    const int at = static_cast<int>(story.indexOf(QStringLiteral("See --/M")) + 4);
    inner.SetRange(at, at + 4);
    EXPECT_EQ(inner.Font().Color(), word::wdColorGray20);
}

TEST_F(ColourCoding, SourceAndTranslationColoursComeFromTheBoxes) {
    host.options.sourceColour = QStringLiteral("FF");  // pure red
    host.options.translationColour = QStringLiteral("FF0000");  // pure blue
    writeDoc({"--/H", "Source.", "訳文。", "--/Z", ""});
    runTask2(true);
    auto doc = openResult();
    EXPECT_EQ(paragraphColour(*doc, 2), 0x0000FF);
    EXPECT_EQ(paragraphColour(*doc, 3), 0xFF0000);
    EXPECT_EQ(paragraphColour(*doc, 1), word::wdColorGray20);
    const QByteArray xml = testsupport::readZipEntry(docPath, QStringLiteral("word/document.xml"));
    EXPECT_TRUE(xml.contains("w:val=\"FF0000\""));  // red, written as RRGGBB
    EXPECT_TRUE(xml.contains("w:val=\"0000FF\""));  // blue
}

TEST_F(ColourCoding, JapaneseSourceTurnsMTagsIntoGreyETags) {
    host.options.englishToJapanese = false;
    writeDoc({"--/H", "原文。", "Translation.", "--/M", "原文二。", "Second.", "--/Z", ""});
    runTask2(true);
    EXPECT_EQ(resultParagraphs(),
              QStringList({"--/H", "原文。", "Translation.", "--/E", "原文二。", "Second.", "--/Z", ""}));
    auto doc = openResult();
    EXPECT_EQ(paragraphColour(*doc, 4), word::wdColorGray20);
    EXPECT_EQ(paragraphColour(*doc, 5), 0x663399);
}

TEST_F(ColourCoding, FontsOnlyWhenSwitchedOn) {
    host.options.fontJapanese = QStringLiteral("ＭＳ 明朝");
    host.options.fontLatin = QStringLiteral("Times New Roman");
    writeDoc({"--/H", "Source.", "訳文。", "--/Z", ""});
    runTask2(true);
    QByteArray xml = testsupport::readZipEntry(docPath, QStringLiteral("word/document.xml"));
    EXPECT_FALSE(xml.contains("Times New Roman"));
    EXPECT_FALSE(xml.contains("rFonts"));

    host.options.fontSwitch = true;
    writeDoc({"--/H", "Source.", "訳文。", "--/Z", ""}, QStringLiteral("fonts.docx"));
    runTask2(true);
    auto doc = openResult();
    for (int i = 1; i <= 4; ++i) {
        word::Range r = doc->Paragraphs().Item(i).Range().Duplicate();
        r.MoveEnd(word::wdCharacter, -1);
        EXPECT_EQ(r.Font().Name(), QStringLiteral("ＭＳ 明朝")) << i;
        EXPECT_EQ(r.Font().NameAscii(), QStringLiteral("Times New Roman")) << i;
    }
}

TEST_F(ColourCoding, EmptyLatinFontBoxLeavesTheLatinFont) {
    host.options.fontSwitch = true;
    host.options.fontJapanese = QStringLiteral("游明朝");
    writeDoc({"--/H", "Source.", "訳文。", "--/Z", ""});
    runTask2(true);
    EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Completed);
    const QByteArray xml = testsupport::readZipEntry(docPath, QStringLiteral("word/document.xml"));
    EXPECT_TRUE(xml.contains(QStringLiteral("游明朝").toUtf8()));
    EXPECT_FALSE(xml.contains("w:ascii="));
}

TEST_F(ColourCoding, StartButtonTask4ColoursAndTask2AfterItDeletes) {
    writeDoc({"--/H", "Source.", "訳文。", "--/Z", ""});
    EXPECT_TRUE(engine::RunStartButton(runner, host, 4));
    EXPECT_EQ(resultParagraphs(), QStringList({"--/H", "Source.", "訳文。", "--/Z", ""}));
    EXPECT_TRUE(host.log.contains(QStringLiteral("色分け処理")));
    EXPECT_TRUE(engine::RunStartButton(runner, host, 2));
    EXPECT_EQ(resultParagraphs(), QStringList({"訳文。", ""}));
    EXPECT_TRUE(host.log.contains(QStringLiteral("原文･タグ削除処理")));
}

TEST_F(TagPasses, Task3RenumbersThenDeletesLeavingTwoBackups) {
    writeDoc({"--/H", "【０００５】Source.", "【０００５】訳文。", "--/E", "Second source.", "【０００９】訳文二。", "--/Z", ""});
    EXPECT_TRUE(engine::RunStartButton(runner, host, 3));
    EXPECT_EQ(backups().size(), 2);
    EXPECT_EQ(resultParagraphs(), QStringList({"【０００２】訳文。 【０００３】訳文二。", ""}));
    // Two log headings, the second after the first run's lines.
    const QStringList lines = host.logLines();
    const auto lineStarting = [&](const QString& heading) {
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith(heading)) return i;
        return qsizetype{-1};
    };
    const qsizetype first = lineStarting(QStringLiteral("段落振り処理"));
    const qsizetype second = lineStarting(QStringLiteral("原文･タグ削除処理"));
    EXPECT_GE(first, 0);
    EXPECT_GT(second, first + 1);
}
