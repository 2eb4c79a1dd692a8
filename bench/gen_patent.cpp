// Writes a Japanese patent-like .docx for the benchmark (patent_generator.h).
//
// Usage: gen_patent OUTPUT.docx [PARAGRAPHS]   (default 10000)

#include "bench/patent_generator.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.docx [PARAGRAPHS]\n", argv[0]);
        return 2;
    }
    const int paragraphs = argc > 2 ? std::atoi(argv[2]) : 10000;
    if (paragraphs < 3) {
        std::fprintf(stderr, "PARAGRAPHS must be at least 3\n");
        return 2;
    }
    std::size_t bytes = 0;
    const std::string error = kalvendo::bench::WritePatentDocument(argv[1], paragraphs, &bytes);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %d paragraphs, word/document.xml %zu bytes\n", argv[1], paragraphs, bytes);
    return 0;
}
