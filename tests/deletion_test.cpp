// The deletion walk through task code 2: which paragraphs are source text,
// the heading rewrite, the deleted-text file, and the walk's hold on the
// paragraphs across deletions and rewrites.

#include "support/tagged_docs.h"

#include "engine/deletion/deletion.h"

#include <QRegularExpression>

using testsupport::TaggedDocTest;

namespace {

QByteArray cp(const QString& text) { return word::cp932::encode(text); }

}  // namespace

TEST(ParagraphClasses, TagsAreExactAndCaseSensitive) {
    using namespace engine;
    EXPECT_EQ(ClassifyParagraph(QStringLiteral("--/H")), kClassOpening);
    EXPECT_EQ(ClassifyParagraph(QStringLiteral("--/D")), kClassOpening);
    EXPECT_EQ(ClassifyParagraph(QStringLiteral("--/M")), kClassM);
    EXPECT_EQ(ClassifyParagraph(QStringLiteral("--/E")), kClassE);
    EXPECT_EQ(ClassifyParagraph(QStringLiteral("--/Y")), kClassY);
    EXPECT_EQ(ClassifyParagraph(QStringLiteral("--/Z")), kClassZ);
    for (const char* text : {"", "--/h", "--/M ", " --/M", "--/X", "--/", "--/MM", "－－/M"})
        EXPECT_EQ(ClassifyParagraph(QString::fromUtf8(text)), kClassText) << text;
}

TEST(ReportPaths, NamedAfterTheDocumentBesideIt) {
    const engine::DeletionReportPaths ej = engine::MakeDeletionReportPaths(QStringLiteral("/work/spec.doc"), true);
    EXPECT_EQ(ej.deletedText, QStringLiteral("/work/削除した原文-spec.doc.txt"));
    EXPECT_EQ(ej.finding, QStringLiteral("/work/削除原文中の全角含有文-spec.doc.txt"));
    EXPECT_EQ(ej.halfWidth, QStringLiteral("/work/削除原文中の半角が多い文-spec.doc.txt"));
    const engine::DeletionReportPaths je = engine::MakeDeletionReportPaths(QStringLiteral("/work/spec.doc"), false);
    EXPECT_EQ(je.finding, QStringLiteral("/work/削除原文中の半角５％以上含有文-spec.doc.txt"));
    // A bare file name stays in the current folder rather than the root.
    const engine::DeletionReportPaths bare = engine::MakeDeletionReportPaths(QStringLiteral("x.docx"), true);
    EXPECT_EQ(bare.deletedText, QDir::current().filePath(QStringLiteral("削除した原文-x.docx.txt")));
}

class DeletionWalk : public TaggedDocTest {};

TEST_F(DeletionWalk, SourceBetweenTagAndTranslationIsDeletedAndRecorded) {
    writeDoc({"--/H", "Source one.", "訳文一。", "--/Z", ""});
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"訳文一。", ""}));
    // Each record: the paragraph with its mark, then CR LF.
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray("Source one.\r\r\n"));
    EXPECT_EQ(backups().size(), 1);
}

TEST_F(DeletionWalk, FourTextParagraphsLoseTheFirstFiveOrMoreNone) {
    writeDoc({"--/H", "A", "B", "C", "D", "--/Z", ""});
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"B", "C", "D", ""}));
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray("A\r\r\n"));

    writeDoc({"--/H", "A", "B", "C", "D", "E", "--/Z", ""}, QStringLiteral("five.docx"));
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"A", "B", "C", "D", "E", ""}));
    EXPECT_EQ(bytesOf(path(QStringLiteral("削除した原文-five.docx.txt"))), QByteArray());
}

TEST_F(DeletionWalk, LoneTextBetweenTagsStays) {
    writeDoc({"--/H", "Lone", "--/Z", "--/D", "Also lone", "--/E", ""});
    runTask2();
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray());
    EXPECT_TRUE(resultParagraphs().contains(QStringLiteral("Lone")));
}

