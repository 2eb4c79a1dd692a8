#pragma once
// Pieces shared by the fuzz targets: a private scratch folder and a replace-all
// pass straight on the document model.

#include "word/ooxml/document_model.h"

#include <QString>

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

inline void replaceAll(word::ooxml::DocumentModel& model, const QString& find, const QString& replacement) {
    auto matches = model.findAll(word::ooxml::parseFindText(find), 0, model.length());
    const QString text = word::ooxml::parseReplacementText(replacement);
    std::vector<word::ooxml::Edit> edits;
    for (const auto& [start, end] : matches) edits.push_back({start, end, text});
    model.replaceMany(edits);
}

}  // namespace fuzzsupport
