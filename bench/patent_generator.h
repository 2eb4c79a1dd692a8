#pragma once
// Writes a Japanese patent-like .docx: section headings such as 【技術分野】,
// indented paragraphs that start with a full-width blank and end in 。, and
// some existing paragraph numbers 【０００１】. Runs are split the way
// LibreOffice and Word split them after editing: a number as 【 / ０００１ / 】
// in three runs, sentences cut at arbitrary places, runs carrying rsid
// attributes. The output is the same for the same arguments.

#include <cstddef>
#include <string>

namespace kalvendo::bench {

// Writes `paragraphs` paragraphs (at least 3) to path. Returns an error text,
// empty on success; documentBytes receives the size of word/document.xml.
std::string WritePatentDocument(const std::string& path, int paragraphs, std::size_t* documentBytes = nullptr);

// Writes an application ready for filing instead, for the check before filing:
// every heading once and in order, consecutive paragraph numbers, reference
// signs that agree with the 【符号の説明】 list, figures listed and cited,
// claims citing earlier claims, an abstract. At least 300 paragraphs.
std::string WriteCompleteApplication(const std::string& path, int paragraphs, std::size_t* documentBytes = nullptr);

}  // namespace kalvendo::bench
