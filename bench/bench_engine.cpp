// Times the document engine on a large document the way the numbering task
// uses it: open, the 65 replace-all passes of new paragraph numbering, save.
// Prints the times and the peak resident memory.
//
// Usage: bench_engine INPUT.docx OUTPUT.docx [--renumber]
//   --renumber  also times the placeholder numbering loop (one replace-one
//               search from the top of the document per placeholder)

#include "engine/find_replace.h"
#include "engine/text_helpers.h"
#include "word/automation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct Pass {
    QString find;
    QString replacement;
};

QString fullWidthDigit(int i) { return engine::ToFullWidthDigits(engine::NumToStr(i)); }

// The passes of new paragraph numbering, in their order.
std::vector<Pass> numberingPasses() {
    std::vector<Pass> passes = {
        {"】 ^013", "】^013"},
        {"】　^013", "】^013"},
        {"。 ^013", "。^013"},
        {"。　^013", "。^013"},
        {"。^013　", "。^013　【００００】^013　"},
    };
    const QStringList headings = {"技術分野", "背景技術", "特許文献", "非特許文献",
                                  "発明が解決しようとする課題", "課題を解決するための手段", "発明の効果",
                                  "図面の簡単な説明", "発明を実施するための形態", "実施例",
                                  "産業上の利用可能性", "符号の説明"};
    for (const QString& h : headings) {
        QString search = "【" + h + "】^013　";
        passes.push_back({search, search + "【００００】^013　"});
    }
    for (int width = 1; width <= 7; ++width) {
        QString digits = QString("^#").repeated(width);
        passes.push_back({"[" + digits + "]^013[" + digits + "]", "【００００】"});
    }
    passes.push_back({"【０】", "【００００】"});
    passes.push_back({"【００】", "【００００】"});
    passes.push_back({"【０００】", "【００００】"});
    const QStringList prefixes = {"【", "【０", "【００", "【０００"};
    for (const QString& prefix : prefixes)
        for (int i = 1; i <= 9; ++i) passes.push_back({prefix + fullWidthDigit(i), prefix + "０"});
    passes.push_back({"^013　【００００】^013　【００００】", "^013　【００００】"});
    passes.push_back({"^013　【００００】^013　【００００】", "^013　【００００】"});
    return passes;
}

long peakRssKb() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// CPU time of the process so far: on a loaded machine the wall-clock times
// include waiting for a core, this does not.
double cpuMs() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_engine INPUT.docx OUTPUT.docx [--renumber]\n");
        return 2;
    }
    const bool renumber = args.contains("--renumber");
    try {
        auto word = word::Application::CreateObject("Word.Application");
        QElapsedTimer total;
        total.start();

        QElapsedTimer t;
        t.start();
        double cpu = cpuMs();
        auto doc = word->Documents().Open(args[1], false);
        const int length = doc->Content().End();
        const double openMs = ms(t);
        const double openCpu = cpuMs() - cpu;
        cpu = cpuMs();

        const std::vector<Pass> passes = numberingPasses();
        t.restart();
        double slowest = 0;
        QString slowestText;
        int found = 0;
        for (const Pass& pass : passes) {
            QElapsedTimer one;
            one.start();
            if (engine::ReplaceAllIn(doc->Content(), pass.find, pass.replacement)) ++found;
            if (ms(one) > slowest) {
                slowest = ms(one);
                slowestText = pass.find;
            }
        }
        const double passesMs = ms(t);
        const double passesCpu = cpuMs() - cpu;

        double renumberMs = 0, renumberCpu = 0;
        int numbered = 0;
        if (renumber) {
            t.restart();
            cpu = cpuMs();
            for (int n = 1;; ++n) {
                word::Range range = doc->Content();
                word::Find f = range.Find();
                f.SetText("【００００】");
                f.SetMatchWildcards(false);
                f.SetForward(true);
                QString digits = engine::ToFullWidthDigits(("0000" + engine::NumToStr(n)).right(4));
                f.Replacement().SetText("【" + digits + "】");
                f.Execute(word::wdReplaceOne);
                if (!f.Found()) break;
                numbered = n;
            }
            renumberMs = ms(t);
            renumberCpu = cpuMs() - cpu;
        }

        t.restart();
        cpu = cpuMs();
        doc->SaveAs(args[2]);
        const double saveMs = ms(t);
        const double saveCpu = cpuMs() - cpu;
        const double totalMs = ms(total) - renumberMs;

        std::printf("story length      %d characters (%d after the passes)\n", length, doc->Content().End());
        std::printf("                  wall clock   CPU\n");
        std::printf("open              %8.1f ms %8.1f ms\n", openMs, openCpu);
        std::printf("%zu passes         %8.1f ms %8.1f ms (%d found something; slowest %.1f ms: %s)\n",
                    passes.size(), passesMs, passesCpu, found, slowest, qPrintable(slowestText));
        std::printf("save              %8.1f ms %8.1f ms\n", saveMs, saveCpu);
        std::printf("open+passes+save  %8.1f ms %8.1f ms\n", totalMs, openCpu + passesCpu + saveCpu);
        if (renumber)
            std::printf("renumbering       %8.1f ms %8.1f ms (%d placeholders; not in the sum)\n", renumberMs,
                        renumberCpu, numbered);
        std::printf("peak RSS          %8.1f MB\n", static_cast<double>(peakRssKb()) / 1024.0);
        doc->Close(word::wdDoNotSaveChanges);
    } catch (const word::Error& e) {
        std::fprintf(stderr, "bench_engine: %s\n", e.what());
        return 1;
    }
    return 0;
}
