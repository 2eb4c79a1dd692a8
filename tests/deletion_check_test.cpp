// The check of the deleted text: line routing in both directions, the
// reports' bytes, the four messages, the order in which the reports open, and
// the replacing of reports left by an earlier run.

#include "support/tagged_docs.h"

#include "engine/deletion/deletion.h"

#include <QFile>
#include <QRegularExpression>

using engine::RouteDeletedLine;
using testsupport::TaggedDocTest;

namespace {

QByteArray cp(const QString& text) { return word::cp932::encode(text); }

// n full-width characters with h of them replaced by half-width ones.
QString mixed(int n, int h) { return QString(n - h, QChar(0x3042)) + QString(h, u'a'); }

}  // namespace

TEST(CheckLines, SplitAtCrOrCrLf) {
    EXPECT_EQ(engine::SplitLines(QStringLiteral("a\r\r\nb\r\r\n")), QStringList({"a", "", "b", ""}));
    EXPECT_EQ(engine::SplitLines(QStringLiteral("a\rb\r\nc")), QStringList({"a", "b", "c"}));
    EXPECT_EQ(engine::SplitLines(QString()), QStringList());
    // A lone LF does not end a line.
    EXPECT_EQ(engine::SplitLines(QStringLiteral("a\nb\r")), QStringList({"a\nb"}));
}

TEST(CheckLines, EnglishSourceRoutesByFullWidthCharacters) {
    auto r = RouteDeletedLine(QStringLiteral("Plain English line."), true);
    EXPECT_TRUE(r.halfWidth);
    EXPECT_FALSE(r.finding);
    // Degree sign and right quote are two bytes in the code page but
    // half-width in the document: masked, nothing is left to report.
    r = RouteDeletedLine(QStringLiteral("Heat to 20°C, it’s done."), true);
    EXPECT_FALSE(r.halfWidth);
    EXPECT_FALSE(r.finding);
    r = RouteDeletedLine(QStringLiteral("It’s 日本語 at 20°C"), true);
    EXPECT_FALSE(r.halfWidth);
    ASSERT_TRUE(r.finding);
    EXPECT_EQ(*r.finding, QStringLiteral("It_s 日本語 at 20_C"));
    // Half-width katakana is one byte: no full-width character.
    EXPECT_TRUE(RouteDeletedLine(QStringLiteral("ｶﾀｶﾅ"), true).halfWidth);
    r = RouteDeletedLine(QString(), true);
    EXPECT_TRUE(r.halfWidth);
    EXPECT_FALSE(r.finding);
}

TEST(CheckLines, JapaneseSourceRoutesByShareOfHalfWidthCharacters) {
    // No half-width character: neither report.
    auto r = RouteDeletedLine(mixed(20, 0), false);
    EXPECT_FALSE(r.halfWidth);
    EXPECT_FALSE(r.finding);
    // Under 5 %: neither.
    r = RouteDeletedLine(mixed(21, 1), false);
    EXPECT_FALSE(r.halfWidth);
    EXPECT_FALSE(r.finding);
    // Exactly 5 %: the finding report only.
    r = RouteDeletedLine(mixed(20, 1), false);
    EXPECT_FALSE(r.halfWidth);
    ASSERT_TRUE(r.finding);
    EXPECT_EQ(*r.finding, mixed(20, 1));
    // Just under 10 %: still the finding report only.
    r = RouteDeletedLine(mixed(21, 2), false);
    EXPECT_FALSE(r.halfWidth);
    EXPECT_TRUE(r.finding);
    // 10 % and more: both (the warning speaks of 5 % or more).
    r = RouteDeletedLine(mixed(20, 2), false);
    EXPECT_TRUE(r.halfWidth);
    EXPECT_TRUE(r.finding);
    r = RouteDeletedLine(QStringLiteral("An English sentence."), false);
    EXPECT_TRUE(r.halfWidth);
    EXPECT_TRUE(r.finding);
    // Empty lines go to the half-width report only.
    r = RouteDeletedLine(QString(), false);
    EXPECT_TRUE(r.halfWidth);
    EXPECT_FALSE(r.finding);
    // "°" is not masked in this direction: it counts as full-width.
    EXPECT_FALSE(RouteDeletedLine(mixed(19, 0) + QStringLiteral("°"), false).finding);
}

