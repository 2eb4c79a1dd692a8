// Writes a Japanese patent-like .docx for the benchmark (patent_generator.h);
// with --complete, an application ready for filing, for the check before filing;
// with --wide-claims or --chain-claims, a set of CLAIMS claims citing wide ranges.
//
// Usage: gen_patent [--complete] OUTPUT.docx [PARAGRAPHS]   (default 10000)
//        gen_patent --wide-claims|--chain-claims OUTPUT.docx CLAIMS

#include "bench/patent_generator.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc == 4 && (std::string(argv[1]) == "--wide-claims" || std::string(argv[1]) == "--chain-claims")) {
        const auto kind = std::string(argv[1]) == "--wide-claims" ? kalvendo::bench::HostileClaims::Wide
                                                                  : kalvendo::bench::HostileClaims::Chain;
        const int claims = std::atoi(argv[3]);
        std::size_t bytes = 0;
        const std::string error = claims < 1 ? "CLAIMS must be at least 1"
                                             : kalvendo::bench::WriteHostileClaims(argv[2], kind, claims, &bytes);
        if (!error.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return error.rfind("CLAIMS", 0) == 0 ? 2 : 1;
        }
        std::printf("%s: %d claims, word/document.xml %zu bytes\n", argv[2], claims, bytes);
        return 0;
    }
    const bool complete = argc > 1 && std::string(argv[1]) == "--complete";
    if (complete) {
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_patent [--complete] OUTPUT.docx [PARAGRAPHS]\n");
        return 2;
    }
    const int paragraphs = argc > 2 ? std::atoi(argv[2]) : 10000;
    const int least = complete ? 300 : 3;
    if (paragraphs < least) {
        std::fprintf(stderr, "PARAGRAPHS must be at least %d\n", least);
        return 2;
    }
    std::size_t bytes = 0;
    const std::string error = complete ? kalvendo::bench::WriteCompleteApplication(argv[1], paragraphs, &bytes)
                                       : kalvendo::bench::WritePatentDocument(argv[1], paragraphs, &bytes);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %d paragraphs, word/document.xml %zu bytes\n", argv[1], paragraphs, bytes);
    return 0;
}
