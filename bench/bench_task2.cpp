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

#include "bench/bench_support.h"
#include "engine/task_runner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <random>

namespace {

const char* const kEnglish[] = {
    "The substrate processing apparatus includes a chamber and a controller.",
    "A first electrode faces a second electrode across the processing space.",
    "The controller applies a predetermined voltage between the electrodes.",
    "As shown in FIG. 1, the temperature sensor 12 is arranged inside the vessel 10.",
    "Thereby, the uniformity of the treatment is improved.",
    "The gas supply unit 20 supplies a reaction gas at 200°C.",
    "As a result, power consumption can be reduced compared with the conventional device.",
    "In the present embodiment, a thin film is formed on the surface of the wafer W.",
};
const char* const kJapanese[] = {
    "基板処理装置は、チャンバと制御部とを備える。",
    "第１の電極は、処理空間を挟んで第２の電極と対向する。",
    "制御部は、電極間に所定の電圧を印加する。",
    "図１に示すように、温度センサ１２は処理容器１０の内部に配置されている。",
    "これにより、処理の均一性が向上する。",
    "ガス供給部２０は、２００℃の反応ガスを供給する。",
    "その結果、従来の装置と比較して消費電力を低減できる。",
    "本実施形態では、ウエハＷの表面に薄膜が形成される。",
};

// A paragraph whose text is cut into two runs, the second with a font hint.
QByteArray paragraph(const QByteArray& text, std::mt19937& rng) {
    const QString s = QString::fromUtf8(text);
    if (s.size() < 8) return "<w:p><w:r><w:t xml:space=\"preserve\">" + bench::EscapeXml(text) + "</w:t></w:r></w:p>";
    const int cut = std::uniform_int_distribution<int>(1, static_cast<int>(s.size()) - 1)(rng);
    return "<w:p><w:pPr><w:jc w:val=\"both\"/></w:pPr><w:r><w:t xml:space=\"preserve\">" +
           bench::EscapeXml(s.left(cut).toUtf8()) + "</w:t></w:r><w:r><w:rPr><w:rFonts w:hint=\"eastAsia\"/></w:rPr>" +
           "<w:t xml:space=\"preserve\">" + bench::EscapeXml(s.mid(cut).toUtf8()) + "</w:t></w:r></w:p>";
}

bool writeTaggedDocx(const QString& path, int paragraphs) {
    std::mt19937 rng(20261207);
    QByteArray body;
    int count = 0;
    const auto add = [&](const QByteArray& text) {
        body += paragraph(text, rng);
        ++count;
    };
    add("--/H");
    int block = 0;
    while (count < paragraphs - 4) {
        const int i = block % 8;
        add(kEnglish[i]);
        add(kJapanese[i]);
        ++block;
        if (block % 50 == 0)
            add("--/Z"), add("【０００１】"), add("--/D");
        else
            add(block % 3 == 0 ? "--/E" : "--/M");
    }
    while (count < paragraphs) add("");
    return bench::WriteDocx(path, body);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int paragraphs = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 10000;
    QTemporaryDir temporary;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("tagged.docx"));
    if (!writeTaggedDocx(path, paragraphs)) {
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