TEST(CheckMessages, FourCasesWithTheirTitlesAndIcons) {
    const auto ejWarn = engine::DeletionCheckMessage(true, false);
    EXPECT_EQ(ejWarn.title, QStringLiteral("注意：全角文字が含まれています"));
    EXPECT_TRUE(ejWarn.exclamation);
    EXPECT_EQ(ejWarn.text.split(QStringLiteral("\r\n\r\n")).size(), 3);
    EXPECT_TRUE(ejWarn.text.startsWith(
        QStringLiteral("原文と翻訳文が対になっている文書において、原文をタグに基づいて削除しましたが、削除した部分に全角文字が含まれています。\r\n\r\n次のステップで")));
    EXPECT_TRUE(ejWarn.text.endsWith(QStringLiteral("本プログラムの開発者に連絡してください")));

    const auto ejOk = engine::DeletionCheckMessage(true, true);
    EXPECT_EQ(ejOk.title, QStringLiteral("全角文字が含まれていないことを確認"));
    EXPECT_FALSE(ejOk.exclamation);
    EXPECT_EQ(ejOk.text,
              QStringLiteral("原文と翻訳文が対になっている文書において、原文をタグに基づいて削除しました。\r\n\r\n"
                             "削除した部分に全角文字が含まれていないことを確認しました。\r\n\r\n"
                             "しかし念のため、削除された文が意図した文であるか確認してください。\r\n\r\n"
                             "必要であればバックアップファイルから元の文書を復元し、タグを整えてから再度実行してください"));

    const auto jeWarn = engine::DeletionCheckMessage(false, false);
    EXPECT_EQ(jeWarn.title, QStringLiteral("注意：半角文字が５％以上含まれている文があります"));
    EXPECT_TRUE(jeWarn.exclamation);
    EXPECT_EQ(jeWarn.text.split(QStringLiteral("\r\n\r\n")).size(), 2);
    EXPECT_TRUE(jeWarn.text.contains(QStringLiteral("削除した部分に半角文字が５％以上含まれている文があります。")));

    const auto jeOk = engine::DeletionCheckMessage(false, true);
    EXPECT_EQ(jeOk.title, QStringLiteral("半角文字が５％以上含まれている文がないことを確認"));
    EXPECT_FALSE(jeOk.exclamation);
    EXPECT_TRUE(jeOk.text.contains(QStringLiteral("\r\n\r\n削除した部分に半角文字が５％以上含まれている文がないことを確認しました。\r\n\r\n")));
}

