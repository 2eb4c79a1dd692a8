// libFuzzer target for the document model's XML handling: the input is taken
// as the main document part of an otherwise valid package, which then goes
// through open, story text, replace passes across runs and paragraph marks,
// colour and save. (Mutating a whole .docx mostly breaks its checksums; this
// target reaches the model with every input.) Only word::Error may come out.
//
// Seeds: word/document.xml of a few corpus documents, e.g.
//   unzip -p some.docx word/document.xml > seeds/some.xml
// and the nested ones in tests/fuzz/seeds (see expandRepeats).

#include "word/automation.h"
#include "word/ooxml/document_model.h"
#include "fuzz_common.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using fuzzsupport::expandRepeats;
using fuzzsupport::replaceAll;
using fuzzsupport::writePackage;
using fuzzsupport::workDir;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = workDir() + "/in.docx";
    const std::string out = workDir() + "/out.docx";
    if (!writePackage(in, expandRepeats(data, size))) std::abort();
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
