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

// Writes a 【書類名】特許請求の範囲 of `claims` claims whose citations make the
// check's and the renumbering's work grow with the width of a range if they
// expand it: with Wide every claim reads
// 「請求項１～１００００のいずれか一項と請求項１～１００００に記載の装置。」
// (claims that do not exist, as a typo makes them); with Chain claim n cites
// every earlier claim (「請求項１～ｎ－１のいずれか一項に記載の装置。」).
enum class HostileClaims { Wide, Chain };
std::string WriteHostileClaims(const std::string& path, HostileClaims kind, int claims,
                               std::size_t* documentBytes = nullptr);

}  // namespace kalvendo::bench
