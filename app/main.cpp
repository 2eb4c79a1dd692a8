// The window program: kalvendo [--screenshot FILE | --screenshot-running FILE DOCUMENT...] [DOCUMENT ...]
// The arguments after the program name are the documents to start with, each
// one whole (a path may hold blanks).

#include "ui/main_window.h"
#include "word/qt_messages.h"

#include "engine/runner/qt_japanese.h"

#include <QApplication>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

namespace {

// --screenshot-running FILE DOCUMENT...: starts the stored task on the
// documents, saves a picture of the window once the passes are under way,
// presses 中止 (so the documents stay as they were) and quits when the run
// has ended. Used to document the window during a run.
int PictureOfARun(ui::frmQuorvel& window, const QString& picture, const QStringList& documents) {
    window.SetDocuments(documents);
    bool saved = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
        if (window.Progress() < 40 || saved) return;
        saved = window.grab().save(picture);
        window.cmdStop->click();
    });
    QTimer::singleShot(500, &window, [&] {
        poll.start();
        window.cmdStart->click();
        QApplication::exit(saved ? 0 : 1);
    });
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    word::KeepQtMessagesFromUser();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvendo"));
    // Qt's file and colour dialogs and the log's context menu in Japanese.
    engine::InstallQtJapanese(app);

    QStringList args = QApplication::arguments();
    args.removeFirst();

    // --screenshot FILE: show the window, save a picture of it and quit
    // without the closing save (used to document the window).
    QString screenshotPath;
    if (args.size() >= 2 && args.constFirst() == QLatin1String("--screenshot")) {
        screenshotPath = args.at(1);
        args.remove(0, 2);
    }
    if (args.size() >= 3 && args.constFirst() == QLatin1String("--screenshot-running")) {
        ui::frmQuorvel window;
        window.show();
        return PictureOfARun(window, args.at(1), args.mid(2));
    }

    ui::frmQuorvel window(args);
    window.show();

    if (!screenshotPath.isEmpty()) {
        QTimer::singleShot(800, &app, [&] {
            const bool saved = window.grab().save(screenshotPath);
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