TEST_F(DeletionWalk, HeadingWithFourCharacterMarkerIsRewrittenAndTheWalkKeepsStep) {
    // Two rewritten headings in a row: after each, the walk must pass over the
    // two paragraphs the rewrite left and delete the right source paragraph.
    writeDoc({"--/H", "【０００１】見出し", "--/E", "Src1", "Tra1", "--/H", "【０００２】次", "--/M", "Src2", "Tra2",
              "--/Z", ""});
    runTask2();
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray("Src1\r\r\nSrc2\r\r\n"));
    // The E tag became an M tag with a blank before it; the M tag joins, so the
    // one-blank paragraph of the rewrite becomes the indent of the translation.
    EXPECT_EQ(resultParagraphs(), QStringList({"　　【０００１】見出し ", "　Tra1", "　　【０００２】次", "　Tra2", ""}));
}

TEST_F(DeletionWalk, HeadingRewriteKeepsTheHeadingsFormatting) {
    writeDocXml(testsupport::para("--/H") + testsupport::paraXml(testsupport::run("【０００１】", "<w:b/>")) +
                testsupport::paras({"--/E", "Src", "Tra", "--/Z", ""}));
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"　　【０００１】 ", "　Tra", ""}));
    const QString xml = QString::fromUtf8(testsupport::readZipEntry(docPath, QStringLiteral("word/document.xml")));
    static const QRegularExpression boldNumber(QStringLiteral("<w:b/>(?:(?!</w:r>).)*【０００１】"));
    EXPECT_TRUE(boldNumber.match(xml).hasMatch()) << xml.toStdString();
}

TEST_F(DeletionWalk, ThreeCharacterMarkerIsNotRewritten) {
    writeDoc({"--/H", "【技術】見出し", "--/E", "Src", "Tra", "--/Z", ""});
    runTask2();
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray("Src\r\r\n"));
    EXPECT_EQ(resultParagraphs(), QStringList({"【技術】見出し Tra", ""}));
}

TEST_F(DeletionWalk, HeadingRuleNeedsAnOpeningTagBefore) {
    // After an M tag the same paragraph is not a heading (and not source: an E tag follows).
    writeDoc({"Intro", "--/M", "【０００１】見出し", "--/E", "Src", "Tra", "--/Z", ""});
    runTask2();
    EXPECT_FALSE(resultParagraphs().join(u'|').contains(QStringLiteral("　　【")));
}

TEST_F(DeletionWalk, TextAfterYOrZTagsStays) {
    writeDoc({"--/Y", "After Y", "Trans Y", "--/Z", "After Z", "Trans Z", ""});
    runTask2();
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray());
    EXPECT_EQ(resultParagraphs(), QStringList({"After Y", "Trans Y", "After Z", "Trans Z", ""}));
}

TEST_F(DeletionWalk, FirstParagraphIsNeverDeleted) {
    writeDoc({"First", "Second", "--/Z", ""});
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"First", "Second", ""}));
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray());
}

TEST_F(DeletionWalk, TagWithTrailingBlankIsText) {
    writeDoc({"--/H ", "Src", "Tra", "--/Z", ""});
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"--/H ", "Src", "Tra", ""}));
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray());
}

TEST_F(DeletionWalk, SourceThatEndsATableCellIsEmptiedAndTheWalkKeepsStep) {
    using testsupport::para;
    const auto cell = [](const QString& paragraphsXml) { return "<w:tc>" + paragraphsXml + "</w:tc>"; };
    writeDocXml(para("Intro") + "<w:tbl><w:tr>" + cell(para("--/H") + para("Src in cell")) +
                cell(para("Tra in cell") + para("--/Z")) + "</w:tr></w:tbl>" +
                testsupport::paras({"--/H", "Src after", "Tra after", "--/Z", ""}));
    runTask2();
    EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Completed);
    // The cell's text is gone, the cell stays; the source after the table is
    // still found at its place.
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray("Src in cell\a\r\nSrc after\r\r\n"));
    const QString story = openResult()->Content().Text();
    EXPECT_FALSE(story.contains(QStringLiteral("Src")));
    EXPECT_TRUE(story.contains(QStringLiteral("Tra in cell")));
    EXPECT_TRUE(story.contains(QStringLiteral("Tra after")));
}

