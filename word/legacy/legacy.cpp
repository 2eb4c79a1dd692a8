#include "word/legacy/legacy.h"

#include "word/atomic_file.h"
#include "word/automation.h"
#include "word/legacy/compound_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <csignal>
#include <utility>
#include <sys/types.h>
#include <unistd.h>

// LibreOffice runs as a separate process for each conversion, with its own
// user profile in a private temporary folder: two conversions that share a
// profile lose one of them, and the user's own profile stays untouched. The
// input is copied into that folder first, so LibreOffice never works on (or
// leaves a lock file beside) the user's file.

namespace word::legacy {

namespace {

int timeLimitSeconds = 120;
WaitHandler waitHandler;
// The handler drives a window: it is called only on the thread that set it,
// never from the helper threads that render pictures.
QThread* waitHandlerThread = nullptr;
constexpr int kPollMilliseconds = 100;

const char* kZip = "PK\x03\x04";
const QByteArray kOle("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

QString formatName(Format f) {
    switch (f) {
    case Format::Word97: return QStringLiteral("Word 97-2003");
    case Format::Rtf: return QStringLiteral("RTF");
    case Format::Docx: return QStringLiteral("Word 2007 以降（.docx）");
    default: return QStringLiteral("不明");
    }
}

// What LibreOffice is needed for, in the message that says it is missing.
enum class LibreOfficeUse { LegacyDocuments, Metafiles, Equations };

QString missingLibreOfficeMessage(LibreOfficeUse use = LibreOfficeUse::LegacyDocuments) {
    switch (use) {
    case LibreOfficeUse::Metafiles:
        return QStringLiteral(
            "EMF・WMF の図を電子出願用の画像に描き直すには LibreOffice が必要です（Debian/Ubuntu ではパッケージ "
            "libreoffice-draw-nogui：sudo apt-get install libreoffice-draw-nogui）。");
    case LibreOfficeUse::Equations:
        return QStringLiteral(
            "文字で表せない数式を画像にするには LibreOffice が必要です（Debian/Ubuntu ではパッケージ "
            "libreoffice-writer-nogui と libreoffice-math-nogui：sudo apt-get install libreoffice-writer-nogui "
            "libreoffice-math-nogui）。");
    case LibreOfficeUse::LegacyDocuments:
        break;
    }
    return QStringLiteral(
        "Word 97-2003 形式（.doc）や RTF 形式の文書を開く・保存するには LibreOffice が必要です。"
        "LibreOffice（Debian/Ubuntu ではパッケージ libreoffice-writer-nogui："
        "sudo apt-get install libreoffice-writer-nogui）をインストールしてください。"
        ".docx 形式の文書は LibreOffice なしで処理できます。");
}

QByteArray firstBytes(const QString& path, int n) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(n);
}

// The whole file, for the look at its structure (a Word 97-2003 document is
// far below the bound; a larger file is no document this program can edit).
QByteArray fileBytes(const QString& path) {
    constexpr qint64 kMaxBytes = 1024LL * 1024 * 1024;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxBytes) return {};
    return f.readAll();
}

QString sofficePath(LibreOfficeUse use = LibreOfficeUse::LegacyDocuments) {
    const QString found = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (found.isEmpty()) throw Error(missingLibreOfficeMessage(use));
    return found;
}

// Runs one conversion: `inputs` to `filter` into `outDir` (several files share
// one start of LibreOffice), with a private profile under `profileDir`;
// returns what LibreOffice printed. Throws Error with the reason when
// LibreOffice fails, crashes or overruns the time limit.
QString runConversion(const QStringList& inputs, const QString& filter, const QString& outDir,
                   const QString& profileDir, const QString& shownName) {
    const QString program = sofficePath();
    QProcess p;
    p.setProgram(program);
    p.setArguments({QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profileDir).toString(),
                    QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--nologo"),
                    QStringLiteral("--norestore"), QStringLiteral("--nodefault"),
                    QStringLiteral("--nolockcheck"), QStringLiteral("--convert-to"), filter,
                    QStringLiteral("--outdir"), outDir});
    p.setArguments(p.arguments() + inputs);
    p.setProcessChannelMode(QProcess::MergedChannels);
    // Its own process group, so that a conversion that overruns the limit can
    // be ended together with the processes the launcher started.
    p.setChildProcessModifier([] { ::setpgid(0, 0); });
    p.start();
    if (!p.waitForStarted(30000))
        throw Error(QStringLiteral("LibreOffice を起動できませんでした（%1）：%2").arg(p.errorString(), program));
    const qint64 pid = p.processId();
    const auto endGroup = [&] {
        if (pid > 0) ::kill(-static_cast<pid_t>(pid), SIGKILL);
        p.kill();
        p.waitForFinished(10000);
    };
    // Short waits, so that the handler can keep a window alive; a finish seen
    // while the handler let events through also ends the loop.
    QElapsedTimer clock;
    clock.start();
    while (!p.waitForFinished(kPollMilliseconds) && p.state() != QProcess::NotRunning) {
        if (clock.elapsed() >= timeLimitSeconds * 1000LL) {
            endGroup();
            throw Error(QStringLiteral("LibreOffice による文書の変換が %1 秒以内に終わらなかったため中止しました：%2")
                            .arg(timeLimitSeconds)
                            .arg(shownName));
        }
        if (waitHandler && QThread::currentThread() == waitHandlerThread &&
            !waitHandler(static_cast<int>(clock.elapsed() / 1000))) {
            endGroup();
            throw Error(QStringLiteral("LibreOffice による文書の変換を中止しました：%1").arg(shownName));
        }
    }
    // A launcher that returns while its own child still runs must not leave it behind.
    if (pid > 0) ::kill(-static_cast<pid_t>(pid), SIGKILL);
    const QString output = QString::fromLocal8Bit(p.readAll()).trimmed();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw Error(QStringLiteral("LibreOffice で文書を変換できませんでした：%1（終了コード %2%3）")
                        .arg(shownName)
                        .arg(p.exitCode())
                        .arg(output.isEmpty() ? QString() : QStringLiteral("、") + output.left(300)));
    return output;
}

