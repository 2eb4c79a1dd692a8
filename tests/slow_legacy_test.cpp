// Word 97-2003 documents end to end through LibreOffice: opened, edited by the
// tasks, written back as .doc with the input kept as the backup.

#include "engine/runner/task_runner.h"
#include "support/docx_builder.h"
#include "support/recording_host.h"
#include "word/automation.h"
#include "word/cp932.h"
#include "word/legacy/legacy.h"
#include "word/ooxml/document_model.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::RecordingHost;
using word::legacy::Format;

namespace {

const QString kCorpusDoc = QStringLiteral(KALVENDO_CORPUS_DIR "/doc");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The story text of a document as LibreOffice reads it back.
QString readBack(const QString& path) {
    const Format format = word::legacy::detectFormat(path);
    if (format == Format::Docx) return word::ooxml::DocumentModel::open(path)->text();
    const auto converted = word::legacy::convertToDocx(path, format);
    return word::ooxml::DocumentModel::open(converted.docxPath)->text();
}

struct TaskRun {
    RecordingHost host;
    engine::TaskRunner runner{host};
    engine::RunOutcome run(const QString& path, short code) {
        host.filePathText = path;
        runner.RunTask(code);
        return runner.LastOutcome();
    }
};

const QStringList kSpecification = {
    "【書類名】明細書", "【発明の名称】装置", "【技術分野】", "【０００５】", "　本発明は、装置に関する。",
    "【背景技術】", "【０００９】", "　従来、装置が知られている。", "　その装置は重い。"};

class SlowLegacy : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    // A Word 97-2003 file made by LibreOffice from a built .docx.
    QString makeDoc(const QString& name, const QStringList& paragraphs, Format format = Format::Word97) {
        const QString docx = path(name + ".source.docx");
        testsupport::writeDocx(docx, testsupport::paras(paragraphs));
        const QString doc = path(name);
        word::legacy::convertBack(docx, format, doc);
        QFile::remove(docx);
        return doc;
    }
};

TEST_F(SlowLegacy, RenumberingADocWritesADocAndKeepsTheInputAsTheBackup) {
    const QString doc = makeDoc("spec.doc", kSpecification);
    const QByteArray input = readAll(doc);
    ASSERT_TRUE(input.startsWith("\xD0\xCF\x11\xE0"));

    TaskRun r;
    ASSERT_EQ(r.run(doc, 1), engine::RunOutcome::Completed) << r.host.messageTexts().join("\n").toStdString();
    EXPECT_EQ(readAll(path("spec-bak1.doc")), input);
    EXPECT_EQ(word::legacy::detectFormat(doc), Format::Word97);
    const QString text = readBack(doc);
    EXPECT_TRUE(text.contains("【技術分野】\r【０００１】\r　本発明は、装置に関する。\r")) << text.toStdString();
    EXPECT_TRUE(text.contains("【背景技術】\r【０００２】\r")) << text.toStdString();
    EXPECT_FALSE(text.contains("【０００５】"));
    // The save line says that the document went through LibreOffice.
    EXPECT_TRUE(r.host.log.contains("LibreOffice")) << r.host.log.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"spec-bak1.doc", "spec.doc"}));

    // The HTML of the .doc needs no conversion back; the .doc stays as it is.
    const QByteArray result = readAll(doc);
    TaskRun html;
    ASSERT_EQ(html.run(doc, 5), engine::RunOutcome::Completed);
    EXPECT_EQ(readAll(doc), result);
    EXPECT_TRUE(word::cp932::decode(readAll(doc + ".htm"))
                    .contains("\r\n【技術分野】<BR>\r\n【０００１】<BR>\r\n　本発明は、装置に関する。<BR>\r\n"));
}

TEST_F(SlowLegacy, AnRtfSavedAsDocStaysRtf) {
    const QString doc = makeDoc("spec.doc", kSpecification, Format::Rtf);
    const QByteArray input = readAll(doc);
    ASSERT_TRUE(input.startsWith("{\\rtf"));

    TaskRun r;
    ASSERT_EQ(r.run(doc, 1), engine::RunOutcome::Completed) << r.host.messageTexts().join("\n").toStdString();
    EXPECT_EQ(readAll(path("spec-bak1.doc")), input);
    EXPECT_EQ(word::legacy::detectFormat(doc), Format::Rtf);
    const QString text = readBack(doc);
    EXPECT_TRUE(text.contains("【背景技術】\r【０００２】\r")) << text.toStdString();
}

// A real Japanese .doc of the corpus, given a patent specification's opening
// (inserted by the engine, then written back as .doc by LibreOffice): task
// code 0 on the .doc gives the text that the same task gives on the .docx.
TEST_F(SlowLegacy, NewNumberingOfACorpusDocGivesTheTextOfTheSameTaskOnTheDocx) {
    const QString source = kCorpusDoc + "/TohruTamura__EntryRegistWebPr4400-240107-vs2022__ソフトウェア使用許諾契約書3.doc";
    {
        const auto converted = word::legacy::convertToDocx(source, Format::Word97);
        auto model = word::ooxml::DocumentModel::open(converted.docxPath);
        ASSERT_TRUE(model->replace(0, 0, "【技術分野】\r　本発明は、契約書に関する。\r【背景技術】\r【０００７】\r"
                                         "　従来、契約書がある。\r　その契約書は長い。\r"));
        model->save(path("twin.docx"));
    }
    word::legacy::convertBack(path("twin.docx"), Format::Word97, path("spec.doc"));
    const QByteArray input = readAll(path("spec.doc"));

    TaskRun viaDoc, viaDocx;
    ASSERT_EQ(viaDoc.run(path("spec.doc"), 0), engine::RunOutcome::Completed);
    ASSERT_EQ(viaDocx.run(path("twin.docx"), 0), engine::RunOutcome::Completed);
    EXPECT_EQ(readAll(path("spec-bak1.doc")), input);
    EXPECT_EQ(word::legacy::detectFormat(path("spec.doc")), Format::Word97);
    const QString expected = readBack(path("twin.docx"));
    for (const char* number : {"【０００１】", "【０００２】", "【０００３】"})
        EXPECT_TRUE(expected.contains(number)) << number;
    EXPECT_FALSE(expected.contains("【０００７】"));
    EXPECT_EQ(readBack(path("spec.doc")), expected);
}

TEST_F(SlowLegacy, ACorpusDocWithNothingToNumberIsLeftAsItWas) {
    const QString doc = path("lists.doc");
    ASSERT_TRUE(QFile::copy(kCorpusDoc + "/apache__poi__Lists.doc", doc));
    const QByteArray input = readAll(doc);
    TaskRun r;
    ASSERT_EQ(r.run(doc, 1), engine::RunOutcome::Completed);
    EXPECT_EQ(readAll(doc), input);
    EXPECT_TRUE(r.host.log.contains(" .. 変更なし：" + doc));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"lists.doc"}));
}

}  // namespace
