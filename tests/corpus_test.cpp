// Every real document of the corpus goes through the engine: opened, saved
// unedited (every entry identical, compressed bytes included), then edited
// across runs and paragraph marks, coloured, saved, re-opened and compared.

#include "word/automation.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/package.h"

#include "support/docx_builder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <zip.h>

#include <vector>

using word::ooxml::DocumentModel;
using word::ooxml::Package;

namespace {

QStringList corpusFiles() {
    QDir dir(QStringLiteral(KALVENDO_CORPUS_DIR) + "/docx");
    QStringList files;
    for (const QFileInfo& fi : dir.entryInfoList({"*.docx"}, QDir::Files, QDir::Name)) files << fi.absoluteFilePath();
    return files;
}

struct ZipEntry {
    QString name;
    QByteArray data;        // uncompressed
    QByteArray compressed;  // as stored
    int method = 0;
};

// Reads every entry of a zip, both uncompressed and as stored.
std::vector<ZipEntry> readZip(const QString& path) {
    std::vector<ZipEntry> out;
    int err = 0;
    zip_t* z = zip_open(path.toUtf8().constData(), ZIP_RDONLY, &err);
    if (!z) return out;
    zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_index(z, i, 0, &st);
        ZipEntry e;
        e.name = QString::fromUtf8(st.name);
        e.method = st.comp_method;
        for (int pass = 0; pass < 2; ++pass) {
            QByteArray& buf = pass ? e.compressed : e.data;
            zip_file_t* f = zip_fopen_index(z, i, pass ? ZIP_FL_COMPRESSED : 0);
            if (!f) continue;
            buf.resize(static_cast<qsizetype>(pass ? st.comp_size : st.size));
            zip_fread(f, buf.data(), buf.size());
            zip_fclose(f);
        }
        out.push_back(std::move(e));
    }
    zip_discard(z);
    return out;
}

// The file names of the corpus, readable in test output.
std::string shortName(const QString& path) { return QFileInfo(path).fileName().toStdString(); }

}  // namespace

TEST(CorpusPackage, EveryDocumentSavesUneditedEntryForEntry) {
    const QStringList files = corpusFiles();
    ASSERT_GT(files.size(), 50) << "corpus not found under " << KALVENDO_CORPUS_DIR;
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    for (const QString& file : files) {
        SCOPED_TRACE(shortName(file));
        std::unique_ptr<Package> package;
        try {
            package = Package::open(file);
        } catch (const word::Error& e) {
            ADD_FAILURE() << "open failed: " << e.what();
            continue;
        }
        const QString out = tmp.filePath("out.docx");
        try {
            package->save(out);
        } catch (const word::Error& e) {
            ADD_FAILURE() << "save failed: " << e.what();
            continue;
        }
        const auto before = readZip(file);
        const auto after = readZip(out);
        ASSERT_EQ(before.size(), after.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(before[i].name, after[i].name);
            EXPECT_EQ(before[i].method, after[i].method) << before[i].name.toStdString();
            EXPECT_TRUE(before[i].data == after[i].data) << before[i].name.toStdString();
            EXPECT_TRUE(before[i].compressed == after[i].compressed) << before[i].name.toStdString();
        }
        // The saved package opens again and names the same main part.
        EXPECT_EQ(Package::open(out)->mainPartName(), package->mainPartName());
    }
}

