#pragma once
// Pieces shared by the fuzz targets: a private scratch folder, inputs that
// can say "this piece a hundred thousand times" (deep nesting in a few bytes),
// a package around a main part, and a replace-all pass straight on the
// document model.

#include "word/ooxml/document_model.h"

#include <QString>

#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace fuzzsupport {

inline const std::string& workDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/kalvendo-fuzz.XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made) std::abort();
        return std::string(made);
    }();
    return dir;
}

// The input with its repeats written out: byte 0x01, two bytes n, then a
// piece ending at the next byte 0x02 (or the input's end) stand for the piece
// 2n times, so that an input of a few bytes nests tables or smartTag
// elements a hundred thousand deep. The whole is bounded at 16 MB.
inline std::string expandRepeats(const uint8_t* data, size_t size) {
    constexpr size_t kMaxBytes = 16u << 20;
    std::string out;
    for (size_t i = 0; i < size && out.size() < kMaxBytes;) {
        if (data[i] != 0x01 || i + 2 >= size) {
            out += char(data[i++]);
            continue;
        }
        const size_t times = 2 * ((size_t(data[i + 1]) << 8) | data[i + 2]);
        size_t end = i + 3;
        while (end < size && data[end] != 0x02) ++end;
        const std::string piece(reinterpret_cast<const char*>(data) + i + 3, end - (i + 3));
        for (size_t n = 0; n < times && out.size() + piece.size() <= kMaxBytes; ++n) out += piece;
        i = end < size ? end + 1 : end;
    }
    return out;
}

inline const char kTypes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";

inline const char kRels[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>";

inline bool writePackage(const std::string& path, const std::string& documentXml) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) return false;
    const std::pair<const char*, std::pair<const void*, size_t>> parts[] = {
        {"[Content_Types].xml", {kTypes, sizeof kTypes - 1}},
        {"_rels/.rels", {kRels, sizeof kRels - 1}},
        {"word/document.xml", {documentXml.data(), documentXml.size()}},
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



inline void replaceAll(word::ooxml::DocumentModel& model, const QString& find, const QString& replacement) {
    auto matches = model.findAll(word::ooxml::parseFindText(find), 0, model.length());
    const QString text = word::ooxml::parseReplacementText(replacement);
    std::vector<word::ooxml::Edit> edits;
    for (const auto& [start, end] : matches) edits.push_back({start, end, text});
    model.replaceMany(edits);
}

}  // namespace fuzzsupport
