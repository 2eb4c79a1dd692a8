// Times task code 0 (new paragraph numbering) end to end on a document: open,
// all passes, renumbering, save with backup — the same runner the window uses.
//
//   bench_task0 FILE [RUNS]
//
// FILE is copied into a scratch folder for every run, so it is never changed.
// Prints the phases of the best run and the median total.

#include "engine/runner/host.h"
#include "engine/runner/task_runner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A host that only notes when the phases begin.
class TimingHost : public engine::Host {
public:
    QString file;
    QElapsedTimer clock;
    qint64 opened = -1, renumbering = -1, saving = -1, done = -1;
    QString lastNumber;
    QString log;
    QStringList messages;

    void ShowLog(int mode, const QString& text) override { log += (mode == 2 ? QStringLiteral("\n") : QString()) + text; }
    void ShowStatus(const QString& text) override {
        if (text.startsWith(QStringLiteral("段落振り直し："))) {
            if (renumbering < 0) renumbering = clock.nsecsElapsed();
            lastNumber = text.mid(7).trimmed();
        }
        if (text == QStringLiteral("段落振り：保存処理")) saving = clock.nsecsElapsed();
        if (text == QStringLiteral("段落振り完了")) done = clock.nsecsElapsed();
    }
    void SetProgress(double value) override {
        progress_ = value;
        if (value == 25) opened = clock.nsecsElapsed();
    }
    double Progress() const override { return progress_; }
    void RefreshProgress() override {}
    void Wait1Sec() override {}
    void DoEvents() override {}
    using engine::Host::MessageBox;
    void MessageBox(const QString& text, const QString&, bool) override { messages << text; }
    void BrowseForFile() override {}
    void OpenWithShell(const QString&) override {}
    QString FilePathText() const override { return file; }
    engine::TaskOptions Options() const override { return {}; }

private:
    double progress_ = 0;
};

double ms(qint64 ns) { return ns / 1e6; }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_task0 FILE [RUNS]\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    if (!QFileInfo::exists(input)) {
        std::fprintf(stderr, "bench_task0: %s: no such file\n", argv[1]);
        return 1;
    }

    std::vector<double> totals;
    TimingHost best;
    double bestTotal = 1e300;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QFileInfo(input).fileName());
        QFile::copy(input, path);
        TimingHost host;
        host.file = path;
        engine::TaskRunner runner(host);
        host.clock.start();
        runner.RunTask(0);
        const qint64 total = host.clock.nsecsElapsed();
        if (runner.LastOutcome() != engine::RunOutcome::Completed) {
            std::fprintf(stderr, "bench_task0: the run failed: %s\n", host.messages.join(" / ").toUtf8().constData());
            return 1;
        }
        totals.push_back(ms(total));
        if (ms(total) < bestTotal) {
            bestTotal = ms(total);
            best = std::move(host);
        }
    }
    std::sort(totals.begin(), totals.end());
    std::printf("task 0 on %s (%lld bytes), %d runs\n", argv[1], static_cast<long long>(QFileInfo(input).size()), runs);
    std::printf("  best run: open %.0f ms, passes %.0f ms, renumbering %.0f ms, save %.0f ms, total %.0f ms\n",
                ms(best.opened), ms(best.renumbering - best.opened), ms(best.saving - best.renumbering),
                ms(best.done - best.saving), bestTotal);
    std::printf("  numbers written: %s\n", best.lastNumber.toUtf8().constData());
    std::printf("  median total: %.0f ms\n", totals[totals.size() / 2]);
    std::printf("  log: %s\n", best.log.trimmed().toUtf8().constData());
    return 0;
}
