// The package layer: refusals of bad input, the main part found through the
// relationships, raw copy of untouched entries, and saving that never leaves
// a half-written file behind.

#include "word/automation.h"
#include "word/ooxml/package.h"
#include "word/ooxml/part_deflate.h"

#include "support/docx_builder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

using word::ooxml::Package;
using namespace testsupport;

namespace {

using Parts = std::vector<std::pair<QString, QByteArray>>;

const QByteArray kTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "</Types>";

QByteArray rootRels(const QByteArray& target,
                    const QByteArray& type =
                        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"" + type + "\" Target=\"" + target + "\"/></Relationships>";
}

const QByteArray kDocument =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:body><w:p><w:r><w:t>Hello</w:t></w:r></w:p></w:body></w:document>";

Parts minimalParts() {
    return {{"[Content_Types].xml", kTypes}, {"_rels/.rels", rootRels("word/document.xml")},
            {"word/document.xml", kDocument}};
}

// Writes a zip of the given entries in order; `store` keeps them uncompressed.
void writeZip(const QString& path, const Parts& parts, bool store = false) {
    int err = 0;
    zip_t* z = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, data] : parts) {
        zip_source_t* src = zip_source_buffer(z, data.constData(), data.size(), 0);
        zip_int64_t idx = zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(idx, 0) << name.toStdString();
        zip_set_file_compression(z, idx, store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void putU32(QByteArray& b, int off, quint32 v) {
    for (int i = 0; i < 4; ++i) b[off + i] = char((v >> (8 * i)) & 0xFF);
}

void putU16(QByteArray& b, int off, quint16 v) {
    b[off] = char(v & 0xFF);
    b[off + 1] = char(v >> 8);
}

// Sets the uncompressed size an entry declares in the zip's central directory.
void patchDeclaredSize(QByteArray& zipBytes, const QByteArray& name, quint32 size) {
    int pos = 0;
    while ((pos = zipBytes.indexOf(QByteArray("PK\x01\x02", 4), pos)) >= 0) {
        if (zipBytes.mid(pos + 46, name.size()) == name) {
            putU32(zipBytes, pos + 24, size);
            return;
        }
        pos += 4;
    }
    FAIL() << "entry not found";
}

// A compound (OLE) file with one FAT sector (0) and one directory sector (1)
// holding a root entry and one stream of the given name. `cyclic` makes the
// directory chain point back to itself.
QByteArray compoundFile(const QString& streamName, bool cyclic = false) {
    QByteArray b(512 * 3, '\0');
    b.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    putU16(b, 24, 0x3E);
    putU16(b, 26, 3);
    putU16(b, 28, 0xFFFE);
    putU16(b, 30, 9);
    putU16(b, 32, 6);
    putU32(b, 44, 1);            // FAT sectors
    putU32(b, 48, 1);            // first directory sector
    putU32(b, 56, 4096);
    putU32(b, 60, 0xFFFFFFFE);   // no mini FAT
    putU32(b, 68, 0xFFFFFFFE);   // no DIFAT sectors
    putU32(b, 76, 0);            // FAT in sector 0
    for (int i = 1; i < 109; ++i) putU32(b, 76 + 4 * i, 0xFFFFFFFF);
    const int fat = 512;
    for (int i = 0; i < 128; ++i) putU32(b, fat + 4 * i, 0xFFFFFFFF);
    putU32(b, fat, 0xFFFFFFFD);
    putU32(b, fat + 4, cyclic ? 1 : 0xFFFFFFFE);
    auto entry = [&](int off, const QString& name, char type) {
        for (int i = 0; i < name.size(); ++i) putU16(b, off + 2 * i, name[i].unicode());
        putU16(b, off + 64, quint16((name.size() + 1) * 2));
        b[off + 66] = type;
    };
    entry(1024, "Root Entry", 5);
    entry(1024 + 128, streamName, 2);
    return b;
}

// Runs Package::open and returns the error message ("" when it opened).
std::string openError(const QString& path) {
    try {
        Package::open(path);
    } catch (const word::Error& e) {
        return e.what();
    }
    return {};
}

struct SizeLimits {
    SizeLimits(qint64 part, qint64 total) { Package::setSizeLimitsForTesting(part, total); }
    ~SizeLimits() { Package::setSizeLimitsForTesting(0, 0); }
};

class PackageTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

::testing::AssertionResult has(const std::string& text, const char* part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" does not contain \"" << part << "\"";
}

}  // namespace

// ---- refusals -------------------------------------------------------------

TEST_F(PackageTest, RefusesMissingUnreadableAndNonPackageFiles) {
    EXPECT_TRUE(has(openError(file("absent.docx")), "ファイルがありません"));
    EXPECT_TRUE(has(openError(dir.path()), "フォルダー"));
    // Neither a device nor a pipe is read (either could block or never end).
    EXPECT_TRUE(has(openError("/dev/zero"), "通常のファイルではありません"));
    ASSERT_EQ(mkfifo(QFile::encodeName(file("pipe.docx")).constData(), 0600), 0);
    EXPECT_TRUE(has(openError(file("pipe.docx")), "通常のファイルではありません"));

    writeFile(file("empty.docx"), {});
    EXPECT_TRUE(has(openError(file("empty.docx")), "Word 文書（.docx パッケージ）ではありません"));
    writeFile(file("garbage.docx"), QByteArray(5000, '\x5A') + "random bytes");
    EXPECT_TRUE(has(openError(file("garbage.docx")), "Word 文書（.docx パッケージ）ではありません"));
    writeFile(file("rtf.doc"), "{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Times;}} Hello}");
    EXPECT_TRUE(has(openError(file("rtf.doc")), "Word 文書（.docx パッケージ）ではありません"));
}

TEST_F(PackageTest, TellsEncryptedDocumentsFromLegacyDocuments) {
    writeFile(file("legacy.doc"), compoundFile("WordDocument"));
    EXPECT_TRUE(has(openError(file("legacy.doc")), "Word 文書（.docx パッケージ）ではありません"));

    writeFile(file("locked.docx"), compoundFile("EncryptedPackage"));
    EXPECT_TRUE(has(openError(file("locked.docx")), "パスワードで保護された文書は処理できません"));

    // A damaged directory chain (a loop, a sector past the end) must end the
    // walk without a verdict of encryption.
    writeFile(file("loop.doc"), compoundFile("WordDocument", true));
    EXPECT_TRUE(has(openError(file("loop.doc")), "Word 文書（.docx パッケージ）ではありません"));
    QByteArray cut = compoundFile("EncryptedPackage").left(700);
    writeFile(file("cut.doc"), cut);
    EXPECT_TRUE(has(openError(file("cut.doc")), "Word 文書（.docx パッケージ）ではありません"));
    QByteArray wild = compoundFile("EncryptedPackage");
    putU32(wild, 48, 0x7FFFFFF0);
    writeFile(file("wild.doc"), wild);
    EXPECT_TRUE(has(openError(file("wild.doc")), "Word 文書（.docx パッケージ）ではありません"));
}

TEST_F(PackageTest, RefusesTruncatedAndCorruptedZips) {
    writeDocx(file("good.docx"), paras({"One", "Two", "Three"}));
    const QByteArray good = readFile(file("good.docx"));
    ASSERT_EQ(openError(file("good.docx")), "");
    for (int keep : {40, int(good.size() / 2), int(good.size() - 30), int(good.size() - 10), int(good.size() - 1)}) {
        SCOPED_TRACE(keep);
        writeFile(file("cut.docx"), good.left(keep));
        EXPECT_TRUE(has(openError(file("cut.docx")), "壊れているか、途中で切れています"));
    }

    // One flipped byte in a stored part: only its checksum tells.
    writeZip(file("stored.docx"), minimalParts(), true);
    QByteArray bytes = readFile(file("stored.docx"));
    int at = bytes.indexOf("Hello");
    ASSERT_GT(at, 0);
    bytes[at] = 'J';
    writeFile(file("flipped.docx"), bytes);
    EXPECT_TRUE(has(openError(file("flipped.docx")), "壊れているか、途中で切れています"));
    EXPECT_TRUE(has(openError(file("flipped.docx")), "word/document.xml"));
}

TEST_F(PackageTest, RefusesPackagesWithoutWordMainPart) {
    writeZip(file("none.docx"), {{"[Content_Types].xml", kTypes}, {"word/document.xml", kDocument}});
    EXPECT_TRUE(has(openError(file("none.docx")), "文書本体の部品がありません"));

    writeZip(file("dangling.docx"), {{"[Content_Types].xml", kTypes}, {"_rels/.rels", rootRels("word/missing.xml")}});
    EXPECT_TRUE(has(openError(file("dangling.docx")), "文書本体の部品がありません"));

    Parts otherType = minimalParts();
    otherType[1].second = rootRels("word/document.xml", "http://example.com/relationships/somethingElse");
    writeZip(file("othertype.docx"), otherType);
    EXPECT_TRUE(has(openError(file("othertype.docx")), "文書本体の部品がありません"));

    // A spreadsheet's main part is not a Word document.
    Parts sheet = minimalParts();
    sheet[0].second = QByteArray(kTypes).replace("wordprocessingml.document.main", "spreadsheetml.sheet.main");
    writeZip(file("sheet.docx"), sheet);
    EXPECT_TRUE(has(openError(file("sheet.docx")), "Word 文書の本体がありません"));

    writeZip(file("notypes.docx"), {minimalParts()[1], minimalParts()[2]});
    EXPECT_TRUE(has(openError(file("notypes.docx")), "[Content_Types].xml"));
}

TEST_F(PackageTest, RefusesRelationshipsAndContentTypesThatAreNotWellFormed) {
    Parts bad = minimalParts();
    bad[1].second = "<Relationships><Relationship Id=\"rId1\"";
    writeZip(file("rels.docx"), bad);
    EXPECT_TRUE(has(openError(file("rels.docx")), "部品「_rels/.rels」の XML が壊れています"));

    Parts badPartRels = minimalParts();
    badPartRels.push_back({"word/_rels/document.xml.rels", "<Relationships></Relationship>"});
    writeZip(file("partrels.docx"), badPartRels);
    EXPECT_TRUE(has(openError(file("partrels.docx")), "word/_rels/document.xml.rels"));

    Parts badTypes = minimalParts();
    badTypes[0].second = "<Types><Default";
    writeZip(file("types.docx"), badTypes);
    EXPECT_TRUE(has(openError(file("types.docx")), "XML が壊れています"));
}

TEST_F(PackageTest, NeverExpandsEntitiesFromADocumentTypeDeclaration) {
    Parts parts = minimalParts();
    parts[1].second =
        "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY main SYSTEM \"file:///etc/hostname\">"
        "<!ENTITY doc \"word/document.xml\">]>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"&doc;\"/></Relationships>";
    writeZip(file("entity.docx"), parts);
    // Not even the internal entity is expanded, so the target stays "&doc;".
    EXPECT_TRUE(has(openError(file("entity.docx")), "文書本体の部品がありません"));
}

TEST_F(PackageTest, RefusesPartsOverTheSizeBounds) {
    // A declared size over the real bound, without inflating anything.
    writeZip(file("declared.docx"), minimalParts());
    QByteArray bytes = readFile(file("declared.docx"));
    patchDeclaredSize(bytes, "word/document.xml", 0xFFFFFFF0u);
    writeFile(file("declared.docx"), bytes);
    EXPECT_TRUE(has(openError(file("declared.docx")), "大きすぎます"));

    // A part that inflates to more than it declares is cut off at once.
    Parts parts = minimalParts();
    parts.push_back({"word/media/blob.bin", QByteArray(4 * 1024 * 1024, '\0')});
    writeZip(file("lying.docx"), parts);
    bytes = readFile(file("lying.docx"));
    patchDeclaredSize(bytes, "word/media/blob.bin", 1000);
    writeFile(file("lying.docx"), bytes);
    EXPECT_TRUE(has(openError(file("lying.docx")), "宣言より多くのデータ"));

    // With the bounds lowered: one part too big, then too much in all.
    writeZip(file("big.docx"), parts);
    {
        SizeLimits limits(1024 * 1024, 64LL * 1024 * 1024);
        EXPECT_TRUE(has(openError(file("big.docx")), "部品「word/media/blob.bin」が大きすぎます"));
    }
    {
        SizeLimits limits(8LL * 1024 * 1024, 4LL * 1024 * 1024 + 10);
        EXPECT_TRUE(has(openError(file("big.docx")), "パッケージが大きすぎます"));
    }
    EXPECT_EQ(openError(file("big.docx")), "");
}

TEST_F(PackageTest, RefusesPartNamesThatDifferOnlyInCase) {
    Parts parts = minimalParts();
    parts.push_back({"word/Document.xml", kDocument});
    writeZip(file("twice.docx"), parts);
    EXPECT_TRUE(has(openError(file("twice.docx")), "が二つあります"));
}

// ---- finding the main part and relationships ---------------------------------

TEST_F(PackageTest, FindsTheMainPartThroughRelationshipsWhateverItsName) {
    const QByteArray types = QByteArray(kTypes).replace("/word/document.xml", "/content/Main%20Body.xml");
    writeZip(file("named.docx"), {{"[Content_Types].xml", types},
                                  {"_rels/.rels", rootRels("/content/Main%20Body.xml")},
                                  {"content/Main Body.xml", kDocument}});
    auto package = Package::open(file("named.docx"));
    EXPECT_EQ(package->mainPartName(), "content/Main Body.xml");
    EXPECT_EQ(package->readPart(package->mainPartName()), kDocument);

    // Strict documents use another relationship type.
    Parts strict = minimalParts();
    strict[1].second = rootRels("word/document.xml",
                                "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument");
    writeZip(file("strict.docx"), strict);
    EXPECT_EQ(Package::open(file("strict.docx"))->mainPartName(), "word/document.xml");
}

TEST_F(PackageTest, ResolvesRelationshipTargetsAgainstTheSourcePart) {
    const QByteArray rels =
        "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"image\" Target=\"media/image1.png\"/>"
        "<Relationship Id=\"rId2\" Type=\"custom\" Target=\"../customXml/item1.xml\"/>"
        "<Relationship Id=\"rId3\" Type=\"image\" Target=\"/word/media/image1.png\"/>"
        "<Relationship Id=\"rId4\" Type=\"hyperlink\" Target=\"https://example.com/\" TargetMode=\"External\"/>"
        "<Relationship Id=\"rId5\" Type=\"image\" Target=\"media/missing.png\"/>"
        "<Relationship Id=\"rId6\" Type=\"image\" Target=\"../../../etc/passwd\"/>"
        "</Relationships>";
    writeDocx(file("rels.docx"), paras({"x"}),
              {{"word/_rels/document.xml.rels", rels},
               {"word/media/image1.png", "PNG"},
               {"customXml/item1.xml", "<item/>"}});
    auto package = Package::open(file("rels.docx"));
    const QString main = package->mainPartName();
    EXPECT_EQ(package->relationshipTarget(main, "rId1"), "word/media/image1.png");
    EXPECT_EQ(package->relationshipTarget(main, "rId2"), "customXml/item1.xml");
    EXPECT_EQ(package->relationshipTarget(main, "rId3"), "word/media/image1.png");
    EXPECT_EQ(package->relationshipTarget(main, "rId4"), "");
    EXPECT_EQ(package->relationshipTarget(main, "rId5"), "");
    EXPECT_EQ(package->relationshipTarget(main, "rId6"), "");
    EXPECT_EQ(package->relationshipTarget(main, "rId99"), "");
    EXPECT_EQ(package->relationshipTarget("word/styles.xml", "rId1"), "");
    EXPECT_EQ(package->readPart("word/media/image1.png"), "PNG");
}

// ---- saving -------------------------------------------------------------------

TEST_F(PackageTest, UneditedSaveKeepsEveryEntryAsItWas) {
    writeDocx(file("in.docx"), paras({"Alpha", "Beta"}),
              {{"word/media/image1.png", QByteArray(3000, '\x11')}, {"docProps/core.xml", "<core/>"}});
    // A second package whose parts are stored, not deflated.
    writeZip(file("stored.docx"), minimalParts(), true);
    for (const QString name : {"in.docx", "stored.docx"}) {
        SCOPED_TRACE(name.toStdString());
        auto package = Package::open(file(name));
        package->save(file("out.docx"));
        const QStringList names = zipEntryNames(file(name));
        ASSERT_EQ(zipEntryNames(file("out.docx")), names);
        for (const QString& entry : names)
            EXPECT_EQ(readZipEntry(file("out.docx"), entry), readZipEntry(file(name), entry)) << entry.toStdString();
        EXPECT_EQ(package->partNames(), names);
    }
    // Stored entries stay stored (their bytes are copied, not recompressed).
    EXPECT_TRUE(readFile(file("out.docx")).contains("Hello"));
}

TEST_F(PackageTest, SaveWritesReplacedAndAddedPartsAndCopiesTheRest) {
    writeDocx(file("in.docx"), paras({"Alpha"}), {{"docProps/core.xml", "<core/>"}});
    auto package = Package::open(file("in.docx"));
    const QString main = package->mainPartName();
    const QByteArray edited = QByteArray(kDocument).replace("Hello", "Edited text");
    package->setPart(main, edited);
    package->setPart("customXml/new.xml", "<new/>");
    EXPECT_EQ(package->readPart(main), edited);
    EXPECT_TRUE(package->hasPart("customXml/new.xml"));
    package->save(file("out.docx"));

    QStringList expected = zipEntryNames(file("in.docx"));
    expected << "customXml/new.xml";
    EXPECT_EQ(zipEntryNames(file("out.docx")), expected);
    EXPECT_EQ(readZipEntry(file("out.docx"), main), edited);
    EXPECT_EQ(readZipEntry(file("out.docx"), "customXml/new.xml"), "<new/>");
    EXPECT_EQ(readZipEntry(file("out.docx"), "docProps/core.xml"), "<core/>");
    // The input is never written.
    EXPECT_NE(readZipEntry(file("in.docx"), main), edited);

    auto reopened = Package::open(file("out.docx"));
    EXPECT_EQ(reopened->readPart(main), edited);
}

TEST_F(PackageTest, SavesOverTheFileItWasOpenedFrom) {
    writeDocx(file("doc.docx"), paras({"Alpha"}));
    QFile::setPermissions(file("doc.docx"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    auto package = Package::open(file("doc.docx"));
    package->setPart(package->mainPartName(), kDocument);
    package->save(file("doc.docx"));
    EXPECT_EQ(Package::open(file("doc.docx"))->readPart("word/document.xml"), kDocument);
    EXPECT_EQ(QFile::permissions(file("doc.docx")) & (QFileDevice::ReadOther | QFileDevice::WriteOther),
              QFileDevice::ReadOther);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"doc.docx"});
}

// A link at the name is replaced as a name: the file it points to is never
// written (the save of a document that is a link writes its target by
// naming the target itself).
TEST_F(PackageTest, SavingOverASymbolicLinkReplacesTheLinkNotTheFileItPointsTo) {
    writeDocx(file("in.docx"), paras({"Alpha"}));
    QDir().mkpath(file("real"));
    writeFile(file("real/target.docx"), "old");
    ASSERT_TRUE(QFile::link(file("real/target.docx"), file("link.docx")));
    Package::open(file("in.docx"))->save(file("link.docx"));
    EXPECT_FALSE(QFileInfo(file("link.docx")).isSymLink());
    EXPECT_EQ(zipEntryNames(file("link.docx")), zipEntryNames(file("in.docx")));
    QFile target(file("real/target.docx"));
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), "old");
    EXPECT_EQ(QDir(file("real")).entryList(QDir::Files | QDir::Hidden), QStringList{"target.docx"});
}