TEST_F(DeletionWalk, DTagLeavesAnEmptyParagraph) {
    writeDoc({"Intro", "--/D", "Src", "Tra", "--/Z", ""});
    runTask2();
    EXPECT_EQ(resultParagraphs(), QStringList({"Intro", "", "Tra", ""}));
}

TEST_F(DeletionWalk, DeletedTextFileIsCodePage932WithCrCrLfRecords) {
    host.options.englishToJapanese = false;
    writeDoc({"--/H", "原文〜です①", "Translation.", "--/M", "二つ目", "Second.", "--/Z", ""});
    runTask2();
    EXPECT_EQ(bytesOf(deletedTextPath()), cp(QStringLiteral("原文～です①\r\r\n二つ目\r\r\n")));
    // The wave dash is written as Windows writes it.
    EXPECT_TRUE(bytesOf(deletedTextPath()).contains(QByteArray("\x81\x60", 2)));
    EXPECT_FALSE(host.log.contains(QStringLiteral("「?」")));
}

TEST_F(DeletionWalk, CharactersOutsideTheCodePageAreMarkedAndLogged) {
    writeDoc({"--/H", "Caf\u00e9 \u20ac5", "カフェ５ユーロ", "--/Z", ""});
    runTask2();
    EXPECT_EQ(bytesOf(deletedTextPath()), QByteArray("Caf? ?5\r\r\n"));
    EXPECT_TRUE(host.log.contains(QStringLiteral("「?」")));
}

TEST_F(DeletionWalk, StatusProgressAndEventsFollowEveryParagraph) {
    writeDoc({"--/H", "Src", "Tra", "--/Z", ""});
    runTask2();
    // Five paragraphs: each walk counts 2..6, the second one too although it
    // deletes a paragraph on its way.
    QStringList expected;
    for (int n = 2; n <= 6; ++n) expected << QStringLiteral("確認処理： %1").arg(n);
    for (int n = 2; n <= 6; ++n) expected << QStringLiteral("置き換え処理： %1").arg(n);
    QStringList walkStatuses;
    for (const QString& s : host.statuses)
        if (s.startsWith(QStringLiteral("確認処理")) || s.startsWith(QStringLiteral("置き換え処理"))) walkStatuses << s;
    EXPECT_EQ(walkStatuses, expected);
    const std::vector<double>& p = host.progressValues;
    const auto at = [&](double v) { return std::find(p.begin(), p.end(), v) - p.begin(); };
    EXPECT_LT(at(72), at(74));
    EXPECT_LT(at(74), at(76));
    EXPECT_LT(at(76), at(78));
    EXPECT_LT(at(78), at(100));
}

TEST_F(DeletionWalk, EveryTwentiethParagraphMovesTheBarAndLetsEventsRun) {
    QStringList lines;
    for (int i = 0; i < 35; ++i) lines << "--/H" << QStringLiteral("S%1").arg(i) << QStringLiteral("T%1").arg(i);
    writeDoc(lines);  // 105 paragraphs: n = 21, 41, 61, 81, 101 in each walk
    runTask2();
    std::vector<double> walkValues;
    QStringList afterBar;
    for (qsizetype i = 0; i < host.events.size(); ++i) {
        const QString& e = host.events[i];
        if (!e.startsWith(QStringLiteral("progress:"))) continue;
        const double v = e.mid(9).toDouble();
        if (v < 30 || v >= 72) continue;
        walkValues.push_back(v);
        afterBar << host.events.value(i + 1);
    }
    EXPECT_EQ(walkValues, std::vector<double>({30, 30, 31, 31, 32, 50, 50, 51, 51, 52}));
    for (const QString& e : afterBar) EXPECT_EQ(e, QStringLiteral("events"));
}

