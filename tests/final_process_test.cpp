// The save step: backup names, the size text, the exchange of the files, and
// what is left on disk when any step of it fails.

#include "engine/runner/task_runner.h"
#include "support/task_test_util.h"
#include "word/backup.h"

#include <gtest/gtest.h>

#include <unistd.h>

using engine::RunOutcome;
using engine::SaveStep;
using testsupport::RecordingHost;

namespace {

TEST(BackupNames, DocKeepsDocAndOtherExtensionsKeepTheirOwn) {
    using word::backup::Candidate;
    EXPECT_EQ(Candidate("/work/spec.doc", 1), "/work/spec-bak1.doc");
    EXPECT_EQ(Candidate("/work/A.DOC", 12), "/work/A-bak12.doc");
    EXPECT_EQ(Candidate("/work/spec.docx", 1), "/work/spec-bak1.docx");
    EXPECT_EQ(Candidate("/work/spec.DOCX", 100), "/work/spec-bak100.DOCX");
    EXPECT_EQ(Candidate("/work/v1.2/spec", 3), "/work/v1.2/spec-bak3");
    EXPECT_EQ(Candidate("/work/.hidden", 1), "/work/.hidden-bak1");
}

TEST(BackupNames, FirstFreeNumberFillsGapsAndStopsAtTheLimit) {
    QTemporaryDir dir;
    const QString doc = dir.filePath("spec.doc");
    auto touch = [&](int n) {
        QFile f(word::backup::Candidate(doc, n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    EXPECT_EQ(word::backup::FirstFreeBackup(doc), dir.filePath("spec-bak1.doc"));
    touch(1);
    touch(3);
    EXPECT_EQ(word::backup::FirstFreeBackup(doc), dir.filePath("spec-bak2.doc"));
    for (int n = 2; n <= 100; ++n)
        if (n != 3) touch(n);
    EXPECT_EQ(word::backup::FirstFreeBackup(doc), std::nullopt);
}

TEST(SizeText, ThousandsOfBytesWithOneDecimal) {
    using word::backup::SizeText;
    EXPECT_EQ(SizeText(12345), " 12.3");
    EXPECT_EQ(SizeText(12000), " 12");
    EXPECT_EQ(SizeText(500), " .5");
    EXPECT_EQ(SizeText(999960), " 1000");
    EXPECT_EQ(SizeText(1024000), " 1024");
    EXPECT_EQ(SizeText(160), " .2");
    EXPECT_EQ(SizeText(12350), " 12.4");
    EXPECT_EQ(SizeText(10), " 0");
}

class SaveTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingHost host;
    engine::TaskRunner runner{host};
    QString doc;
    QByteArray original;

    void SetUp() override {
        doc = dir.filePath("spec.docx");
        testsupport::writeDocx(doc, testsupport::paras({"【０００３】", "　本文。", "【０００９】", "　次文。"}));
        original = testsupport::fileBytes(doc);
        host.filePathText = doc;
    }
    QString bak(int n) const { return word::backup::Candidate(doc, n); }
    QStringList renumbered() const { return {"【０００１】", "　本文。", "【０００２】", "　次文。"}; }
};

TEST_F(SaveTest, ResultTakesTheNameAndTheInputBecomesBackupOne) {
    runner.RunTask(1);
    ASSERT_EQ(runner.LastOutcome(), RunOutcome::Completed);
    EXPECT_EQ(testsupport::storyParagraphs(doc), renumbered());
    EXPECT_EQ(testsupport::fileBytes(bak(1)), original);
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"spec-bak1.docx", "spec.docx"}));
    EXPECT_TRUE(host.log.endsWith(" .. 保存成功：" + doc + " " + word::backup::SizeText(QFileInfo(doc).size()) +
                                  "kB\r\n .. 処理完了-ユーザ操作待ち"))
        << host.log.toStdString();
    // The run ended normally: the engine was quit and released.
    EXPECT_EQ(runner.WordApplication(), nullptr);
    EXPECT_EQ(runner.OpenDocument(), nullptr);
}

TEST_F(SaveTest, BackupsAccumulateAndAGapIsFilledFirst) {
    // Each run finds a gap to close (a run that changes nothing saves nothing).
    auto addGap = [&] {
        QStringList lines = testsupport::storyParagraphs(doc);
        lines << "【０００９】" << "　追加。";
        testsupport::writeDocx(doc, testsupport::paras(lines));
    };
    runner.RunTask(1);
    addGap();
    const QByteArray afterFirst = testsupport::fileBytes(doc);
    runner.RunTask(1);
    EXPECT_EQ(testsupport::fileBytes(bak(1)), original);
    EXPECT_EQ(testsupport::fileBytes(bak(2)), afterFirst);
    QFile::remove(bak(1));
    addGap();
    const QByteArray beforeThird = testsupport::fileBytes(doc);
    runner.RunTask(1);
    EXPECT_EQ(testsupport::fileBytes(bak(1)), beforeThird);
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"spec-bak1.docx", "spec-bak2.docx", "spec.docx"}));
}

TEST_F(SaveTest, DocNamedDocumentKeepsTheDocBackupName) {
    const QString docPath = dir.filePath("spec.doc");
    QFile::rename(doc, docPath);
    host.filePathText = docPath;
    runner.RunTask(1);
    EXPECT_EQ(testsupport::fileBytes(dir.filePath("spec-bak1.doc")), original);
    EXPECT_EQ(testsupport::storyParagraphs(docPath), renumbered());
}

TEST_F(SaveTest, AllHundredBackupsExist_NothingIsWritten) {
    for (int n = 1; n <= 100; ++n) {
        QFile f(bak(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(n));
    }
    runner.RunTask(1);
    EXPECT_EQ(runner.LastOutcome(), RunOutcome::Aborted);
    ASSERT_EQ(host.messages.size(), 1u);
    const QString message = host.messages[0].text;
    EXPECT_TRUE(message.contains(doc) && message.contains(bak(1)) && message.contains(bak(100))) << message.toStdString();
    EXPECT_TRUE(message.contains("削除")) << message.toStdString();
    EXPECT_TRUE(host.log.contains(" .. 処理中断：" + message));
    EXPECT_EQ(testsupport::fileBytes(doc), original);
    EXPECT_EQ(testsupport::fileBytes(bak(100)), "100");
    EXPECT_EQ(testsupport::folderEntries(dir.path()).size(), 101);
    EXPECT_EQ(runner.WordApplication(), nullptr);
}

TEST_F(SaveTest, FolderThatCannotBeWrittenLeavesTheInput) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not apply to root";
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    runner.RunTask(1);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(runner.LastOutcome(), RunOutcome::Aborted);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_FALSE(host.messages[0].text.isEmpty());
    EXPECT_EQ(testsupport::fileBytes(doc), original);
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"spec.docx"}));
}

}  // namespace
