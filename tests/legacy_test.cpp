#include "word/legacy/legacy.h"

#include "engine/runner/task_runner.h"
#include "support/compound_file_builder.h"
#include "support/docx_builder.h"
#include "support/recording_host.h"
#include "word/automation.h"
#include "word/legacy/compound_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

using word::legacy::Format;

namespace {

const QString kCorpusDoc = QStringLiteral(KALVENDO_CORPUS_DIR "/doc");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Sets PATH for the life of the object.
class PathOverride {
public:
    explicit PathOverride(const QByteArray& path) : old_(qgetenv("PATH")) { qputenv("PATH", path); }
    ~PathOverride() { qputenv("PATH", old_); }

private:
    QByteArray old_;
};

TEST(LegacyFormat, IsDecidedFromTheFirstBytesNotTheName) {
    QTemporaryDir dir;
    // A .docx package saved under a .doc name is still a package.
    testsupport::writeDocx(dir.filePath("saved-as.doc"), testsupport::para("本文"));
    EXPECT_EQ(word::legacy::detectFormat(dir.filePath("saved-as.doc")), Format::Docx);
    // RTF under .doc and .docx names.
    writeFile(dir.filePath("rtf.doc"), "{\\rtf1\\ansi hello}");
    writeFile(dir.filePath("rtf.docx"), "{\\rtf1\\ansi hello}");
    EXPECT_EQ(word::legacy::detectFormat(dir.filePath("rtf.doc")), Format::Rtf);
    EXPECT_EQ(word::legacy::detectFormat(dir.filePath("rtf.docx")), Format::Rtf);
    // An OLE compound file named .docx.
    writeFile(dir.filePath("ole.docx"), QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0'));
    EXPECT_EQ(word::legacy::detectFormat(dir.filePath("ole.docx")), Format::Word97);
    // Real Word 97-2003 files.
    const QStringList docs = QDir(kCorpusDoc).entryList({"*.doc"}, QDir::Files);
    ASSERT_FALSE(docs.isEmpty());
    for (const QString& name : docs)
        EXPECT_EQ(word::legacy::detectFormat(kCorpusDoc + "/" + name), Format::Word97) << name.toStdString();
    // Plain text, an empty file, a truncated signature and a missing file.
    writeFile(dir.filePath("text.doc"), "just text");
    writeFile(dir.filePath("empty.doc"), "");
    writeFile(dir.filePath("short.doc"), "\xD0\xCF");
    EXPECT_EQ(word::legacy::detectFormat(dir.filePath("text.doc")), Format::Other);
    EXPECT_EQ(word::legacy::detectFormat(dir.filePath("empty.doc")), Format::Other);
    EXPECT_EQ(word::legacy::detectFormat(dir.filePath("short.doc")), Format::Other);
    EXPECT_EQ(word::legacy::detectFormat(dir.filePath("missing.doc")), Format::Other);
}

class LegacyConversion : public ::testing::Test {
protected:
    void SetUp() override {
        input = dir.filePath("spec.doc");
        ASSERT_TRUE(QFile::copy(kCorpusDoc + "/apache__poi__Lists.doc", input));
        inputBytes = readAll(input);
        inputTime = QFileInfo(input).lastModified();
    }
    void TearDown() override { word::legacy::setTimeLimitForTesting(0); }

    void expectInputUntouched() {
        EXPECT_EQ(readAll(input), inputBytes);
        EXPECT_EQ(QFileInfo(input).lastModified(), inputTime);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"spec.doc"}));
    }

    // A stand-in for soffice in a folder of its own, put first on PATH.
    QString fakeSoffice(const QByteArray& script) {
        QDir(dir.path()).mkdir("bin");
        const QString path = dir.filePath("bin/soffice");
        writeFile(path, "#!/bin/sh\n" + script);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return dir.filePath("bin");
    }
    void expectInputUntouchedBesideBin() {
        EXPECT_EQ(readAll(input), inputBytes);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"spec.doc"}));
    }

    QTemporaryDir dir;
    QString input;
    QByteArray inputBytes;
    QDateTime inputTime;
};

