// The files the tasks write beside a document (the HTML and its pictures, the
// reports) as another user or a failing disk could meet them: a link planted at
// an output name is replaced and never followed; no file is more readable than
// the document; an export that fails leaves the earlier one whole, and one that
// succeeds leaves none of its stale pictures; leftovers of killed runs go.

#include "engine/runner/task_runner.h"
#include "support/task_test_util.h"
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
using testsupport::fileBytes;
using testsupport::folderEntries;
using testsupport::para;
using testsupport::paras;
using testsupport::paraXml;

namespace {

const QByteArray kPng = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAAAAAA6fptVAAAACklEQVR4nGP4DwABAQEAWk1v8QAAAABJRU5ErkJggg==");

// A paragraph showing picture n (relationship "rIdn", part media/pn.png).
QString picturePara(int n) {
    return paraXml(QStringLiteral("<w:r><w:drawing><wp:inline><wp:extent cx=\"9525\" cy=\"9525\"/><a:graphic>"
                                  "<a:graphicData><pic:pic><pic:blipFill><a:blip r:embed=\"rId%1\"/></pic:blipFill>"
                                  "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>")
                       .arg(n));
}

// A document of `sections` (each a 【書類名】 line and its lines) with `pictures`
// pictures, one after each 【図n】 line of the last section.
void writeDocument(const QString& path, const QStringList& lines, int pictures) {
    QString rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                   "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    std::map<QString, QByteArray> parts;
    QString body = paras(lines);
    for (int n = 1; n <= pictures; ++n) {
        rels += QStringLiteral("<Relationship Id=\"rId%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
                               "2006/relationships/image\" Target=\"media/p%1.png\"/>")
                    .arg(n);
        body += para(QStringLiteral("【図%1】").arg(n)) + picturePara(n);
        parts[QStringLiteral("word/media/p%1.png").arg(n)] = kPng;
    }
    parts["word/_rels/document.xml.rels"] = (rels + "</Relationships>").toUtf8();
    testsupport::writeDocx(path, body, parts);
}

mode_t ModeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode;
}

class DerivedFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    testsupport::RecordingHost host;
    engine::TaskRunner runner{host};
    QString doc;

    void SetUp() override {
        doc = dir.filePath("spec.docx");
        writeDocument(doc, {"【書類名】明細書", "【０００１】本文。", "【書類名】図面"}, 1);
        host.filePathText = doc;
    }
    void run(short code) {
        host.clear();
        runner.RunTask(code);
        ASSERT_EQ(runner.LastOutcome(), RunOutcome::Completed) << code << host.log.toStdString();
    }
};

// Each output name holds a link before the run: to a file of another folder
// (a victim), or to a name there that does not exist. After the run the name
// is a file of its own; the victim keeps its bytes and nothing appears where a
// link dangled.
TEST_F(DerivedFiles, LinksAtOutputNamesAreReplacedNeverFollowed) {
    struct Case {
        short code;
        bool split;  // 5: one HTML file per 【書類名】; 6: the copy with the findings as comments
        bool tagged;
        QStringList outputs;
    };
    const std::vector<Case> cases = {
        {5, false, false, {"spec.docx.htm", "spec.docx_1.png"}},
        {5, true, false, {"spec.docx-明細書.htm", "spec.docx-図面.htm", "spec.docx-図面_1.png"}},
        {6, false, false, {"出願前チェック-spec.docx.txt"}},
        {6, true, false, {"出願前チェック-spec.docx.txt", "出願前チェック-spec.docx.docx"}},
        {2, false, true,
         {"削除した原文-spec.docx.txt", "削除原文中の半角５％以上含有文-spec.docx.txt", "削除原文中の半角が多い文-spec.docx.txt"}},
    };
    QTemporaryDir elsewhere;
    for (size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.outputs.join(' ').toStdString());
        for (const QString& name : folderEntries(dir.path())) QFile::remove(dir.filePath(name));
        if (c.tagged)
            testsupport::writeDocx(doc, paras({"--/H", "【技術分野】", "--/M", "This is the source.", "これは訳文です。", "--/E"}));
        else
            writeDocument(doc, {"【書類名】明細書", "【０００１】本文。", "【書類名】図面"}, 1);
        host.options.splitDocuments = c.split;
        host.options.annotate = c.split;
        host.options.englishToJapanese = false;  // 日英: both check reports get lines
        for (int i = 0; i < c.outputs.size(); ++i) {
            for (const bool dangling : {false, true}) {
                const QString target = elsewhere.filePath(QStringLiteral("%1-%2").arg(i).arg(dangling));
                QFile::remove(target);
                if (!dangling) {
                    QFile victim(target);
                    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
                    victim.write("victim");
                }
            }
            // The links alternate between a victim and a dangling one.
            const bool dangling = (i + k) % 2 == 1;
            const QString target = elsewhere.filePath(QStringLiteral("%1-%2").arg(i).arg(dangling));
            ASSERT_TRUE(QFile::link(target, dir.filePath(c.outputs[i])));
        }
        run(c.code);
        for (int i = 0; i < c.outputs.size(); ++i) {
            const QString output = dir.filePath(c.outputs[i]);
            EXPECT_TRUE(S_ISREG(ModeOf(output))) << c.outputs[i].toStdString();
            EXPECT_EQ(fileBytes(elsewhere.filePath(QStringLiteral("%1-0").arg(i))), "victim");
            EXPECT_FALSE(QFileInfo::exists(elsewhere.filePath(QStringLiteral("%1-1").arg(i))));
        }
    }
}