TEST_F(PackageTest, FailedSaveLeavesTheTargetAndNoTemporaryFile) {
    writeDocx(file("in.docx"), paras({"Some text that makes the package bigger than the limit"}),
              {{"word/media/blob.bin", QByteArray(200000, '\0')}});
    QDir().mkpath(file("out"));
    writeFile(file("out/target.docx"), "previous contents");
    auto package = Package::open(file("in.docx"));

    // The disk fills up in the middle of the write.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        package->save(file("out/target.docx"));
    } catch (const word::Error& e) {
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(has(message, "大きすぎて書き込めません"));
    EXPECT_EQ(readFile(file("out/target.docx")), "previous contents");
    EXPECT_EQ(QDir(file("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"target.docx"});

    // A folder in the way, or a folder that does not exist.
    QDir().mkpath(file("out/folder.docx/inner"));
    EXPECT_THROW(package->save(file("out/folder.docx")), word::Error);
    EXPECT_TRUE(QFileInfo(file("out/folder.docx/inner")).isDir());
    EXPECT_THROW(package->save(file("nowhere/x.docx")), word::Error);
    EXPECT_FALSE(QFileInfo::exists(file("nowhere")));
    EXPECT_EQ(QDir(file("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"target.docx"});

    // The package is still usable after the failures.
    package->save(file("out/target.docx"));
    EXPECT_EQ(zipEntryNames(file("out/target.docx")), zipEntryNames(file("in.docx")));
}

TEST_F(PackageTest, APartDeflatedAsItIsWrittenIsReadBackAndSavedAsAnOrdinaryDeflatedEntry) {
    writeDocx(file("in.docx"), paras({"Alpha"}));
    auto package = Package::open(file("in.docx"));
    const QString main = package->mainPartName();
    const QByteArray edited = QByteArray(kDocument).replace("Hello", "Deflated while written");
    word::ooxml::DeflatingWriter writer;
    writer.write(edited.constData(), static_cast<size_t>(edited.size()));
    package->setDeflatedPart(main, writer.finish());
    EXPECT_EQ(package->readPart(main), edited);
    package->save(file("out.docx"));
    EXPECT_EQ(readZipEntry(file("out.docx"), main), edited);  // libzip checks size and CRC
    zip_t* zip = zip_open(QFile::encodeName(file("out.docx")).constData(), ZIP_RDONLY, nullptr);
    ASSERT_NE(zip, nullptr);
    zip_stat_t st;
    ASSERT_EQ(zip_stat(zip, main.toUtf8().constData(), 0, &st), 0);
    EXPECT_EQ(st.comp_method, ZIP_CM_DEFLATE);
    zip_close(zip);
}
