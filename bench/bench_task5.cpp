// Times task code 5 (the filing HTML) end to end with pictures brought to the
// filing rules: open, the walk, the picture conversions, the files written.
//
//   bench_task5 FILE [PICTURES] [RUNS]
//
// FILE (a gen_patent document) gets PICTURES pictures (default 50) spread over
// its paragraphs: colour line drawings, colour photographs, transparent
// drawings and oversized drawings, in turn. Every run works on a copy in a
// scratch folder. A metafile drawn through LibreOffice is timed apart, and so
// are equations drawn as pictures (one equation, then eight in one run).

#include "bench/bench_support.h"
#include "engine/runner/task_runner.h"
#include "word/legacy/legacy.h"
#include "word/ooxml/equation_pictures.h"
#include "word/ooxml/package.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Draws `count` matrix equations, each in its own paragraph, in one run of LibreOffice.
void timeEquations(int count) {
    QByteArray xml = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                     "xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/2006/math\"><w:body>";
    for (int i = 0; i < count; ++i)
        xml += "<w:p><m:oMath><m:d><m:e><m:m><m:mr><m:e><m:r><m:t>a" + QByteArray::number(i) +
               "</m:t></m:r></m:e><m:e><m:r><m:t>b</m:t></m:r></m:e></m:mr></m:m></m:e></m:d></m:oMath></w:p>";
    xml += "</w:body></w:document>";
    pugi::xml_document doc;
    doc.load_buffer(xml.constData(), xml.size());
    std::vector<word::ooxml::EquationSource> sources;
    int paragraph = 0;
    for (pugi::xml_node p : doc.document_element().first_child().children()) sources.push_back({++paragraph, p});
    QElapsedTimer clock;
    clock.start();
    const auto drawn = word::ooxml::drawEquations(doc.document_element(), sources, word::legacy::renderFirstPagesToPng);
    const double ms = clock.nsecsElapsed() / 1e6;
    std::printf("  equations through LibreOffice (apart): %d of %d drawn in one run, %.0f ms (%.0f ms each)%s%s\n",
                int(drawn.byParagraph.size()), count, ms, ms / count, drawn.failure.isEmpty() ? "" : ": ",
                drawn.failure.toUtf8().constData());
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A drawing of boxes and lines in colour on white (or transparent) paper.
QImage drawing(int w, int h, QRgb paper) {
    QImage img(w, h, qAlpha(paper) == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    img.fill(paper);
    for (int k = 1; k < 8; ++k)
        for (int x = w / 10; x < w - w / 10; ++x)
            for (int t = 0; t < 3; ++t) img.setPixel(x, k * h / 8 + t, k % 2 ? qRgb(200, 30, 30) : qRgb(20, 20, 160));
    return img;
}

QImage photograph(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(5);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) line[x] = qRgb(x * 255 / w, y * 255 / h, rng.bounded(256));
    }
    return img;
}

struct Picture {
    QByteArray bytes;
    const char* extension;
    int widthDots, heightDots;
};

Picture pictureNumber(int i) {
    switch (i % 4) {
    case 0: return {encoded(drawing(1200, 900, qRgb(255, 255, 255)), "PNG"), "png", 1200, 900};
    case 1: return {encoded(photograph(800, 600), "JPEG"), "jpeg", 800, 600};
    case 2: return {encoded(drawing(900, 900, qRgba(0, 0, 0, 0)), "PNG"), "png", 900, 900};
    default: return {encoded(drawing(3200, 1200, qRgb(255, 255, 255)), "PNG"), "png", 3200, 1200};
    }
}

// Inserts the pictures, one paragraph each, after every n-th paragraph.
void addPictures(const QString& path, int count) {
    auto package = word::ooxml::Package::open(path);
    QByteArray document = package->readPart("word/document.xml");
    QByteArray rels = package->readPart("word/_rels/document.xml.rels");
    std::vector<qsizetype> ends;
    for (qsizetype at = document.indexOf("</w:p>"); at >= 0; at = document.indexOf("</w:p>", at + 6)) ends.push_back(at + 6);
    const size_t step = std::max<size_t>(1, ends.size() / (count + 1));
    for (int i = count - 1; i >= 0; --i) {  // from the end, so that earlier offsets stay valid
        const Picture p = pictureNumber(i);
        const QString media = QStringLiteral("media/bench%1.%2").arg(i + 1).arg(p.extension);
        package->setPart("word/" + media, p.bytes);
        rels.replace("</Relationships>", QStringLiteral("<Relationship Id=\"rBench%1\" Type=\"http://schemas.openxmlformats.org/"
                                                        "officeDocument/2006/relationships/image\" Target=\"%2\"/></Relationships>")
                                             .arg(i + 1)
                                             .arg(media)
                                             .toUtf8());
        // Shown at 300 dpi: dots / 300 inches.
        const QByteArray paragraph =
            QStringLiteral("<w:p><w:r><w:drawing><wp:inline><wp:extent cx=\"%2\" cy=\"%3\"/><a:graphic><a:graphicData>"
                           "<pic:pic><pic:blipFill><a:blip r:embed=\"rBench%1\"/></pic:blipFill></pic:pic></a:graphicData>"
                           "</a:graphic></wp:inline></w:drawing></w:r></w:p>")
                .arg(i + 1)
                .arg(qint64(p.widthDots) * 914400 / 300)
                .arg(qint64(p.heightDots) * 914400 / 300)
                .toUtf8();
        document.insert(ends[std::min(ends.size() - 1, step * (i + 1))], paragraph);
    }
    package->setPart("word/document.xml", document);
    package->setPart("word/_rels/document.xml.rels", rels);
    const QString withPictures = path + ".tmp.docx";
    package->save(withPictures);
    package.reset();
    QFile::remove(path);
    QFile::rename(withPictures, path);
}