class DeletionCheck : public TaggedDocTest {
protected:
    engine::DeletionReportPaths paths(bool ej) const {
        return engine::MakeDeletionReportPaths(path(QStringLiteral("doc.docx")), ej);
    }
    void writeDeleted(const QStringList& paragraphs) {
        QByteArray bytes;
        for (const QString& p : paragraphs) bytes += cp(p + QStringLiteral("\r\r\n"));
        QFile f(deletedTextPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static void writeFile(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(DeletionCheck, EnglishSourceWithJapaneseLineWarnsAndOpensBothReports) {
    writeDeleted({"Heat to 20°C.", "It’s 日本語 here.", "Plain."});
    engine::CheckDeletedText(host, paths(true), true);

    EXPECT_EQ(bytesOf(findingEjPath()), cp(QStringLiteral("It_s 日本語 here.\r\n")));
    // One empty line per record, and the pure-ASCII line.
    EXPECT_EQ(bytesOf(halfWidthPath()), QByteArray("\r\n\r\nPlain.\r\n\r\n"));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, QStringLiteral("注意：全角文字が含まれています"));
    EXPECT_TRUE(host.messages[0].exclamation);
    EXPECT_EQ(host.openedFiles, QStringList({findingEjPath(), deletedTextPath()}));
    // The message comes before the reports open; the progress ends at 78.
    const qsizetype messageAt = host.events.indexOf(QRegularExpression(QStringLiteral("^message:.*")));
    const qsizetype openAt = host.events.indexOf(QRegularExpression(QStringLiteral("^open:.*")));
    EXPECT_LT(messageAt, openAt);
    EXPECT_EQ(host.progressValues, std::vector<double>({74, 76, 78}));
    EXPECT_TRUE(host.statuses.contains(QStringLiteral("最終処理")));
}

TEST_F(DeletionCheck, PlainEnglishConfirmsRemovesTheFindingReportAndOpensTheDeletedText) {
    writeDeleted({"Heat to 20°C.", "All plain."});
    engine::CheckDeletedText(host, paths(true), true);
    EXPECT_FALSE(QFile::exists(findingEjPath()));
    EXPECT_TRUE(QFile::exists(halfWidthPath()));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, QStringLiteral("全角文字が含まれていないことを確認"));
    EXPECT_FALSE(host.messages[0].exclamation);
    EXPECT_EQ(host.openedFiles, QStringList({deletedTextPath()}));
}

TEST_F(DeletionCheck, NothingDeletedLeavesOnlyTheEmptyDeletedTextFile) {
    writeDeleted({});
    engine::CheckDeletedText(host, paths(false), false);
    EXPECT_TRUE(QFile::exists(deletedTextPath()));
    EXPECT_FALSE(QFile::exists(findingJePath()));
    EXPECT_FALSE(QFile::exists(halfWidthPath()));
    EXPECT_EQ(host.messages.at(0).title, QStringLiteral("半角文字が５％以上含まれている文がないことを確認"));
    EXPECT_EQ(host.openedFiles, QStringList({deletedTextPath()}));
}

TEST_F(DeletionCheck, JapaneseSourceReportsLinesByTheirHalfWidthShare) {
    const QString none = mixed(20, 0);
    const QString five = mixed(20, 1);
    const QString ten = mixed(20, 2);
    writeDeleted({none, five, ten});
    engine::CheckDeletedText(host, paths(false), false);
    EXPECT_EQ(textOf(findingJePath()), five + "\r\n" + ten + "\r\n");
    EXPECT_EQ(textOf(halfWidthPath()), QStringLiteral("\r\n\r\n") + ten + "\r\n\r\n");
    EXPECT_EQ(host.messages.at(0).title, QStringLiteral("注意：半角文字が５％以上含まれている文があります"));
    EXPECT_TRUE(host.messages.at(0).exclamation);
    EXPECT_EQ(host.openedFiles, QStringList({findingJePath(), deletedTextPath()}));
}

TEST_F(DeletionCheck, AllJapaneseDeletedTextIsConfirmed) {
    writeDeleted({mixed(30, 0), QStringLiteral("【０００１】本発明は、装置に関する。")});
    engine::CheckDeletedText(host, paths(false), false);
    EXPECT_FALSE(QFile::exists(findingJePath()));
    EXPECT_EQ(host.messages.at(0).title, QStringLiteral("半角文字が５％以上含まれている文がないことを確認"));
    // The empty lines keep the half-width report.
    EXPECT_EQ(bytesOf(halfWidthPath()), QByteArray("\r\n\r\n"));
}

TEST_F(DeletionCheck, ReportsOfAnEarlierRunAreReplaced) {
    writeFile(findingEjPath(), "old finding\r\n");
    writeFile(halfWidthPath(), "old half\r\n");
    writeDeleted({"日本語"});
    engine::CheckDeletedText(host, paths(true), true);
    EXPECT_EQ(bytesOf(findingEjPath()), cp(QStringLiteral("日本語\r\n")));
    EXPECT_EQ(bytesOf(halfWidthPath()), QByteArray("\r\n"));

    host.clear();
    writeDeleted({"English"});
    engine::CheckDeletedText(host, paths(true), true);
    EXPECT_FALSE(QFile::exists(findingEjPath()));
    EXPECT_EQ(bytesOf(halfWidthPath()), QByteArray("English\r\n\r\n"));
}

TEST_F(DeletionCheck, MissingDeletedTextFileIsAnError) {
    EXPECT_THROW(engine::CheckDeletedText(host, paths(true), true), word::Error);
    EXPECT_TRUE(host.openedFiles.isEmpty());
}

// End to end: the deleted text of a run is checked and reported.
TEST_F(DeletionCheck, TaskRunChecksWhatItDeleted) {
    writeDoc({"--/H", "The device is heated to 20°C.", "装置を20℃に加熱する。", "--/E", "装置を示す。",
              "It shows the device.", "--/Z", ""});
    runTask2();
    // The second source is Japanese: a tag was out of place.
    EXPECT_EQ(textOf(findingEjPath()), QStringLiteral("装置を示す。\r\n"));
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages[0].title, QStringLiteral("注意：全角文字が含まれています"));
    EXPECT_EQ(host.openedFiles, QStringList({findingEjPath(), deletedTextPath()}));
    EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Completed);

    // A second run on the result replaces the reports of the first.
    host.clear();
    writeDoc({"--/H", "Only English.", "英語のみ。", "--/Z", ""});
    runTask2();
    EXPECT_FALSE(QFile::exists(findingEjPath()));
    EXPECT_EQ(textOf(deletedTextPath()), QStringLiteral("Only English.\r\r\n"));
    EXPECT_EQ(textOf(halfWidthPath()), QStringLiteral("Only English.\r\n\r\n"));
    EXPECT_EQ(host.messages.at(0).title, QStringLiteral("全角文字が含まれていないことを確認"));
}
