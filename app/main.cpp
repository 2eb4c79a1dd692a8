// The window program: kalvendo [--screenshot FILE] [DOCUMENT ...]
// Everything after the program name is the command line of the window; its
// first blank-separated word names the document to start with.

#include "ui/main_window.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvendo"));

    QStringList args = QApplication::arguments();
    args.removeFirst();

    // --screenshot FILE: show the window, save a picture of it and quit
    // without the closing save (used to document the window).
    QString screenshotPath;
    if (args.size() >= 2 && args.constFirst() == QLatin1String("--screenshot")) {
        screenshotPath = args.at(1);
        args.remove(0, 2);
    }

    ui::frmQuorvel window(args.join(u' '));
    window.show();

    if (!screenshotPath.isEmpty()) {
        QTimer::singleShot(800, &app, [&] {
            const bool saved = window.grab().save(screenshotPath);
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