TEST_F(LegacyConversion, WithoutLibreOfficeTheMessageSaysWhatToInstallAndNothingIsWritten) {
    PathOverride path("");
    try {
        word::legacy::convertToDocx(input, Format::Word97);
        FAIL() << "expected word::Error";
    } catch (const word::Error& e) {
        EXPECT_TRUE(e.message().contains("LibreOffice")) << e.what();
        EXPECT_TRUE(e.message().contains("libreoffice-writer-nogui")) << e.what();
    }
    EXPECT_THROW(word::legacy::convertBack(input, Format::Word97, dir.filePath("out.doc")), word::Error);
    expectInputUntouched();
}

TEST_F(LegacyConversion, ATaskOnADocWithoutLibreOfficeCannotOpenItAndSaysWhatToInstall) {
    PathOverride path("");
    testsupport::RecordingHost host;
    engine::TaskRunner runner(host);
    host.filePathText = input;
    runner.RunTask(1);
    EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::OpenFailed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].text.contains("libreoffice-writer-nogui")) << host.messages[0].text.toStdString();
    expectInputUntouched();
}

TEST_F(LegacyConversion, AConversionThatWritesNothingIsAFailureEvenWithExitCodeZero) {
    PathOverride path(fakeSoffice("echo 'Error: source file could not be loaded'\nexit 0\n").toUtf8());
    try {
        word::legacy::convertToDocx(input, Format::Word97);
        FAIL() << "expected word::Error";
    } catch (const word::Error& e) {
        EXPECT_TRUE(e.message().contains("spec.doc")) << e.what();
        EXPECT_TRUE(e.message().contains("source file could not be loaded")) << e.what();
    }
    expectInputUntouchedBesideBin();
}

TEST_F(LegacyConversion, AFailingConversionReportsItsExitCodeAndLeavesTheTargetAlone) {
    PathOverride path(fakeSoffice("echo 'boom' >&2\nexit 3\n").toUtf8());
    writeFile(dir.filePath("target.doc"), "old content");
    try {
        word::legacy::convertBack(input, Format::Word97, dir.filePath("target.doc"));
        FAIL() << "expected word::Error";
    } catch (const word::Error& e) {
        EXPECT_TRUE(e.message().contains("3")) << e.what();
        EXPECT_TRUE(e.message().contains("boom")) << e.what();
    }
    EXPECT_EQ(readAll(dir.filePath("target.doc")), "old content");
}

TEST_F(LegacyConversion, AConversionThatOverrunsTheTimeLimitIsEndedWithItsChildren) {
    const QString pidFile = dir.filePath("child.pid");
    PathOverride path(fakeSoffice(("/bin/sleep 60 &\necho $! > '" + pidFile + "'\nwait\n").toUtf8()).toUtf8());
    word::legacy::setTimeLimitForTesting(2);
    QElapsedTimer timer;
    timer.start();
    try {
        word::legacy::convertToDocx(input, Format::Word97);
        FAIL() << "expected word::Error";
    } catch (const word::Error& e) {
        EXPECT_TRUE(e.message().contains("2 秒")) << e.what();
    }
    EXPECT_LT(timer.elapsed(), 15000);
    // The launcher's child is gone too (or a zombie waiting to be reaped).
    // On a busy machine the launcher may be ended before it started its
    // child; then there is no child to look for.
    const QByteArray pid = readAll(pidFile).trimmed();
    const QByteArray stat = pid.isEmpty() ? QByteArray() : readAll("/proc/" + pid + "/stat");
    if (!stat.isEmpty()) {
        EXPECT_TRUE(stat.contains(") Z")) << stat.constData();
    }
    QFile::remove(pidFile);
    expectInputUntouchedBesideBin();
}

