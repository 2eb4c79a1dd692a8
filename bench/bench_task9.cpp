// Task code 9 (the written amendment) end to end on a long description: the
// runner's common start, both versions read, their units aligned, the blocks
// made, the amendment's body built and saved.
//
// Usage: bench_task9 [PARAGRAPHS] [CHANGES] [FOLDER]
//        (default 10000 paragraphs, 100 changes, a temporary folder)
//
// The earlier version holds PARAGRAPHS numbered paragraphs under a heading
// every twenty, each a sentence of its own, then fifty claims. The amended
// version changes CHANGES of them spread evenly over the text: eight in ten
// have a word inserted, one in ten is deleted, and after one in ten a new
// paragraph is inserted; the paragraph numbers are then made consecutive
// again, as task 1 leaves them, so that the alignment must go by content.

#include "bench/bench_support.h"
#include "engine/runner/task_runner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

QByteArray FullWidth(int n, int width) {
    QString digits = QString::number(n).rightJustified(width, u'0');
    for (QChar& c : digits) c = QChar(0xFF10 + (c.unicode() - u'0'));
    return digits.toUtf8();
}

QByteArray Para(const QByteArray& text) {
    return "<w:p><w:r><w:t xml:space=\"preserve\">" + bench::EscapeXml(text) + "</w:t></w:r></w:p>";
}

QByteArray Sentence(int k) {
    return "　実施形態" + QByteArray::number(k) + "では、基板" + QByteArray::number(k % 97) + "を処理容器に搬入し、温度を" +
           QByteArray::number(100 + k % 400) + "度に保って処理する。";
}

// The description's paragraphs, in order, before or after the amendment;
// a heading stands before the original paragraphs 1, 21, 41, …
QList<QByteArray> Sentences(int paragraphs, int changes, bool amended) {
    QList<QByteArray> out;
    auto heading = [&](int k) {
        if (k % 20 == 1) out << "【実施例" + FullWidth(k / 20 + 1, 1) + "】";
    };
    const int every = std::max(1, paragraphs / std::max(1, changes));
    for (int k = 1; k <= paragraphs; ++k) {
        const bool changed = amended && k % every == every / 2 && (k / every) < changes;
        const int kind = (k / every) % 10;
        heading(k);
        if (!changed) {
            out << Sentence(k);
        } else if (kind == 0) {
            // deleted (its heading kept)
        } else if (kind == 1) {
            out << Sentence(k) << "　さらに、処理の後に基板" + QByteArray::number(k) + "を冷却してもよい。";
        } else {
            QByteArray s = Sentence(k);
            s.insert(s.indexOf("処理する"), "減圧下で");
            out << s;
        }
    }
    return out;
}

bool WriteVersion(const QString& path, int paragraphs, int changes, bool amended) {
    QByteArray body = Para("【書類名】明細書") + Para("【発明の名称】基板処理装置");
    int number = 0;
    const QList<QByteArray> sentences = Sentences(paragraphs, changes, amended);
    for (const QByteArray& s : sentences) {
        if (s.startsWith("【")) body += Para(s);
        else body += Para("【" + FullWidth(++number, 4) + "】") + Para(s);
    }
    body += Para("【書類名】特許請求の範囲");
    for (int c = 1; c <= 50; ++c)
        body += Para("【請求項" + FullWidth(c, 1) + "】") +
                Para(c == 1 ? QByteArray("　処理容器と制御部とを備える基板処理装置。")
                            : "　前記制御部は温度" + QByteArray::number(c) + "を保つ請求項１に記載の基板処理装置。");
    return bench::WriteDocx(path, body);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int paragraphs = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 10000;
    const int changes = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 100;
    QTemporaryDir temporary;
    const QString folder = argc > 3 ? QString::fromLocal8Bit(argv[3]) : temporary.path();
    QDir().mkpath(folder);
    const QString earlier = QDir(folder).filePath(QStringLiteral("earlier.docx"));
    const QString amended = QDir(folder).filePath(QStringLiteral("amended.docx"));
    if (!WriteVersion(earlier, paragraphs, changes, false) || !WriteVersion(amended, paragraphs, changes, true)) {
        std::fprintf(stderr, "bench_task9: cannot write into %s\n", qPrintable(folder));
        return 1;
    }

    bench::BenchHost host;
    host.file = amended;
    host.options.companionPath = earlier;
    engine::TaskRunner runner(host);
    QElapsedTimer timer;
    const std::clock_t cpuStart = std::clock();
    timer.start();
    runner.RunTask(9);
    const qint64 ms = timer.elapsed();
    const long long cpuMs = static_cast<long long>((std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC);

    const bool ok = runner.LastOutcome() == engine::RunOutcome::Completed;
    std::printf("task code 9 on %d paragraphs with %d changed: %lld ms wall, %lld ms CPU (%s)\n", paragraphs, changes,
                static_cast<long long>(ms), cpuMs, ok ? "completed" : "FAILED");
    for (const QString& line : host.log.split(u'\n'))
        if (line.contains(QStringLiteral("補正 ")) || line.contains(QStringLiteral("手続補正書：")))
            std::printf("  %s\n", qPrintable(line.right(90)));
    for (const QString& m : host.messages) std::printf("  message: %s\n", qPrintable(m.left(80)));
    return ok ? 0 : 1;
}