namespace {

// A character that no corpus document holds, used to mark the paragraph
// breaks the edit inserts so that a later pass can find and remove them.
const QChar kMarker(0x00A4);

// Runs a replace-all of `find` by `replacement` (Word's find codes) over the
// whole story; returns the number of matches and of edits applied.
std::pair<int, int> replaceAll(DocumentModel& model, const QString& find, const QString& replacement) {
    auto matches = model.findAll(word::ooxml::parseFindText(find), 0, model.length());
    const QString text = word::ooxml::parseReplacementText(replacement);
    std::vector<word::ooxml::Edit> edits;
    edits.reserve(matches.size());
    for (const auto& [start, end] : matches) edits.push_back({start, end, text});
    int applied = model.replaceMany(edits);
    return {static_cast<int>(matches.size()), applied};
}

// Whether every character of the story but objects (pictures, equations:
// U+0001, which keep their own formatting) has the given colour.
::testing::AssertionResult storyHasColour(DocumentModel& model, int colour) {
    const QString text = model.text();
    int start = 0;
    for (int i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != QChar(0x0001)) continue;
        if (i > start && model.colorOf(start, i) != colour)
            return ::testing::AssertionFailure() << "characters " << start << ".." << i << " have the colour "
                                                 << model.colorOf(start, i);
        start = i + 1;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

// For every corpus document: "e" -> "E" (matches inside and across runs),
// then every ". " split into two paragraphs at the blank and joined again
// (a search across paragraph marks), then the whole story coloured. The saved
// file re-opens with exactly the expected story, and every part but the main
// document is unchanged.
TEST(CorpusEdit, ReplaceAcrossRunsAndMarksThenColourKeepsEverythingElse) {
    const QStringList files = corpusFiles();
    ASSERT_GT(files.size(), 50);
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    constexpr int kRed = 0x0000FF;  // Word's BBGGRR
    for (const QString& file : files) {
        SCOPED_TRACE(shortName(file));
        const QString out = tmp.filePath("edited.docx");
        QFile::remove(out);
        QString expected;
        QString mainPart;
        try {
            auto model = DocumentModel::open(file);
            const QString original = model->text();
            ASSERT_FALSE(original.contains(kMarker));
            expected = QString(original).replace(QLatin1Char('e'), QLatin1Char('E'));

            auto [eMatches, eApplied] = replaceAll(*model, "e", "E");
            EXPECT_EQ(eMatches, original.count(QLatin1Char('e')));
            EXPECT_EQ(eApplied, eMatches);
            EXPECT_EQ(model->text(), expected) << "after e -> E";

            const int paragraphs = model->paragraphCount();
            auto [splits, splitApplied] = replaceAll(*model, ". ", QString(".^p") + kMarker);
            EXPECT_EQ(splitApplied, splits);
            EXPECT_EQ(model->paragraphCount(), paragraphs + splitApplied);
            EXPECT_EQ(model->text(), QString(expected).replace(". ", QString(".\r") + kMarker)) << "after the split";
            auto [joins, joinApplied] = replaceAll(*model, QString("^p") + kMarker, " ");
            EXPECT_EQ(joins, splitApplied);
            EXPECT_EQ(joinApplied, joins);
            EXPECT_EQ(model->paragraphCount(), paragraphs);
            EXPECT_EQ(model->text(), expected) << "after the join";

            model->setColor(0, model->length(), kRed);
            EXPECT_TRUE(storyHasColour(*model, kRed));
            mainPart = model->package().mainPartName();
            model->save(out);
        } catch (const word::Error& e) {
            ADD_FAILURE() << "failed: " << e.what();
            continue;
        }

        try {
            auto reopened = DocumentModel::open(out);
            EXPECT_EQ(reopened->text(), expected) << "after saving and opening again";
            EXPECT_TRUE(storyHasColour(*reopened, kRed));
        } catch (const word::Error& e) {
            ADD_FAILURE() << "the saved file does not open: " << e.what();
            continue;
        }
        const auto before = readZip(file);
        const auto after = readZip(out);
        ASSERT_EQ(before.size(), after.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(before[i].name, after[i].name);
            if (before[i].name == mainPart) continue;
            EXPECT_TRUE(before[i].data == after[i].data) << before[i].name.toStdString();
            EXPECT_TRUE(before[i].compressed == after[i].compressed) << before[i].name.toStdString();
        }
    }
}

// Found through the corpus (a w:t "... 2012 " without xml:space="preserve",
// followed by " The"): blanks at the ends of such an element are not text,
// as Word reads it, and an edit must not make them appear.
TEST(CorpusEdit, BlanksAtTheEndsOfUnpreservedTextAreNotText) {
    QTemporaryDir tmp;
    const QString in = tmp.filePath("in.docx"), out = tmp.filePath("out.docx");
    testsupport::writeDocx(in, "<w:p><w:r><w:t>  Received 2012 </w:t></w:r>"
                               "<w:r><w:t xml:space=\"preserve\"> The\u3000</w:t></w:r></w:p>");
    auto model = DocumentModel::open(in);
    EXPECT_EQ(model->text(), QString("Received 2012 The\u3000\r"));
    replaceAll(*model, "e", "E");
    model->save(out);
    EXPECT_EQ(DocumentModel::open(out)->text(), QString("REcEivEd 2012 ThE\u3000\r"));
}
