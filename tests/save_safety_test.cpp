// The save as the user's files see it: at every step of it (failing there, or
// the process ending there) the input is either under the document's name or
// under a backup name beside the complete result; the document's mode, owner,
// link and name stay; a full disk, a vanished input and a long name end in an
// honest outcome.

#include "engine/runner/task_runner.h"
#include "support/tagged_docs.h"
#include "support/task_test_util.h"
#include "word/backup.h"

#include "word/atomic_file.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using engine::RunOutcome;
using engine::SaveStep;
using testsupport::fileBytes;
using testsupport::folderEntries;
using testsupport::RecordingHost;

namespace {

// A process id no process has (above any pid_max), for leftovers of a killed run.
const QString kDeadPid = QStringLiteral("2147483600");

const std::vector<SaveStep> kEverySaveStep = {SaveStep::ChooseBackup,     SaveStep::WriteResult,
                                              SaveStep::KeepModeAndOwner, SaveStep::Close,
                                              SaveStep::KeepInputAsBackup, SaveStep::MoveResultIntoPlace,
                                              SaveStep::ReadSize};

struct stat StatOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

class SaveSafety : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingHost host;
    engine::TaskRunner runner{host};
    QString doc;
    QByteArray original;

    void SetUp() override { makeDocument(dir.path(), QStringLiteral("spec.docx")); }
    void makeDocument(const QString& folder, const QString& name) {
        doc = folder + u'/' + name;
        testsupport::writeDocx(doc, testsupport::paras({"【０００３】", "　本文。", "【０００９】", "　次文。"}));
        original = fileBytes(doc);
        host.filePathText = doc;
    }
    static QStringList renumbered() { return {"【０００１】", "　本文。", "【０００２】", "　次文。"}; }

    // The invariant, checked on the files as they are at this instant: the
    // document holds the input, or the complete result with the input under a
    // backup name; no backup name holds anything but the input.
    static void ExpectInputOrResultWithBackup(const QString& folder, const QByteArray& original, const QString& when) {
        const QString document = folder + QStringLiteral("/spec.docx");
        bool inputBackedUp = false;
        for (const QString& name : QDir(folder).entryList({"spec-bak*.docx"}, QDir::Files)) {
            EXPECT_EQ(fileBytes(folder + u'/' + name), original) << name.toStdString() << " at " << when.toStdString();
            inputBackedUp = true;
        }
        if (fileBytes(document) == original) return;
        EXPECT_TRUE(inputBackedUp) << "the input has no name at " << when.toStdString();
        EXPECT_EQ(testsupport::storyParagraphs(document), renumbered()) << when.toStdString();
    }
};

