// libFuzzer target: the input is taken as a .docx file and goes through the
// whole engine: open, story text, a replace-all pass, a pass that inserts and
// removes paragraph marks, colour, save. Only word::Error may come out.
//
// Build: CXX=clang++ cmake -DKALVENDO_FUZZ=ON ...; run e.g.
//   fuzz_open -max_total_time=240 CORPUS_DIR SEED_DIR

#include "word/automation.h"
#include "word/ooxml/document_model.h"
#include "fuzz_common.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using fuzzsupport::replaceAll;
using fuzzsupport::workDir;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = workDir() + "/in.docx";
    const std::string out = workDir() + "/out.docx";
    FILE* f = std::fopen(in.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    try {
        auto model = word::ooxml::DocumentModel::open(QString::fromStdString(in));
        const QString text = model->text();
        replaceAll(*model, "e", "E");
        replaceAll(*model, ". ", ".^p\xC2\xA4");  // split after each sentence, with a marker
        replaceAll(*model, "^p\xC2\xA4", " ");     // and join the halves again
        replaceAll(*model, ".^p", " ");            // joins where joining is allowed
        model->setColor(0, model->length(), 0x0000FF);
        if (model->length() > 2) model->setColor(1, model->length() - 1, word::wdColorAutomatic);
        model->save(QString::fromStdString(out));
        (void)text;
    } catch (const word::Error&) {
    }
    return 0;
}
