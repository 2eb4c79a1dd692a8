#include "support/recording_host.h"

namespace testsupport {

QString RecordingHost::WindowInitialLog() {
    return QStringLiteral("\r\n処理するWordファイルは事前に保存し閉じておいてください。処理中Wordは非表示となります。\r\n");
}

QStringList RecordingHost::logLines() const { return log.split(QStringLiteral("\r\n")); }

QStringList RecordingHost::messageTexts() const {
    QStringList out;
    for (const Message& m : messages) out << m.text;
    return out;
}

void RecordingHost::clear() {
    log.clear();
    statuses.clear();
    progressValues.clear();
    progressRefreshes = 0;
    messages.clear();
    browseCalls = waitCalls = doEventsCalls = 0;
    openedFiles.clear();
    events.clear();
}

void RecordingHost::ShowLog(int mode, const QString& text) {
    if (mode == 1)
        log += text;
    else if (mode == 2)
        log += QStringLiteral("\r\n") + text;
    else
        log = text;
    events << QStringLiteral("log%1:").arg(mode == 1 || mode == 2 ? mode : 0) + text;
}

void RecordingHost::ShowStatus(const QString& text) {
    statuses << text;
    events << "status:" + text;
}

void RecordingHost::SetProgress(double value) {
    progress = value;
    progressValues.push_back(value);
    events << "progress:" + QString::number(value);
}

void RecordingHost::Wait1Sec() {
    ++waitCalls;
    events << "wait";
    if (onWait) onWait();
}

void RecordingHost::DoEvents() {
    ++doEventsCalls;
    events << "events";
    if (onDoEvents) onDoEvents();
}

void RecordingHost::MessageBox(const QString& text, const QString& title, bool exclamation) {
    messages.push_back({text, title, exclamation});
    events << "message:" + text;
    if (onMessage) onMessage();
}

void RecordingHost::BrowseForFile() {
    ++browseCalls;
    events << "browse";
    if (onBrowse) onBrowse();
}

void RecordingHost::OpenWithShell(const QString& path) {
    openedFiles << path;
    events << "open:" + path;
}

}  // namespace testsupport
