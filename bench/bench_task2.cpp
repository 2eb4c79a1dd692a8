// Task code 2 (source-text deletion) end to end on a tagged bilingual
// document: the runner's common start, the tag passes, both walks with a
// status text per paragraph, the deleted-text file, the check and its reports,
// the removal passes and the save with backup.
//
// Usage: bench_task2 [PARAGRAPHS] [FOLDER]   (default 10000, a temporary folder)
//
// The document alternates tag paragraphs, English source sentences and their
// Japanese translations (H, then blocks of M/E tags, the odd D, Y and Z), with
// runs split and formatted as word processors leave them.

#include "bench/tagged_document.h"
#include "engine/runner/task_runner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int paragraphs = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 10000;
    QTemporaryDir temporary;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("tagged.docx"));
    if (!bench::WriteTaggedDocx(path, paragraphs)) {
        std::fprintf(stderr, "bench_task2: cannot write %s\n", qPrintable(path));
        return 1;
    }

    bench::BenchHost host;
    host.file = path;
    engine::TaskRunner runner(host);
    runner.SetColourFlag(false);
    QElapsedTimer timer;
    const std::clock_t cpuStart = std::clock();
    timer.start();
    runner.RunTask(2);
    const qint64 ms = timer.elapsed();
    const long long cpuMs = static_cast<long long>((std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC);

    const bool ok = runner.LastOutcome() == engine::RunOutcome::Completed;
    std::printf("task code 2 on %d paragraphs: %lld ms wall, %lld ms CPU (%s), %d status texts, %lld reports opened\n",
                paragraphs, static_cast<long long>(ms), cpuMs, ok ? "completed" : "FAILED", host.statuses,
                static_cast<long long>(host.opened.size()));
    for (const QString& m : host.messages) std::printf("  message: %s\n", qPrintable(m.left(80)));
    return ok ? 0 : 1;
}