// The converted file, checked: LibreOffice exits 0 also when it wrote nothing.
QString checkedResult(const QString& path, const QByteArray& magic, const QString& shownName,
                      const QString& detail) {
    QFileInfo fi(path);
    if (!fi.exists() || fi.size() == 0 || !firstBytes(path, magic.size()).startsWith(magic))
        throw Error(QStringLiteral("LibreOffice で文書を変換できませんでした：%1（変換結果のファイルができませんでした%2）")
                        .arg(shownName, detail.isEmpty() ? QString() : QStringLiteral("：") + detail.left(300)));
    return path;
}

const QString kWorkDirPrefix = QStringLiteral("kalvendo-lo-");

}  // namespace

void removeWorkDirsOfEndedProcesses() {
    static const QRegularExpression pattern(QStringLiteral("^kalvendo-lo-(\\d+)-[^/]+$"));
    QDir temp(QDir::tempPath());
    for (const QString& name : temp.entryList({kWorkDirPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QRegularExpressionMatch m = pattern.match(name);
        if (m.hasMatch() && !files::ProcessExists(m.captured(1).toLongLong()))
            QDir(temp.filePath(name)).removeRecursively();
    }
}

namespace {

std::shared_ptr<QTemporaryDir> makeWorkDir() {
    removeWorkDirsOfEndedProcesses();
    auto dir = std::make_shared<QTemporaryDir>(QDir::tempPath() + u'/' + kWorkDirPrefix +
                                               QString::number(QCoreApplication::applicationPid()) +
                                               QStringLiteral("-XXXXXX"));
    if (!dir->isValid())
        throw Error(QStringLiteral("文書の変換用の一時フォルダを作れませんでした：%1").arg(dir->errorString()));
    QDir d(dir->path());
    if (!d.mkdir(QStringLiteral("in")) || !d.mkdir(QStringLiteral("out")) || !d.mkdir(QStringLiteral("profile")))
        throw Error(QStringLiteral("文書の変換用の一時フォルダを作れませんでした：%1").arg(dir->path()));
    return dir;
}

// Settings of the private profile: the size LibreOffice gives the equations it imports.
void writeEquationFontSize(const QString& profileDir, int points) {
    QDir(profileDir).mkpath(QStringLiteral("user"));
    QFile f(profileDir + QStringLiteral("/user/registrymodifications.xcu"));
    const QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
        "<item oor:path=\"/org.openoffice.Office.Math/StandardFormat\"><prop oor:name=\"BaseSize\" oor:op=\"fuse\">"
        "<value>" + QByteArray::number(points) + "</value></prop></item>\n</oor:items>\n";
    if (!f.open(QIODevice::WriteOnly) || f.write(xml) != xml.size() || !f.flush())
        throw Error(QStringLiteral("LibreOffice の設定を書き出せませんでした：%1").arg(f.fileName()));
}

bool equationComponentInstalled(const QString& soffice) {
    const QDir program = QFileInfo(QFileInfo(soffice).canonicalFilePath()).dir();
    return !program.entryList({QStringLiteral("libsmlo.so*"), QStringLiteral("libsmlo.dylib")}).isEmpty();
}

}  // namespace

Format detectFormat(const QString& path) {
    const QByteArray head = firstBytes(path, 8);
    if (head.startsWith(kZip)) return Format::Docx;
    if (head.startsWith(kOle)) return Format::Word97;
    if (head.startsWith("{\\rtf")) return Format::Rtf;
    return Format::Other;
}

WaitHandler setWaitHandler(WaitHandler handler) {
    waitHandlerThread = QThread::currentThread();
    return std::exchange(waitHandler, std::move(handler));
}

void setTimeLimitForTesting(int seconds) { timeLimitSeconds = seconds > 0 ? seconds : 120; }

Converted convertToDocx(const QString& path, Format format) {
    const QString shownName = QFileInfo(path).fileName();
    if (format != Format::Word97 && format != Format::Rtf)
        throw Error(QStringLiteral("この形式の文書は変換できません：%1（%2）").arg(shownName, formatName(format)));
    // Decided from the structure, before LibreOffice sees the file: given a
    // compound file without a Word document in it, LibreOffice imports its
    // bytes as plain text and reports success.
    if (format == Format::Word97) {
        switch (ClassifyWordFile(fileBytes(path))) {
        case WordFileKind::PasswordProtected:
            throw Error(QStringLiteral("パスワードで保護された文書は処理できません。保護を解除してから指定してください：%1")
                            .arg(shownName));
        case WordFileKind::NotWord:
            throw Error(QStringLiteral("Word 文書として読めませんでした：%1\r\n"
                                       "ファイルが壊れているか、Word 97-2003 形式の文書ではありません。")
                            .arg(shownName));
        case WordFileKind::Readable:
            break;
        }
    }
    sofficePath();  // before any work: the message says what to install

    Converted result;
    result.format = format;
    result.dir = makeWorkDir();
    const QString base = result.dir->path();
    const QString input = base + (format == Format::Rtf ? "/in/document.rtf" : "/in/document.doc");
    if (!QFile::copy(path, input))
        throw Error(QStringLiteral("ファイルを読み込めませんでした：%1").arg(path));
    const QString printed =
        runConversion({input}, QStringLiteral("docx:MS Word 2007 XML"), base + "/out", base + "/profile", shownName);
    result.docxPath = checkedResult(base + "/out/document.docx", kZip, shownName, printed);
    return result;
}

QByteArray renderMetafileToPng(const QByteArray& metafile, const QString& format, QSize dots) {
    const QString shownName = QStringLiteral("%1の図").arg(format);
    sofficePath(LibreOfficeUse::Metafiles);
    auto dir = makeWorkDir();
    const QString base = dir->path();
    const QString input = base + "/in/picture." + format.toLower();
    QFile in(input);
    if (!in.open(QIODevice::WriteOnly) || in.write(metafile) != metafile.size() || !in.flush())
        throw Error(QStringLiteral("変換する図を書き出せませんでした：%1").arg(input));
    in.close();
    QString filter = QStringLiteral("png:draw_png_Export");
    if (dots.isValid() && !dots.isEmpty())
        filter += QStringLiteral(R"(:{"PixelWidth":{"type":"long","value":"%1"},"PixelHeight":{"type":"long","value":"%2"}})")
                      .arg(dots.width())
                      .arg(dots.height());
    const QString printed = runConversion({input}, filter, base + "/out", base + "/profile", shownName);
    const QString png = checkedResult(base + "/out/picture.png", "\x89PNG", shownName, printed);
    QFile out(png);
    if (!out.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("変換結果を読み込めませんでした：%1").arg(png));
    return out.readAll();
}

std::vector<QByteArray> renderFirstPagesToPng(const std::vector<QByteArray>& docxFiles, int equationFontPoints) {
    const QString shownName = QStringLiteral("数式");
    if (!equationComponentInstalled(sofficePath(LibreOfficeUse::Equations)))
        throw Error(QStringLiteral("LibreOffice の数式の機能がありません（Debian/Ubuntu ではパッケージ "
                                   "libreoffice-math-nogui：sudo apt-get install libreoffice-math-nogui）"));
    if (docxFiles.empty()) return {};
    auto dir = makeWorkDir();
    const QString base = dir->path();
    writeEquationFontSize(base + "/profile", equationFontPoints);
    QStringList inputs;
    for (size_t i = 0; i < docxFiles.size(); ++i) {
        inputs << QStringLiteral("%1/in/page%2.docx").arg(base).arg(i + 1);
        QFile in(inputs.back());
        if (!in.open(QIODevice::WriteOnly) || in.write(docxFiles[i]) != docxFiles[i].size() || !in.flush())
            throw Error(QStringLiteral("変換する文書を書き出せませんでした：%1").arg(inputs.back()));
    }
    runConversion(inputs, QStringLiteral("png:writer_png_Export"), base + "/out", base + "/profile", shownName);
    std::vector<QByteArray> out;
    for (size_t i = 0; i < docxFiles.size(); ++i) {
        QFile png(QStringLiteral("%1/out/page%2.png").arg(base).arg(i + 1));
        out.push_back(png.open(QIODevice::ReadOnly) ? png.readAll() : QByteArray());
        if (!out.back().startsWith("\x89PNG")) out.back().clear();
    }
    return out;
}

void convertBack(const QString& docxPath, Format format, const QString& targetPath, const QString& givenName,
                 const QString& madeFrom) {
    const QString shownName = givenName.isEmpty() ? QFileInfo(targetPath).fileName() : givenName;
    QString filter, suffix;
    QByteArray magic;
    if (format == Format::Word97) {
        filter = QStringLiteral("doc:MS Word 97");
        suffix = QStringLiteral("doc");
        magic = kOle;
    } else if (format == Format::Rtf) {
        filter = QStringLiteral("rtf:Rich Text Format");
        suffix = QStringLiteral("rtf");
        magic = "{\\rtf";
    } else {
        throw Error(QStringLiteral("この形式には変換できません：%1（%2）").arg(shownName, formatName(format)));
    }
    sofficePath();

    auto dir = makeWorkDir();
    const QString base = dir->path();
    const QString input = base + "/in/result.docx";
    if (!QFile::copy(docxPath, input))
        throw Error(QStringLiteral("変換する文書を読み込めませんでした：%1").arg(docxPath));
    const QString printed = runConversion({input}, filter, base + "/out", base + "/profile", shownName);
    const QString converted = checkedResult(base + "/out/result." + suffix, magic, shownName, printed);

    // Into the target folder through a temporary file and a rename: the
    // target holds either its old content or the whole new one.
    QFile in(converted);
    if (!in.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("変換結果を読み込めませんでした：%1").arg(shownName));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFile::NoError)
        throw Error(QStringLiteral("変換結果を読み込めませんでした：%1（%2）").arg(shownName, in.errorString()));
    files::WriteAtomically(targetPath, bytes, madeFrom);
}

}  // namespace word::legacy
