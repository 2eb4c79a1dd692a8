// libFuzzer target for the document model's XML handling: the input is taken
// as the main document part of an otherwise valid package, which then goes
// through open, story text, replace passes across runs and paragraph marks,
// colour and save. (Mutating a whole .docx mostly breaks its checksums; this
// target reaches the model with every input.) Only word::Error may come out.
//
// Seeds: word/document.xml of a few corpus documents, e.g.
//   unzip -p some.docx word/document.xml > seeds/some.xml

#include "word/automation.h"
#include "word/ooxml/document_model.h"
#include "fuzz_common.h"

#include <QString>

#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using fuzzsupport::replaceAll;
using fuzzsupport::workDir;

namespace {


const char kTypes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";

const char kRels[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>";

bool writePackage(const std::string& path, const uint8_t* data, size_t size) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) return false;
    const std::pair<const char*, std::pair<const void*, size_t>> parts[] = {
        {"[Content_Types].xml", {kTypes, sizeof kTypes - 1}},
        {"_rels/.rels", {kRels, sizeof kRels - 1}},
        {"word/document.xml", {data, size}},
    };
    for (const auto& [name, bytes] : parts) {
        zip_source_t* src = zip_source_buffer(z, bytes.first, bytes.second, 0);
        zip_int64_t idx = src ? zip_file_add(z, name, src, 0) : -1;
        if (idx < 0) {
            if (src) zip_source_free(src);
            zip_discard(z);
            return false;
        }
        zip_set_file_compression(z, static_cast<zip_uint64_t>(idx), ZIP_CM_STORE, 0);
    }
    return zip_close(z) == 0;
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = workDir() + "/in.docx";
    const std::string out = workDir() + "/out.docx";
    if (!writePackage(in, data, size)) std::abort();
    try {
        auto model = word::ooxml::DocumentModel::open(QString::fromStdString(in));
        (void)model->text();
        replaceAll(*model, "e", "E");
        replaceAll(*model, "E", "ee");
        replaceAll(*model, ". ", ".^p\xC2\xA4");
        replaceAll(*model, "^p\xC2\xA4", " ");
        replaceAll(*model, ".^p", "");
        replaceAll(*model, "^#", "^p");
        if (model->length() > 0) {
            model->replace(0, 1, "a\rb");
            model->setColor(0, model->length(), 0x0000FF);
            model->setFontName(0, model->length() / 2, QStringLiteral("IPAGothic"));
        }
        model->save(QString::fromStdString(out));
        auto again = word::ooxml::DocumentModel::open(QString::fromStdString(out));
        (void)again->text();
    } catch (const word::Error&) {
    }
    return 0;
}
