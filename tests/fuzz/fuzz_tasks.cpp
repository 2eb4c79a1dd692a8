// libFuzzer target for what the tasks read from a document: the input is the
// main document part (with repeats, see expandRepeats, so that it can nest
// deep) of an otherwise valid package, which goes through the filing HTML
// with its pictures and sections (task 5), every rule of the check (task 6),
// and the plan of the item renumbering with its edits applied (task 7).
// Only word::Error may come out.
//
// Run e.g.: fuzz_tasks -max_total_time=180 -dict=tests/fuzz/document.dict CORPUS_DIR tests/fuzz/seeds

#include "engine/check/check_rules.h"
#include "engine/items/item_renumbering.h"
#include "fuzz_common.h"
#include "word/automation.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/html_writer.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string>

using fuzzsupport::expandRepeats;
using fuzzsupport::workDir;
using fuzzsupport::writePackage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = workDir() + "/in.docx";
    if (!writePackage(in, expandRepeats(data, size))) std::abort();
    try {
        auto model = word::ooxml::DocumentModel::open(QString::fromStdString(in));
        word::ooxml::FilingHtmlOptions options;
        options.convertPictures = true;
        options.splitDocuments = size % 2 == 0;
        // No LibreOffice here: metafiles and equation pages draw as nothing.
        options.renderMetafile = [](const QByteArray&, const QString&, QSize) { return QByteArray(); };
        options.renderPages = [](const std::vector<QByteArray>&, int) { return std::vector<QByteArray>(); };
        word::ooxml::writeFilingHtml(*model, QString::fromStdString(workDir() + "/in.docx.htm"), options);
        (void)engine::check::RunAllChecks(*model);
        const engine::RenumberingPlan plan =
            engine::PlanItemRenumbering(model->text(), {engine::ItemFamily::Claim, engine::ItemFamily::Figure,
                                                        engine::ItemFamily::Table, engine::ItemFamily::Formula,
                                                        engine::ItemFamily::Equation});
        std::vector<word::ooxml::Edit> edits;
        for (const engine::NumberEdit& e : plan.edits) edits.push_back({e.start, e.end, e.newText});
        model->replaceMany(edits);
    } catch (const word::Error&) {
    }
    return 0;
}
