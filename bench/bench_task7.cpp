// Task code 7 (item renumbering) end to end on a long set of claims: the
// runner's common start, the reading and planning, one find-and-replace per
// changed number, and the save with backup.
//
// Usage: bench_task7 [CLAIMS] [FOLDER]   (default 2000 claims, a temporary folder)
//
// Claim 1 is independent; a claim numbered CLAIMS+1 was inserted after it, so
// every later claim moves up by one. Each other claim cites earlier claims five
// times in the phrasings of real claims — one claim, two claims as a choice, a
// list, a range with いずれか (which the inserted claim breaks when it starts at
// claim 1), 請求項ｎから請求項ｍ — now and then in half-width or kanji numerals.
// Every heading number stands in a run of its own, as word processors leave it.

#include "bench/bench_support.h"
#include "engine/runner/task_runner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <random>

namespace {

QByteArray FullWidth(int n) {
    QString digits = QString::number(n);
    for (QChar& c : digits) c = QChar(0xFF10 + (c.unicode() - u'0'));
    return digits.toUtf8();
}

QByteArray Run(const QByteArray& text, const QByteArray& rPr = {}) {
    return "<w:r>" + (rPr.isEmpty() ? QByteArray() : "<w:rPr>" + rPr + "</w:rPr>") + "<w:t xml:space=\"preserve\">" +
           bench::EscapeXml(text) + "</w:t></w:r>";
}

// One claim: its heading split into three runs, then its text with five citations.
QByteArray Claim(int number, int standing, std::mt19937& rng) {
    QByteArray text = "<w:p>" + Run("【請求項") + Run(FullWidth(number), "<w:b/>") + Run("】") + "</w:p><w:p>";
    if (standing == 1) return text + Run("基板を処理する装置であって、処理容器と制御部とを備える装置。") + "</w:p>";
    if (standing == 2) return text + Run("請求項１に記載の装置であって、排気部を備える装置。") + "</w:p>";
    // Earlier claims as they were numbered before the insertion: 1, then 2.. for
    // the claims standing at 3.. (the inserted claim is never cited).
    const int highest = standing - 1;
    auto earlier = [&]() { return std::uniform_int_distribution<int>(1, std::max(1, highest - 1))(rng); };
    const int a = earlier();
    const int b = std::min(a + 1 + static_cast<int>(rng() % 3), highest);
    QByteArray body = "請求項" + FullWidth(a) + "に記載の装置であって、前記制御部は、請求項" + FullWidth(a) + "又は" +
                      FullWidth(b) + "の電極と、請求項" + FullWidth(a) + "、" + FullWidth(b) + "又は" +
                      FullWidth(highest) + "の部材と、請求項" + FullWidth(a) + "～" + FullWidth(b) +
                      "のいずれか一項に記載のガス供給部と、請求項" + FullWidth(a) + "から請求項" + FullWidth(highest) +
                      "のいずれかの温度センサとを備える。";
    if (standing % 7 == 0) body += "（請求項" + QByteArray::number(a) + "又は" + QByteArray::number(b) + "参照）";
    return text + Run(body) + "</w:p>";
}

bool WriteClaims(const QString& path, int claims) {
    std::mt19937 rng(20261207);
    QByteArray body = "<w:p>" + Run("【書類名】特許請求の範囲") + "</w:p>";
    // Claim 1, the inserted claim (numbered after the last), then claims 2.. as they were.
    body += Claim(1, 1, rng);
    body += Claim(claims, 2, rng);
    for (int old = 2; old < claims; ++old) body += Claim(old, old + 1, rng);
    return bench::WriteDocx(path, body);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int claims = argc > 1 ? std::max(3, QString::fromLocal8Bit(argv[1]).toInt()) : 2000;
    QTemporaryDir temporary;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("claims.docx"));
    if (!WriteClaims(path, claims)) {
        std::fprintf(stderr, "bench_task7: cannot write %s\n", qPrintable(path));
        return 1;
    }

    bench::BenchHost host;
    host.file = path;
    engine::TaskRunner runner(host);
    QElapsedTimer timer;
    const std::clock_t cpuStart = std::clock();
    timer.start();
    runner.RunTask(7);
    const qint64 ms = timer.elapsed();
    const long long cpuMs = static_cast<long long>((std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC);

    const bool ok = runner.LastOutcome() == engine::RunOutcome::Completed;
    std::printf("task code 7 on %d claims: %lld ms wall, %lld ms CPU (%s)\n", claims, static_cast<long long>(ms), cpuMs,
                ok ? "completed" : "FAILED");
    for (const QString& line : host.log.split(u'\n')) {
        if (line.contains(QStringLiteral("引用")) || line.contains(QStringLiteral("保存")))
            std::printf("  %s\n", qPrintable(line.right(90)));
    }
    const qsizetype notes = host.log.count(QStringLiteral("請求項：【"));
    std::printf("  %lld notes (ranges written out, citations left alone)\n", static_cast<long long>(notes));
    for (const QString& m : host.messages) std::printf("  message: %s\n", qPrintable(m.left(80)));
    return ok ? 0 : 1;
}
