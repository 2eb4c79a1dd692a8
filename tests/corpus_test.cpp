// Every real document of the corpus goes through the engine: opened, saved
// unedited (every entry identical, compressed bytes included), then edited
// across runs and paragraph marks, coloured, saved, re-opened and compared.

#include "word/automation.h"
#include "word/ooxml/package.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <zip.h>

#include <vector>

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
