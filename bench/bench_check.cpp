// Times the check before filing (task code 6) on a document: the open, the
// reading of the text, each rule, and the whole task through the runner as the
// window runs it (open, rules, report). The document is never changed; the
// report is written into a scratch folder beside a copy.
//
//   bench_check FILE [RUNS]
//
// Prints each phase of the best run, the number of findings of each kind and
// the median time of the whole task.

#include "bench_support.h"
#include "engine/check/check_rules.h"
#include "engine/runner/host.h"
#include "engine/runner/task_plan.h"
#include "engine/runner/task_runner.h"
#include "word/automation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using bench::CpuMs;
using QuietHost = bench::CountingHost;

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_check FILE [RUNS]\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    if (!QFileInfo::exists(input)) {
        std::fprintf(stderr, "bench_check: %s: no such file\n", argv[1]);
        return 1;
    }

    // The phases, once, through the engine directly.
    QElapsedTimer clock;
    clock.start();
    auto wordApp = word::Application::CreateObject(QStringLiteral("Word.Application"));
    auto doc = wordApp->Documents().Open(input, true);
    const qint64 opened = clock.elapsed();
    const engine::check::CheckedText text(engine::check::StoryParagraphs(doc->model()));
    const qint64 read = clock.elapsed();
    std::printf("%s: %d paragraphs\n", argv[1], text.size());
    std::printf("open              %6lld ms\n", static_cast<long long>(opened));
    std::printf("text read         %6lld ms\n", static_cast<long long>(read - opened));
    engine::check::Findings all;
    for (const auto& rule : engine::check::CheckRules()) {
        const qint64 before = clock.elapsed();
        const double cpuBefore = CpuMs();
        const auto found = rule.run(doc->model(), text);
        all.insert(all.end(), found.begin(), found.end());
        std::printf("%-40s %6lld ms  %6.0f ms CPU  %zu findings\n", rule.status.toUtf8().constData(),
                    static_cast<long long>(clock.elapsed() - before), CpuMs() - cpuBefore, found.size());
    }
    std::printf("open + read + rules %6lld ms\n", static_cast<long long>(clock.elapsed()));
    std::printf("findings: %s\n", all.empty() ? "none" : engine::check::CountsByKind(all).toUtf8().constData());
    doc->Close(word::wdDoNotSaveChanges);

    // The whole task as the window runs it, on a copy in a scratch folder.
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QFileInfo(input).fileName());
    if (!QFile::copy(input, copy)) return 1;
    std::vector<double> wall, cpu;
    for (int r = 0; r < runs; ++r) {
        QuietHost host;
        host.file = copy;
        engine::TaskRunner runner(host);
        clock.restart();
        const double cpuBefore = CpuMs();
        if (!engine::RunStartButton(runner, host, 6)) {
            std::fprintf(stderr, "bench_check: the task did not complete\n");
            return 1;
        }
        wall.push_back(double(clock.elapsed()));
        cpu.push_back(CpuMs() - cpuBefore);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("task 6 end to end, %d runs: median %.0f ms wall, %.0f ms CPU (best %.0f ms wall)\n", runs,
                wall[wall.size() / 2], cpu[cpu.size() / 2], wall.front());
    return 0;
}