// The process ending at each step: the files at that instant hold the
// invariant, and the next run on the document finds what the killed one left
// (its temporary files, a second name of the input, the ".$$$" of earlier
// versions) and saves cleanly; a live process's temporary file stays.
TEST_F(SaveSafety, KilledAtAnyStepTheNextRunCleansUpAndSaves) {
    for (const char* name : {".~kv1-live.tmp", "spec-bak1.docx.$$$"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    std::vector<std::pair<QString, std::unique_ptr<QTemporaryDir>>> snapshots;
    const QString ownTemporary = QStringLiteral(".~kv%1-").arg(::getpid());
    runner.SetSaveStepHookForTest([&](SaveStep step) {
        const QString when = QStringLiteral("step %1").arg(int(step));
        ExpectInputOrResultWithBackup(dir.path(), original, when);
        // The folder as a killed run leaves it: the same files (hard links keep
        // a second name of the input a second name), temporaries of a dead process.
        auto copy = std::make_unique<QTemporaryDir>();
        for (const QString& name : folderEntries(dir.path())) {
            QString copied = name;
            copied.replace(ownTemporary, QStringLiteral(".~kv%1-").arg(kDeadPid));
            ASSERT_EQ(::link(QFile::encodeName(dir.filePath(name)).constData(),
                             QFile::encodeName(copy->filePath(copied)).constData()), 0);
        }
        snapshots.emplace_back(when, std::move(copy));
    });
    runner.RunTask(1);
    ASSERT_EQ(runner.LastOutcome(), RunOutcome::Completed);
    ASSERT_EQ(snapshots.size(), kEverySaveStep.size());

    for (auto& [when, copy] : snapshots) {
        RecordingHost nextHost;
        engine::TaskRunner next(nextHost);
        nextHost.filePathText = copy->filePath("spec.docx");
        next.RunTask(1);
        EXPECT_EQ(next.LastOutcome(), RunOutcome::Completed) << when.toStdString();
        const QStringList left = folderEntries(copy->path());
        EXPECT_EQ(left.filter(QRegularExpression("^\\.~kv|\\$")), QStringList({".~kv1-live.tmp"}))
            << when.toStdString() << left.join(' ').toStdString();
        EXPECT_EQ(fileBytes(copy->filePath("spec-bak1.docx")), original) << when.toStdString();
        EXPECT_EQ(testsupport::storyParagraphs(copy->filePath("spec.docx")), renumbered()) << when.toStdString();
    }
}

// Each step failing in turn: the input stays under its name with its bytes,
// nothing is left beside it, and the message names the document in Japanese.
TEST_F(SaveSafety, AFailingStepLeavesTheInputAndNothingBeside) {
    for (const SaveStep failing : kEverySaveStep) {
        if (failing == SaveStep::ReadSize) continue;  // the save is complete by then
        SCOPED_TRACE(int(failing));
        host.clear();
        runner.SetSaveStepHookForTest([&](SaveStep step) {
            ExpectInputOrResultWithBackup(dir.path(), original, QStringLiteral("before failing"));
            if (step == failing) throw word::files::FileError("書き込み", dir.filePath(".~kv1-x.tmp"), ENOSPC);
        });
        runner.RunTask(1);
        EXPECT_EQ(runner.LastOutcome(), RunOutcome::Aborted);
        EXPECT_EQ(fileBytes(doc), original);
        EXPECT_EQ(folderEntries(dir.path()), QStringList({"spec.docx"}));
        ASSERT_EQ(host.messages.size(), 1u);
        const QString message = host.messages[0].text;
        EXPECT_TRUE(message.contains(doc) && message.contains("ディスクがいっぱい")) << message.toStdString();
        EXPECT_FALSE(message.contains("bak") || message.contains(".~kv")) << message.toStdString();
    }
    runner.SetSaveStepHookForTest({});
    runner.RunTask(1);
    EXPECT_EQ(runner.LastOutcome(), RunOutcome::Completed);
    EXPECT_EQ(fileBytes(dir.filePath("spec-bak1.docx")), original);
}

// Mode, owner and group of the document stay on the result and the backup.
TEST_F(SaveSafety, ModeOwnerAndGroupStayOnResultAndBackup) {
    const bool root = ::geteuid() == 0;
    for (const mode_t mode : {0600, 0640, 0604, 0660}) {
        SCOPED_TRACE(mode);
        for (const QString& name : folderEntries(dir.path())) QFile::remove(dir.filePath(name));
        makeDocument(dir.path(), "spec.docx");
        ASSERT_EQ(::chmod(QFile::encodeName(doc).constData(), mode), 0);
        if (root) {
            ASSERT_EQ(::chown(QFile::encodeName(doc).constData(), 4321, 4322), 0);
        }
        const struct stat before = StatOf(doc);
        runner.RunTask(1);
        ASSERT_EQ(runner.LastOutcome(), RunOutcome::Completed);
        for (const QString& path : {doc, dir.filePath("spec-bak1.docx")}) {
            const struct stat after = StatOf(path);
            EXPECT_EQ(after.st_mode & 07777, mode) << path.toStdString();
            EXPECT_EQ(after.st_uid, before.st_uid) << path.toStdString();
            EXPECT_EQ(after.st_gid, before.st_gid) << path.toStdString();
        }
        EXPECT_EQ(testsupport::storyParagraphs(doc), renumbered());
    }
}

TEST_F(SaveSafety, ASymbolicLinkStaysALinkAndItsTargetIsSaved) {
    QFile::remove(doc);
    QDir(dir.path()).mkdir("store");
    makeDocument(dir.filePath("store"), "spec.docx");
    const QString target = doc;
    const QString link = dir.filePath("link.docx");
    ASSERT_TRUE(QFile::link(target, link));
    host.filePathText = link;
    runner.RunTask(1);
    ASSERT_EQ(runner.LastOutcome(), RunOutcome::Completed);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
    EXPECT_EQ(testsupport::storyParagraphs(target), renumbered());
    EXPECT_EQ(fileBytes(dir.filePath("store/spec-bak1.docx")), original);
    EXPECT_EQ(folderEntries(dir.path()), QStringList({"link.docx"}));
    EXPECT_TRUE(host.log.contains(" .. 保存成功：" + link)) << host.log.toStdString();
}

// A document without write permission (for root: without any write bit) is
// refused before anything is written, in the window and on the command line.
TEST_F(SaveSafety, AReadOnlyDocumentIsRefusedBeforeAnythingIsWritten) {
    ASSERT_TRUE(QFile::setPermissions(doc, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    for (const short code : {0, 1, 2}) {
        host.clear();
        runner.RunTask(code);
        EXPECT_EQ(runner.LastOutcome(), RunOutcome::Refused) << code;
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_TRUE(host.messages[0].text.contains(doc) && host.messages[0].text.contains("読み取り専用"))
            << host.messages[0].text.toStdString();
    }
    const testsupport::CliResult cli = testsupport::cli({"--task", "1", doc});
    EXPECT_EQ(cli.exitCode, 1);
    EXPECT_TRUE(cli.err.contains("読み取り専用") && cli.err.contains(doc)) << cli.err.toStdString();
    EXPECT_EQ(fileBytes(doc), original);
    EXPECT_EQ(folderEntries(dir.path()), QStringList({"spec.docx"}));
    // The HTML task writes beside the document and does not need to replace it.
    runner.RunTask(5);
    EXPECT_EQ(runner.LastOutcome(), RunOutcome::Completed);
}

// The input deleted or moved while the task runs: the result is kept under
// the document's name (there is nothing to back up), and the log says so.
TEST_F(SaveSafety, AnInputThatVanishesDuringTheRunLosesNoResult) {
    for (const bool moved : {false, true}) {
        SCOPED_TRACE(moved);
        for (const QString& name : folderEntries(dir.path())) QFile::remove(dir.filePath(name));
        makeDocument(dir.path(), "spec.docx");
        host.clear();
        runner.SetSaveStepHookForTest([&](SaveStep step) {
            if (step != SaveStep::Close) return;
            if (moved)
                QFile::rename(doc, dir.filePath("moved.docx"));
            else
                QFile::remove(doc);
        });
        runner.RunTask(1);
        EXPECT_EQ(runner.LastOutcome(), RunOutcome::Completed);
        EXPECT_EQ(testsupport::storyParagraphs(doc), renumbered());
        EXPECT_EQ(folderEntries(dir.path()), moved ? QStringList({"moved.docx", "spec.docx"}) : QStringList({"spec.docx"}));
        EXPECT_TRUE(host.log.contains("バックアップはありません")) << host.log.toStdString();
    }
}

// The user saves another version while the task runs (a new file renamed
// over the name, or the same file rewritten), before the backup is made or
// just before the result would take the name: that version stays under the
// document's name, no backup holds it, the result is beside it under a name
// of its own, and the run says so instead of announcing a save.
TEST_F(SaveSafety, AVersionSavedDuringTheRunIsKeptAndTheResultGoesBeside) {
    for (const SaveStep when : {SaveStep::KeepInputAsBackup, SaveStep::MoveResultIntoPlace}) {
        for (const bool inPlace : {false, true}) {
            SCOPED_TRACE(testing::Message() << int(when) << " " << inPlace);
            for (const QString& name : folderEntries(dir.path())) QFile::remove(dir.filePath(name));
            makeDocument(dir.path(), "spec.docx");
            const QString users = dir.filePath("users.docx");
            testsupport::writeDocx(users, testsupport::paras({"利用者が保存した版。"}));
            const QByteArray usersVersion = fileBytes(users);
            host.clear();
            runner.SetSaveStepHookForTest([&](SaveStep step) {
                if (step != when) return;
                if (inPlace) {
                    QFile f(doc);
                    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                    f.write(usersVersion);
                    QFile::remove(users);
                } else {
                    ASSERT_TRUE(::rename(QFile::encodeName(users).constData(), QFile::encodeName(doc).constData()) == 0);
                }
            });
            runner.RunTask(1);
            EXPECT_EQ(runner.LastOutcome(), RunOutcome::Aborted);
            EXPECT_EQ(fileBytes(doc), usersVersion);
            const QString beside = dir.filePath("spec-処理結果1.docx");
            EXPECT_EQ(folderEntries(dir.path()), QStringList({"spec-処理結果1.docx", "spec.docx"}));
            EXPECT_EQ(testsupport::storyParagraphs(beside), renumbered());
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_TRUE(host.messages[0].text.contains(doc) && host.messages[0].text.contains(beside) &&
                        host.messages[0].text.contains("処理中に別の内容で保存された"))
                << host.messages[0].text.toStdString();
            EXPECT_FALSE(host.log.contains("保存成功")) << host.log.toStdString();
            EXPECT_TRUE(runner.TakeBackupsMade().isEmpty());
        }
    }
    runner.SetSaveStepHookForTest({});
}

// 80 kanji and ".docx": 245 bytes, 10 below the limit of a name.
TEST_F(SaveSafety, ADocumentNameNearTheLimitIsSaved) {
    makeDocument(dir.path(), QString(80, QChar(0x6F22)) + ".docx");
    ASSERT_EQ(QFile::encodeName(QFileInfo(doc).fileName()).size(), 245);
    // The report names of the deletion and the check grow by 19 bytes and
    // more: they keep the start of the document's name, then "…".
    for (const short code : {1, 5, 2, 6}) {
        runner.RunTask(code);
        EXPECT_EQ(runner.LastOutcome(), RunOutcome::Completed) << code << host.log.toStdString();
    }
    EXPECT_EQ(fileBytes(word::backup::Candidate(doc, 1)), original);
    EXPECT_TRUE(QFileInfo::exists(doc + ".htm"));
    const QString checkReport = dir.filePath("出願前チェック-" + QString(75, QChar(0x6F22)) + "….txt");
    EXPECT_TRUE(QFileInfo::exists(checkReport)) << folderEntries(dir.path()).join('\n').toStdString();
}

// On a full disk (a small tmpfs, filled up) the save and the HTML fail with
// the reason in Japanese, leaving the input, no half-written file and no
// report of the deletion that was not saved.
TEST_F(SaveSafety, AFullDiskIsSaidAndLeavesNothingHalfWritten) {
    const QString disk = dir.filePath("disk");
    QDir(dir.path()).mkdir("disk");
    if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): " << std::strerror(errno);
    struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(disk)};
    makeDocument(disk, "spec.docx");
    {
        QFile fill(disk + "/fill");
        ASSERT_TRUE(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (fill.write(block) == block.size()) {}
    }
    for (const short code : {1, 2, 5}) {
        host.clear();
        runner.RunTask(code);
        EXPECT_EQ(runner.LastOutcome(), RunOutcome::Aborted) << code;
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_TRUE(host.messages[0].text.contains("ディスクがいっぱい")) << host.messages[0].text.toStdString();
        EXPECT_EQ(fileBytes(doc), original);
        EXPECT_EQ(folderEntries(disk), QStringList({"fill", "spec.docx"}));
    }
}

// The deletion task's reports and closing message belong to a saved result.
class UnsavedDeletion : public testsupport::TaggedDocTest {};

TEST_F(UnsavedDeletion, ReportsAndTheCheckMessageGoWhenTheSaveFails) {
    writeDoc({"--/H", "【技術分野】", "--/M", "This is the source.", "これは訳文です。", "--/E"});
    runner.SetSaveStepHookForTest([](SaveStep step) {
        if (step == SaveStep::MoveResultIntoPlace) throw word::files::FileError("置き換え", "x", ENOSPC);
    });
    runner.RunTask(2);
    EXPECT_EQ(runner.LastOutcome(), RunOutcome::Aborted);
    EXPECT_EQ(folderEntries(dir.path()), QStringList({"doc.docx"}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].text.contains("保存できませんでした")) << host.messages[0].text.toStdString();
    EXPECT_TRUE(host.openedFiles.isEmpty());

    host.clear();
    runner.SetSaveStepHookForTest({});
    runner.RunTask(2);
    EXPECT_EQ(runner.LastOutcome(), RunOutcome::Completed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_FALSE(host.openedFiles.isEmpty());
    // The check is told after the save line, not before.
    EXPECT_LT(host.events.indexOf(QRegularExpression("log1: \\.\\. 保存成功.*")),
              host.events.indexOf(QRegularExpression("message:[\\s\\S]*")));
}

}  // namespace