TEST_F(LegacyConversion, AStopDuringTheConversionEndsItsProcessGroupAndLeavesNothingBehind) {
    const QString pidFile = dir.filePath("child.pid");
    PathOverride path(fakeSoffice(("/bin/sleep 60 &\necho $! > '" + pidFile + "'\nwait\n").toUtf8()).toUtf8());
    QDir(dir.path()).mkdir("tmp");
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", dir.filePath("tmp").toUtf8());
    testsupport::RecordingHost host;
    engine::TaskRunner runner(host);
    host.filePathText = input;
    // The window's 中止 arrives while the status shows the conversion's time.
    host.onDoEvents = [&] {
        if (!host.statuses.isEmpty() && host.statuses.constLast().startsWith("LibreOffice で変換中… ")) runner.RequestStop();
    };
    QElapsedTimer timer;
    timer.start();
    runner.RunTask(1);
    qputenv("TMPDIR", oldTemp);
    EXPECT_LT(timer.elapsed(), 15000);
    EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Stopped);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.log.endsWith(" .. 処理中断：中止しました")) << host.log.toStdString();
    EXPECT_TRUE(QDir(dir.filePath("tmp")).isEmpty());
    const QByteArray pid = readAll(pidFile).trimmed();
    const QByteArray stat = pid.isEmpty() ? QByteArray() : readAll("/proc/" + pid + "/stat");
    if (!stat.isEmpty()) {
        EXPECT_TRUE(stat.contains(") Z")) << stat.constData();
    }
    QFile::remove(pidFile);
    QDir(dir.filePath("tmp")).removeRecursively();
    expectInputUntouchedBesideBin();
}

// Judged from the file's structure before LibreOffice sees it (given a
// compound file without a Word document, LibreOffice imports its bytes as
// text and exits 0): refused with a clear message, the input untouched.
TEST_F(LegacyConversion, ACompoundFileThatIsNoReadableWordDocumentIsRefused) {
    using testsupport::compoundFile;
    using testsupport::wordDocumentStream;
    QByteArray wrongIdentifier = wordDocumentStream(false);
    wrongIdentifier[0] = 'x';
    const QByteArray ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    const struct {
        const char* name;
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"workbook", compoundFile({{"Workbook", QByteArray(5000, 'x')}}), "Word 文書として読めませんでした"},
        {"wrong identifier", compoundFile({{"WordDocument", wrongIdentifier}}), "Word 文書として読めませんでした"},
        {"damaged header", ole + QByteArray(2000, '\x7F'), "Word 文書として読めませんでした"},
        {"rc4", compoundFile({{"WordDocument", wordDocumentStream(true)}, {"1Table", QByteArray(4096, '\0')}}),
         "パスワード"},
        {"encrypted package", compoundFile({{"EncryptionInfo", QByteArray(200, '\1')}, {"EncryptedPackage", QByteArray(5000, '\2')}}),
         "パスワード"},
    };
    testsupport::RecordingHost host;
    engine::TaskRunner runner(host);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(input, c.bytes);
        host.clear();
        host.filePathText = input;
        runner.RunTask(1);
        EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::OpenFailed);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_TRUE(host.messages[0].text.contains(QString::fromUtf8(c.message)) && host.messages[0].text.contains("spec.doc"))
            << host.messages[0].text.toStdString();
        EXPECT_EQ(readAll(input), c.bytes);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"spec.doc"}));
    }
    // A readable document passes the same look.
    EXPECT_EQ(word::legacy::ClassifyWordFile(compoundFile({{"WordDocument", wordDocumentStream(false)}})),
              word::legacy::WordFileKind::Readable);
    for (const QString& name : QDir(kCorpusDoc).entryList({"*.doc"}, QDir::Files))
        EXPECT_EQ(word::legacy::ClassifyWordFile(readAll(kCorpusDoc + "/" + name)), word::legacy::WordFileKind::Readable)
            << name.toStdString();
}

// A run that was killed leaves its conversion folder; the next conversion
// removes the folders of processes that no longer run, and no other.
TEST_F(LegacyConversion, WorkFoldersOfEndedProcessesAreRemoved) {
    const QString dead = QDir::tempPath() + "/kalvendo-lo-2147483600-abcdef";
    const QString live = QDir::tempPath() + "/kalvendo-lo-1-abcdef";
    ASSERT_TRUE(QDir().mkpath(dead + "/profile") && QDir().mkpath(live));
    PathOverride path(fakeSoffice("exit 0\n").toUtf8());
    EXPECT_THROW(word::legacy::convertToDocx(input, Format::Word97), word::Error);
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo::exists(live));
    QDir(live).removeRecursively();
    // Nor is the folder of this run left behind.
    const QStringList own = QDir(QDir::tempPath()).entryList({QStringLiteral("kalvendo-lo-%1-*").arg(::getpid())}, QDir::Dirs);
    EXPECT_TRUE(own.isEmpty()) << own.join(' ').toStdString();
}

}  // namespace
