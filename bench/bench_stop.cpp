// How soon a stop request ends a run: the window's 中止 on a long document.
//
//   bench_stop FILE [TASK...]      (tasks 0 1 2 by default)
//
// For each task, first one whole run notes the boundaries at which a stop is
// taken up (the host's PollEvents) and reports the longest gap between two of
// them while the document is open and before the save begins (a stop is not
// taken up during the open, which is one step, nor during the save, which
// must finish once begun). Then runs are stopped at moments spread
// over that run; each reports the time from the request to the end of the
// run, and that the input was left as it was. FILE is copied into a scratch
// folder for every run, so it is never changed.

#include "bench/bench_support.h"
#include "engine/runner/task_plan.h"
#include "engine/runner/task_runner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The shared bench host, with the boundaries timed and a stop requested at
// the first boundary after `stopAtNs` (when set).
class StopHost : public bench::BenchHost {
public:
    QElapsedTimer clock;
    engine::TaskRunner* runner = nullptr;
    qint64 stopAtNs = -1;
    qint64 requestedNs = -1;
    qint64 openedNs = -1;
    qint64 savingNs = -1;
    qint64 lastBoundaryNs = -1;
    qint64 longestGapNs = 0;

    void PollEvents() override {
        const qint64 now = clock.nsecsElapsed();
        if (openedNs >= 0 && savingNs < 0 && lastBoundaryNs >= 0) longestGapNs = std::max(longestGapNs, now - lastBoundaryNs);
        lastBoundaryNs = now;
        if (stopAtNs >= 0 && requestedNs < 0 && now >= stopAtNs) {
            requestedNs = now;
            runner->RequestStop();
        }
    }
    void ShowStatus(const QString& text) override {
        BenchHost::ShowStatus(text);
        if (text == QStringLiteral("保存処理中") && savingNs < 0) savingNs = clock.nsecsElapsed();
    }
    void SetProgress(double value) override {
        BenchHost::SetProgress(value);
        if (value == 25 && openedNs < 0) openedNs = clock.nsecsElapsed();
    }
};

double ms(qint64 ns) { return ns / 1e6; }

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct RunResult {
    qint64 totalNs = 0;
    qint64 openedNs = -1;
    qint64 requestedNs = -1;
    qint64 longestGapNs = 0;
    qint64 savingNs = -1;
    engine::RunOutcome outcome = engine::RunOutcome::Completed;
    bool inputKept = false;
    int files = 0;
};

RunResult runOnce(const QString& input, int task, qint64 stopAtNs) {
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QFileInfo(input).fileName());
    QFile::copy(input, copy);
    const QByteArray before = bytesOf(copy);
    StopHost host;
    engine::TaskRunner runner(host);
    host.runner = &runner;
    host.file = copy;
    host.stopAtNs = stopAtNs;
    host.clock.start();
    engine::RunStartButton(runner, host, task);
    RunResult r;
    r.totalNs = host.clock.nsecsElapsed();
    r.openedNs = host.openedNs;
    r.requestedNs = host.requestedNs;
    r.longestGapNs = host.longestGapNs;
    r.savingNs = host.savingNs;
    r.outcome = runner.LastOutcome();
    r.inputKept = bytesOf(copy) == before;
    r.files = static_cast<int>(QDir(scratch.path()).entryList(QDir::Files).size());
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_stop FILE [TASK...]\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    if (!QFileInfo::exists(input)) {
        std::fprintf(stderr, "bench_stop: %s: no such file\n", argv[1]);
        return 1;
    }
    std::vector<int> tasks;
    for (int i = 2; i < argc; ++i) tasks.push_back(std::atoi(argv[i]));
    if (tasks.empty()) tasks = {0, 1, 2};

    bool allWithinTarget = true;
    for (const int task : tasks) {
        const RunResult whole = runOnce(input, task, -1);
        std::printf("task %d: whole run %.0f ms, document open after %.0f ms, save from %.0f ms; "
                    "longest gap between stop points in between %.1f ms\n",
                    task, ms(whole.totalNs), ms(whole.openedNs), ms(whole.savingNs), ms(whole.longestGapNs));
        double worst = 0;
        const int samples = 8;
        for (int i = 1; i <= samples; ++i) {
            // Moments spread over the part of the run between the open and the save.
            const qint64 at = whole.openedNs + (whole.savingNs - whole.openedNs) * i / (samples + 1);
            const RunResult r = runOnce(input, task, at);
            if (r.requestedNs < 0) continue;
            const double latency = ms(r.totalNs - r.requestedNs);
            const bool stopped = r.outcome == engine::RunOutcome::Stopped;
            if (stopped) worst = std::max(worst, latency);
            if (stopped)
                std::printf("  stop at %6.0f ms: stopped after %.1f ms, input %s, %d file(s) in the folder\n",
                            ms(r.requestedNs), latency, r.inputKept ? "unchanged" : "CHANGED", r.files);
            else
                std::printf("  stop at %6.0f ms: came during the save, the run finished\n", ms(r.requestedNs));
        }
        std::printf("  slowest stop: %.1f ms (target 200 ms)\n", worst);
        if (worst > 200) allWithinTarget = false;
    }
    return allWithinTarget ? 0 : 1;
}
