#include "word/qt_messages.h"

#include <QtGlobal>

#include <cstdio>

namespace word {

namespace {

QtMessageHandler g_default = nullptr;

void FatalOnly(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && g_default) g_default(type, context, message);
}

}  // namespace

void KeepQtMessagesFromUser() {
    if (qEnvironmentVariableIntValue("KALVENDO_QT_MESSAGES") == 1) return;
    g_default = qInstallMessageHandler(FatalOnly);
}

}  // namespace word
