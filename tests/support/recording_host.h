#pragma once
// A host for tests: records everything the task runner shows, in order, and
// answers the window's questions (file box text, options) from its members.

#include "engine/runner/host.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace testsupport {

class RecordingHost : public engine::Host {
public:
    struct Message {
        QString text;
        QString title;
        bool exclamation = false;
    };

    // The log text as the window's log box would hold it (ShowLog's three modes).
    // Starts empty; tests that need the window's start-up text assign it.
    QString log;
    // Every status text, in order.
    QStringList statuses;
    // Every value given to SetProgress, in order, and the current one.
    std::vector<double> progressValues;
    double progress = 0;
    int progressRefreshes = 0;
    std::vector<Message> messages;
    int browseCalls = 0;
    int waitCalls = 0;
    int doEventsCalls = 0;
    QStringList openedFiles;
    // One entry per call, in order: "log1:…", "log2:…", "log0:…", "status:…",
    // "progress:N", "wait", "events", "message:…", "browse", "open:…".
    QStringList events;

    // What the window would answer.
    QString filePathText;
    engine::TaskOptions options;

    // Optional actions run inside the calls, e.g. a click on Start during a pause
    // or the user choosing another file in the browse dialog.
    std::function<void()> onWait;
    std::function<void()> onDoEvents;
    std::function<void()> onBrowse;
    std::function<void()> onMessage;
    // Run at every boundary of a run (PollEvents); not recorded as an event.
    std::function<void()> onPollEvents;

    // The window's log box text at start-up: an empty line and the instruction line.
    static QString WindowInitialLog();

    // The log split into its CR LF separated lines.
    QStringList logLines() const;
    // Message texts only, in order.
    QStringList messageTexts() const;
    void clear();

    // engine::Host
    void ShowLog(int mode, const QString& text) override;
    void ShowStatus(const QString& text) override;
    void SetProgress(double value) override;
    double Progress() const override { return progress; }
    void RefreshProgress() override { ++progressRefreshes; }
    void Wait1Sec() override;
    void DoEvents() override;
    void PollEvents() override {
        if (onPollEvents) onPollEvents();
    }
    using engine::Host::MessageBox;
    void MessageBox(const QString& text, const QString& title, bool exclamation) override;
    void BrowseForFile() override;
    void OpenWithShell(const QString& path) override;
    QString FilePathText() const override { return filePathText; }
    engine::TaskOptions Options() const override { return options; }
};

}  // namespace testsupport