TEST_F(DeletionWalk, TwelveThousandParagraphsAreClassifiedCompletely) {
    // Blocks of tag, source, translation across the whole document: every
    // source paragraph is found only if the class of every position is kept,
    // also past the positions where a table of 5000 would have to grow.
    QStringList lines = {"Title"};
    for (int i = 0; i < 4000; ++i) lines << "--/H" << QStringLiteral("S%1").arg(i) << QStringLiteral("T%1").arg(i);
    lines << "";
    writeDoc(lines);
    runTask2();
    const QStringList deleted = textOf(deletedTextPath()).split(QStringLiteral("\r\r\n"));
    ASSERT_EQ(deleted.size(), 4001);  // 4000 records and the empty rest
    for (int i = 0; i < 4000; ++i) ASSERT_EQ(deleted[i], QStringLiteral("S%1").arg(i));
    EXPECT_TRUE(host.statuses.contains(QStringLiteral("確認処理： 12003")));
    EXPECT_TRUE(host.statuses.contains(QStringLiteral("置き換え処理： 12003")));
    const QStringList result = resultParagraphs();
    ASSERT_EQ(result.size(), 4002);
    EXPECT_EQ(result[0], QStringLiteral("Title"));
    for (int i = 0; i < 4000; ++i) ASSERT_EQ(result[i + 1], QStringLiteral("T%1").arg(i));
}

TEST_F(DeletionWalk, UnwritableDeletedTextFileStopsBeforeTheDocumentIsSaved) {
    writeDoc({"--/H", "Src", "Tra", "--/Z", ""});
    const QByteArray input = bytesOf(docPath);
    // A folder in the file's place cannot be replaced by the report.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("削除した原文-doc.docx.txt")));
    runTask2();
    EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Aborted);
    ASSERT_FALSE(host.messages.empty());
    EXPECT_TRUE(host.messages.back().text.contains(QStringLiteral("削除した原文-doc.docx.txt")));
    EXPECT_EQ(bytesOf(docPath), input);
    EXPECT_TRUE(backups().isEmpty());
}

TEST_F(DeletionWalk, UnwritableReportLeavesNoHalfWrittenFiles) {
    writeDoc({"--/H", "Src", "Tra", "--/Z", ""});
    const QByteArray input = bytesOf(docPath);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("削除原文中の半角が多い文-doc.docx.txt")));
    runTask2();
    EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Aborted);
    EXPECT_TRUE(host.messages.back().text.contains(QStringLiteral("削除原文中の半角が多い文-doc.docx.txt")));
    EXPECT_EQ(bytesOf(docPath), input);
    EXPECT_TRUE(backups().isEmpty());
    // The deleted-text file would describe a deletion that was never saved.
    EXPECT_FALSE(QFile::exists(deletedTextPath()));
    EXPECT_FALSE(QFile::exists(findingEjPath()));
}

TEST_F(DeletionWalk, AStopAfterTheCheckLeavesNeitherReportsNorBackup) {
    // Japanese in the English source: the check writes every report.
    writeDoc({"--/H", "Source with 日本語 and more English words here.", "訳文一。", "--/E", "Second source sentence.",
              "訳文二。", "--/Z", ""});
    const QByteArray before = bytesOf(docPath);
    // 中止 in the passes that follow the check, once its reports are complete
    // (the first boundary at 78 % is the check's own last step).
    int boundariesAfterCheck = 0;
    host.onPollEvents = [&] {
        if (host.progress >= 78 && ++boundariesAfterCheck == 2) runner.RequestStop();
    };
    runTask2();
    EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Stopped);
    // The check's message belongs to a saved result: a stopped run shows none.
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.log.endsWith(" .. 処理中断：中止しました"));
    EXPECT_TRUE(host.openedFiles.isEmpty());
    EXPECT_EQ(bytesOf(docPath), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"doc.docx"});
}
