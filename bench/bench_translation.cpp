// Times the translation check (task code 8) on a generated Japanese
// specification and its English translation with injected faults: the
// reading of both texts, the alignment, each check, and the whole task
// through the runner as the window runs it (both documents opened, checks,
// report). Neither document is changed.
//
//   bench_translation [PARAGRAPHS] [RUNS]     (default 10,000 paragraphs, 3 runs)
//
// Prints each phase, the findings of each kind against the faults injected,
// and the median CPU and wall-clock time of the whole task.

#include "bench_support.h"
#include "engine/check/check_rules.h"
#include "engine/runner/task_plan.h"
#include "engine/runner/task_runner.h"
#include "engine/translation/translation_rules.h"
#include "translation_pair.h"
#include "word/automation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using bench::CpuMs;
using QuietHost = bench::CountingHost;

QStringList Paragraphs(const QString& path) {
    auto app = word::Application::CreateObject(QStringLiteral("Word.Application"));
    auto doc = app->Documents().Open(path, true);
    QStringList paragraphs = engine::check::StoryParagraphs(doc->model());
    doc->Close(word::wdDoNotSaveChanges);
    return paragraphs;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int paragraphs = argc > 1 ? std::max(100, atoi(argv[1])) : 10000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    QTemporaryDir scratch;
    const QString ja = scratch.filePath(QStringLiteral("source-ja.docx"));
    const QString en = scratch.filePath(QStringLiteral("translation-en.docx"));
    const bench::WrittenPair written = bench::WriteTranslationPair(ja, en, {paragraphs, 100});
    if (written.paragraphs == 0) {
        std::fprintf(stderr, "bench_translation: could not write the documents\n");
        return 1;
    }
    std::printf("%d paragraphs in the source, %d faults injected\n", written.paragraphs, written.faults);

    QElapsedTimer clock;
    clock.start();
    double cpu = CpuMs();
    auto phase = [&](const char* name) {
        std::printf("%-28s %6.0f ms CPU %6lld ms wall\n", name, CpuMs() - cpu, static_cast<long long>(clock.restart()));
        cpu = CpuMs();
    };
    const QStringList source = Paragraphs(ja);
    const QStringList translation = Paragraphs(en);
    phase("open and read both");
    const engine::translation::Comparison comparison =
        engine::translation::CompareDocuments(source, translation, QStringLiteral("ja"), QStringLiteral("en"));
    phase("units and alignment");
    engine::check::Findings all;
    for (const auto& rule : engine::translation::TranslationRules()) {
        const auto found = rule.run(comparison);
        all.insert(all.end(), found.begin(), found.end());
        std::printf("  %-30s %zu findings\n", rule.status.toUtf8().constData(), found.size());
        for (size_t k = 0; k < found.size() && k < 3; ++k)
            std::printf("      %s\t%s\t%s\n", found[k].kind.toUtf8().constData(), found[k].where.toUtf8().constData(),
                        found[k].what.toUtf8().constData());
        phase("  (rule)");
    }
    std::printf("findings: %s\n", engine::check::CountsByKind(all, engine::translation::kTranslationKinds).toUtf8().constData());

    std::vector<double> wall, cpus;
    for (int r = 0; r < runs; ++r) {
        QuietHost host;
        host.file = en;
        host.options.companionPath = ja;
        engine::TaskRunner runner(host);
        clock.restart();
        const double before = CpuMs();
        if (!engine::RunStartButton(runner, host, 8)) {
            std::fprintf(stderr, "bench_translation: the task did not complete\n");
            return 1;
        }
        wall.push_back(double(clock.elapsed()));
        cpus.push_back(CpuMs() - before);
        if (r == 0) std::printf("task 8 reported %d findings\n", host.findings);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpus.begin(), cpus.end());
    std::printf("task 8 end to end, %d runs: median %.0f ms CPU, %.0f ms wall\n", runs, cpus[cpus.size() / 2],
                wall[wall.size() / 2]);
    return 0;
}
