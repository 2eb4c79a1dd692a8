// Writes a tagged bilingual .docx for the benchmarks (see tagged_document.h).
//
//   gen_tagged OUTPUT.docx PARAGRAPHS        blocks closed as in bench_task2
//   gen_tagged OUTPUT.docx --joins N         N blocks in one run of "--/M"
//                                            tags: the deletion joins their
//                                            N translations into one paragraph

#include "bench/tagged_document.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: gen_tagged OUTPUT.docx PARAGRAPHS | --joins N\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    bool ok = false;
    if (std::strcmp(argv[2], "--joins") == 0 && argc > 3) {
        const int joins = QString::fromLocal8Bit(argv[3]).toInt();
        // "--/H", then each block: source, translation, "--/M".
        ok = bench::WriteTaggedDocx(path, 1 + 3 * joins + 4, {0, 0});
    } else {
        ok = bench::WriteTaggedDocx(path, QString::fromLocal8Bit(argv[2]).toInt());
    }
    if (!ok) std::fprintf(stderr, "gen_tagged: cannot write %s\n", argv[1]);
    return ok ? 0 : 1;
}
