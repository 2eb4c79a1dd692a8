#pragma once
// Qt's own messages (the image readers' warnings about damaged or oversized
// pictures, plugin notices) are written in English for developers; the
// program says in Japanese what went wrong with a document. They are kept off
// the user's terminal, except a fatal one, which ends the program.

namespace word {

// Installs the message handler; KALVENDO_QT_MESSAGES=1 lets the messages through.
void KeepQtMessagesFromUser();

}  // namespace word
