// The annotated copy of the check as another program reads it: LibreOffice
// converts the copies to OpenDocument, where every finding must be a comment,
// beside the comments the document already had.

#include "support/docx_builder.h"
#include "support/task_test_util.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {

int CommentsIn(const QByteArray& xml) {
    return int(QString::fromUtf8(xml).count(QStringLiteral("<w:comment ")));
}

}  // namespace

TEST(SlowAnnotation, LibreOfficeShowsEveryFindingAsACommentAndKeepsTheDocumentsOwn) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir dir;
    struct Case {
        QString source;
        QString name;
    };
    const std::vector<Case> cases = {
        {QStringLiteral(KALVENDO_SOURCE_DIR "/samples/check-me.docx"), QStringLiteral("check-me.docx")},
        {QStringLiteral(KALVENDO_CORPUS_DIR "/docx/apache__poi__WordWithAttachments.docx"), QStringLiteral("attachments.docx")},
    };
    QStringList copies;
    std::vector<int> expected;
    for (const Case& c : cases) {
        const QString doc = dir.filePath(c.name);
        ASSERT_TRUE(QFile::copy(c.source, doc)) << c.source.toStdString();
        const QByteArray before = testsupport::fileBytes(doc);
        const testsupport::CliResult r = testsupport::cli({"--task", "6", "--annotate", doc});
        ASSERT_EQ(r.exitCode, 3) << r.err.toStdString();
        EXPECT_EQ(testsupport::fileBytes(doc), before);  // the document itself is not changed
        const QString copy = dir.filePath(QStringLiteral("出願前チェック-%1.docx").arg(c.name));
        ASSERT_TRUE(QFile::exists(copy));
        const int findings = int(r.out.count(u'\n'));
        const int own = CommentsIn(testsupport::readZipEntry(doc, "word/comments.xml"));
        EXPECT_EQ(CommentsIn(testsupport::readZipEntry(copy, "word/comments.xml")), own + findings);
        copies << copy;
        expected.push_back(own + findings);
    }

    QProcess lo;
    lo.start(soffice, QStringList{"-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                                  "--headless", "--convert-to", "odt", "--outdir", dir.filePath("odt")} +
                          copies);
    ASSERT_TRUE(lo.waitForFinished(240000));
    for (qsizetype i = 0; i < copies.size(); ++i) {
        const QString odt = dir.filePath("odt/" + QFileInfo(copies[i]).completeBaseName() + ".odt");
        const QString content = QString::fromUtf8(testsupport::readZipEntry(odt, "content.xml"));
        // Each comment is an office:annotation (its end mark is office:annotation-end).
        EXPECT_EQ(int(content.count(QStringLiteral("<office:annotation "))) + int(content.count(QStringLiteral("<office:annotation>"))),
                  expected[size_t(i)])
            << odt.toStdString();
    }
}
