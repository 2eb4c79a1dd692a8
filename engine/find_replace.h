#pragma once
// The whole-range find-and-replace with the fixed search options, usable on any
// range (the task runner's document range, the command line's passes).

#include "word/automation.h"

#include <QString>

namespace engine {

// Replaces every occurrence of findText in range by replacementText: case and
// character width significant, wildcards off. Returns Found.
bool ReplaceAllIn(const word::Range& range, const QString& findText, const QString& replacementText);
// Colours every occurrence of text in range 20 % grey, text unchanged. Returns Found.
bool GrayAllIn(const word::Range& range, const QString& text);

}  // namespace engine