// A small EMF: a header, a brush, one rectangle, the end record.
QByteArray rectangleEmf() {
    QByteArray records;
    QDataStream r(&records, QIODevice::WriteOnly);
    r.setByteOrder(QDataStream::LittleEndian);
    r << quint32(39) << quint32(24) << quint32(1) << quint32(0) << quint32(0xFF0000) << quint32(0);
    r << quint32(37) << quint32(12) << quint32(1);
    r << quint32(43) << quint32(24) << qint32(20) << qint32(20) << qint32(180) << qint32(80);
    r << quint32(14) << quint32(20) << quint32(0) << quint32(16) << quint32(20);
    QByteArray emf;
    QDataStream h(&emf, QIODevice::WriteOnly);
    h.setByteOrder(QDataStream::LittleEndian);
    h << quint32(1) << quint32(88) << qint32(0) << qint32(0) << qint32(199) << qint32(99) << qint32(0) << qint32(0)
      << qint32(5200) << qint32(2600) << quint32(0x464D4520) << quint32(0x10000) << quint32(88 + records.size())
      << quint32(5) << quint16(2) << quint16(0) << quint32(0) << quint32(0) << quint32(0) << qint32(1024)
      << qint32(768) << qint32(320) << qint32(240);
    return emf + records;
}

double cpuMs() { return std::clock() * 1000.0 / CLOCKS_PER_SEC; }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_task5 FILE [PICTURES] [RUNS]\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const int pictures = argc > 2 ? std::max(0, atoi(argv[2])) : 50;
    const int runs = argc > 3 ? std::max(1, atoi(argv[3])) : 3;
    QTemporaryDir work;
    const QString prepared = work.filePath("bench.docx");
    QFile::copy(input, prepared);
    addPictures(prepared, pictures);

    std::vector<double> walls, cpus;
    QString log;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir dir;
        bench::BenchHost host;
        host.file = dir.filePath("spec.docx");
        QFile::copy(prepared, host.file);
        engine::TaskRunner runner(host);
        QElapsedTimer clock;
        const double cpu0 = cpuMs();
        clock.start();
        runner.RunTask(5);
        walls.push_back(clock.nsecsElapsed() / 1e6);
        cpus.push_back(cpuMs() - cpu0);
        if (runner.LastOutcome() != engine::RunOutcome::Completed) {
            std::fprintf(stderr, "bench_task5: the run failed: %s\n", host.messages.join(" / ").toUtf8().constData());
            return 1;
        }
        log = host.log;
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    const auto converted = log.count(QStringLiteral("画像："));
    std::printf("task 5 on %s with %d pictures (%lld bytes), %d runs\n", argv[1], pictures,
                static_cast<long long>(QFileInfo(prepared).size()), runs);
    std::printf("  median: %.0f ms wall, %.0f ms CPU; best %.0f ms wall\n", walls[walls.size() / 2], cpus[cpus.size() / 2],
                walls.front());
    std::printf("  pictures converted: %lld\n", static_cast<long long>(converted));

    if (QStandardPaths::findExecutable("soffice").isEmpty()) {
        std::printf("  metafile through LibreOffice: soffice not found, not timed\n");
        return 0;
    }
    QElapsedTimer clock;
    clock.start();
    try {
        const QByteArray png = word::legacy::renderMetafileToPng(rectangleEmf(), "EMF", QSize(600, 300));
        std::printf("  metafile through LibreOffice (apart): %.0f ms for one EMF, %lld bytes of PNG\n",
                    clock.nsecsElapsed() / 1e6, static_cast<long long>(png.size()));
    } catch (const std::exception& e) {
        std::printf("  metafile through LibreOffice failed: %s\n", e.what());
    }
    timeEquations(1);
    timeEquations(8);
    return 0;
}