// Under umask 022 the files derived from a 0600 document are 0600 too, and
// those of a 0640 document at most 0640; the temporary files of a write are
// 0600 while they are being written.
TEST_F(DerivedFiles, NoneIsMoreReadableThanTheDocument) {
    const mode_t oldMask = ::umask(022);
    struct Restore {
        mode_t mask;
        ~Restore() { ::umask(mask); }
    } restore{oldMask};
    host.options.splitDocuments = true;
    for (const mode_t mode : {0600, 0640}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(::chmod(QFile::encodeName(doc).constData(), mode), 0);
        run(5);
        run(6);
        const QStringList written = folderEntries(dir.path());
        ASSERT_GE(written.size(), 4) << written.join(' ').toStdString();
        for (const QString& name : written)
            EXPECT_EQ(ModeOf(dir.filePath(name)) & 0777 & ~mode, 0u) << name.toStdString();
    }

    word::files::AtomicFile file(dir.filePath("report.txt"), doc);
    file.Write("part");
    const QStringList temporaries = folderEntries(dir.path()).filter(QRegularExpression("^\\.~kv"));
    ASSERT_EQ(temporaries.size(), 1);
    EXPECT_EQ(ModeOf(dir.filePath(temporaries[0])) & 0777, 0600u);
}

// A re-export that fails on a full disk leaves the earlier HTML with all its
// pictures; once there is room, the export of a document with fewer pictures
// leaves none of the earlier ones. A killed run's temporary file goes at the
// start of the next run of any task.
TEST_F(DerivedFiles, AFailedReExportLeavesTheEarlierSetWhole) {
    const QString disk = dir.filePath("disk");
    QDir(dir.path()).mkdir("disk");
    if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=512k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): " << std::strerror(errno);
    struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(disk)};
    doc = disk + "/spec.docx";
    host.filePathText = doc;
    host.options.convertImages = false;
    writeDocument(doc, {"【０００１】本文。"}, 3);
    run(5);
    const QStringList earlier = folderEntries(disk);
    ASSERT_EQ(earlier, QStringList({"spec.docx", "spec.docx.htm", "spec.docx_1.png", "spec.docx_2.png", "spec.docx_3.png"}));
    std::map<QString, QByteArray> before;
    for (const QString& name : earlier) before[name] = fileBytes(disk + u'/' + name);

    writeDocument(doc, {"【０００１】別の本文。"}, 1);
    {
        QFile fill(disk + "/fill");
        ASSERT_TRUE(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (fill.write(block) == block.size()) {}
    }
    host.clear();
    runner.RunTask(5);
    EXPECT_EQ(runner.LastOutcome(), RunOutcome::Aborted);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].text.contains("ディスクがいっぱい")) << host.messages[0].text.toStdString();
    for (const auto& [name, bytes] : before)
        if (name != "spec.docx") {
            EXPECT_EQ(fileBytes(disk + u'/' + name), bytes) << name.toStdString();
        }
    EXPECT_EQ(folderEntries(disk), QStringList({"fill"}) + earlier);

    QFile::remove(disk + "/fill");
    for (const short code : {5, 6}) {
        QFile leftover(disk + "/.~kv2147483600-killed.tmp");
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        run(code);
        EXPECT_FALSE(leftover.exists()) << code;
    }
    EXPECT_EQ(folderEntries(disk),
              QStringList({"spec.docx", "spec.docx.htm", "spec.docx_1.png", "出願前チェック-spec.docx.txt"}));
    EXPECT_TRUE(fileBytes(disk + "/spec.docx.htm").contains("spec.docx_1.png"));
}

// The files of a set take their names together: a name that cannot be
// replaced (here a folder) puts back the files already placed.
TEST(FileSet, ANameThatCannotBeReplacedPutsTheEarlierFilesBack) {
    QTemporaryDir dir;
    for (const char* name : {"a.htm", "a_1.png"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    QDir(dir.path()).mkpath("a_2.png/inside");
    {
        word::files::FileSet set;
        set.Add(dir.filePath("a_1.png"), "new");
        set.Add(dir.filePath("a_3.png"), "new");
        EXPECT_THROW(set.Add(dir.filePath("a_2.png"), "new"), word::files::FileError);
    }
    EXPECT_EQ(folderEntries(dir.path()), QStringList({"a.htm", "a_1.png"}));
    word::files::FileSet blocked;
    blocked.Add(dir.filePath("a_1.png"), "new");
    blocked.Add(dir.filePath("a_3.png"), "new");
    blocked.Add(dir.filePath("a.htm"), "new");
    // The folder turns up after the files were written: the rename fails.
    ASSERT_TRUE(QFile::remove(dir.filePath("a.htm")));
    QDir(dir.path()).mkpath("a.htm/inside");
    EXPECT_THROW(blocked.Commit(), word::files::FileError);
    EXPECT_EQ(fileBytes(dir.filePath("a_1.png")), "old");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("a_3.png")));
    EXPECT_EQ(folderEntries(dir.path()), QStringList({"a_1.png"}));
}

}  // namespace
