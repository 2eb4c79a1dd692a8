#pragma once
// What the window's tests share: a fixture with a private settings store and
// a recorder of what is handed to the desktop, answers to modal dialogs, and
// drops of files.

#include "ui/main_window.h"

#include "engine/runner/qt_japanese.h"
#include "engine/text_helpers.h"
#include "support/docx_builder.h"
#include "word/automation.h"
#include "word/backup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <ctime>
#include <deque>
#include <functional>
#include <memory>

namespace testsupport::window {

using ui::frmQuorvel;

// Records the URLs handed to the desktop instead of launching anything.
class ShellRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

// Answers the modal dialogs that appear, in order, one function each.
class ModalAnswers {
public:
    explicit ModalAnswers(std::deque<std::function<void(QWidget*)>> answers) : answers_(std::move(answers)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || w == last_ || answers_.empty()) return;
            last_ = w;
            auto answer = std::move(answers_.front());
            answers_.pop_front();
            ++answered_;
            answer(w);
        });
        timer_.start();
    }
    int answered() const { return answered_; }
    bool allAnswered() const { return answers_.empty(); }

private:
    QTimer timer_;
    QPointer<QWidget> last_;
    std::deque<std::function<void(QWidget*)>> answers_;
    int answered_ = 0;
};

// Answers a message box with OK, keeping its text and title.
inline std::function<void(QWidget*)> okMessage(QString* text, QString* title = nullptr) {
    return [text, title](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        if (text) *text = box->text();
        if (title) *title = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
    };
}

inline const QString kBannerLog = ui::text::kLogBanner;

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "main_window_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }

    void SetUp() override {
        ASSERT_TRUE(store_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store_.path());
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &shell_, "open");
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QString iniPath() const { return store_.path() + "/Kalvendo/Kalvendo.ini"; }

    void store(const QString& key, const QString& value) {
        QSettings s(iniPath(), QSettings::IniFormat);
        s.setValue("Settings/" + key, value);
    }
    QSettings stored() const { return QSettings(iniPath(), QSettings::IniFormat); }

    // A window started with these arguments (each one whole, as the system hands them over).
    std::unique_ptr<frmQuorvel> open(const QStringList& arguments = {}) {
        return std::make_unique<frmQuorvel>(arguments);
    }
    std::unique_ptr<frmQuorvel> open(const QString& argument) { return open(QStringList{argument}); }

    template <typename T>
    static T* child(QWidget& w, const QString& name) {
        T* c = w.findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name.toStdString();
        return c;
    }

    QTemporaryDir store_;
    QTemporaryDir files_;
    ShellRecorder shell_;
};

inline bool shown(QWidget& w, QWidget* c) { return c->isVisibleTo(&w); }

// An empty file under `path`, for dialogs that list only existing files.
inline QString emptyFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    return path;
}

// Types a file's name into an open file dialog and confirms it. selectFile
// clears what the list has selected (a selection wins over the typed name) but
// leaves the name box alone while it has the focus, which depends on timing.
inline void chooseInDialog(QWidget* modal, const QString& path) {
    auto* d = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(d, nullptr);
    d->selectFile(path);
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QFileInfo(path).fileName());
    static_cast<QDialog*>(d)->accept();
}


inline void dropFiles(QWidget& target, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    QTest::qWait(100);
}


}  // namespace testsupport::window
