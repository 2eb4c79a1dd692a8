// An independent reading of the engine's output: LibreOffice converts the
// corpus documents and our edited copies to plain text (one batch call each),
// and the edit must be the only difference between the two texts.

#include "word/automation.h"
#include "word/ooxml/document_model.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <map>
#include <vector>

using word::ooxml::DocumentModel;

namespace {

void replaceAll(DocumentModel& model, const QString& find, const QString& replacement) {
    auto matches = model.findAll(word::ooxml::parseFindText(find), 0, model.length());
    const QString text = word::ooxml::parseReplacementText(replacement);
    std::vector<word::ooxml::Edit> edits;
    for (const auto& [start, end] : matches) edits.push_back({start, end, text});
    model.replaceMany(edits);
}

// Converts `files` to UTF-8 text in `outDir` with one LibreOffice call.
bool convertToText(const QString& soffice, const QString& profile, const QStringList& files, const QString& outDir,
                   QString& log) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QStringList args = {"-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(), "--headless",
                        "--convert-to", "txt:Text (encoded):UTF8", "--outdir", outDir};
    args += files;
    p.start(soffice, args);
    if (!p.waitForFinished(240000)) {
        p.kill();
        p.waitForFinished();
        log = "LibreOffice did not finish in time";
        return false;
    }
    log = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit;
}

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

}  // namespace

TEST(SlowCorpusLibreOffice, TheEditIsTheOnlyDifferenceLibreOfficeSees) {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QDir work(tmp.path());
    for (const char* sub : {"edited", "text-original", "text-edited", "profile"}) work.mkpath(sub);

    // Our edit: "e" -> "E" (across runs), every ". " split into two paragraphs
    // and joined again (across marks), the whole story coloured.
    const QFileInfoList corpus =
        QDir(QStringLiteral(KALVENDO_CORPUS_DIR) + "/docx").entryInfoList({"*.docx"}, QDir::Files, QDir::Name);
    ASSERT_GT(corpus.size(), 50);
    QStringList originals, edited;
    std::map<QString, bool> storyHadE;
    for (const QFileInfo& fi : corpus) {
        const QString out = work.filePath("edited/" + fi.fileName());
        try {
            auto model = DocumentModel::open(fi.absoluteFilePath());
            storyHadE[fi.completeBaseName()] = model->text().contains(QLatin1Char('e'));
            replaceAll(*model, "e", "E");
            replaceAll(*model, ". ", QString(".^p") + QChar(0x00A4));
            replaceAll(*model, QString("^p") + QChar(0x00A4), " ");
            model->setColor(0, model->length(), 0x0000FF);
            model->save(out);
        } catch (const word::Error& e) {
            ADD_FAILURE() << fi.fileName().toStdString() << ": " << e.what();
            continue;
        }
        originals << fi.absoluteFilePath();
        edited << out;
    }

    QString log;
    ASSERT_TRUE(convertToText(soffice, work.filePath("profile"), originals, work.filePath("text-original"), log))
        << log.toStdString();
    ASSERT_TRUE(convertToText(soffice, work.filePath("profile"), edited, work.filePath("text-edited"), log))
        << log.toStdString();

    int compared = 0, withE = 0, shown = 0;
    QStringList notShown;
    for (const QString& file : originals) {
        const QString base = QFileInfo(file).completeBaseName();
        SCOPED_TRACE(base.toStdString());
        if (!QFileInfo::exists(work.filePath("text-original/" + base + ".txt"))) continue;  // LibreOffice cannot read it
        if (!QFileInfo::exists(work.filePath("text-edited/" + base + ".txt"))) {
            ADD_FAILURE() << "LibreOffice could not read our edited file";
            continue;
        }
        const QString before = readText(work.filePath("text-original/" + base + ".txt"));
        const QString after = readText(work.filePath("text-edited/" + base + ".txt"));
        ++compared;
        // Apart from the case of "e", the texts are the same, line for line.
        const QString foldedBefore = QString(before).replace(QLatin1Char('e'), QLatin1Char('E'));
        const QString foldedAfter = QString(after).replace(QLatin1Char('e'), QLatin1Char('E'));
        if (foldedBefore != foldedAfter) {
            const QStringList a = foldedBefore.split('\n'), b = foldedAfter.split('\n');
            int line = 0;
            while (line < a.size() && line < b.size() && a[line] == b[line]) ++line;
            ADD_FAILURE() << "texts differ from line " << line + 1 << ":\n  original: "
                          << a.value(line).toStdString() << "\n  edited:   " << b.value(line).toStdString();
            continue;
        }
        // And the edit shows: fewer lower-case "e" than before. (Not always:
        // LibreOffice shows some fields, such as FILENAME, as it computes them
        // rather than their stored result, which is where the "e" may be.)
        if (storyHadE[base]) {
            ++withE;
            if (after.count(QLatin1Char('e')) < before.count(QLatin1Char('e'))) ++shown;
            else notShown << base;
        }
    }
    EXPECT_GT(compared, 50);
    EXPECT_GE(shown, withE - 2) << "the edit does not show in: " << notShown.join(", ").toStdString();
}
