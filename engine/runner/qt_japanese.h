#pragma once
// Qt's own texts (its file and colour dialogs, the context menus of text
// boxes, the command-line parser's errors) in Japanese, like the rest of the
// program, whatever the user's locale.

class QCoreApplication;

namespace engine {

// Installs Qt's Japanese translations (Debian's qt6-translations-l10n) into
// the application. False when they are not installed: Qt then speaks English.
bool InstallQtJapanese(QCoreApplication& app);

}  // namespace engine
