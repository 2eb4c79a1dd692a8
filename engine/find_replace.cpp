#include "engine/find_replace.h"

#include "engine/runner/task_runner.h"

namespace engine {

namespace {

// The options of every pass, set in full each time so that no pass depends on
// the one before. Options first, then the texts; the replacement formatting is
// cleared before anything is set on the replacement.
void SetPassOptions(word::Find& f, const QString& findText) {
    f.ClearFormatting();
    f.SetMatchCase(true);
    f.SetMatchWholeWord(false);
    f.SetMatchByte(true);
    f.SetMatchAllWordForms(false);
    f.SetMatchSoundsLike(false);
    f.SetMatchWildcards(false);
    f.SetMatchFuzzy(false);
    f.SetForward(true);
    f.SetWrap(word::wdFindContinue);
    f.SetText(findText);
    f.Replacement().ClearFormatting();
}

bool ExecuteAll(const word::Range& range, word::Find& f) {
    range.Find().Execute(word::wdReplaceAll);
    // No replacement formatting is left over for later passes.
    f.Replacement().ClearFormatting();
    return f.Found();
}

}  // namespace

bool ReplaceAllIn(const word::Range& range, const QString& findText, const QString& replacementText) {
    word::Find f = range.Find();
    SetPassOptions(f, findText);
    f.Replacement().SetText(replacementText);
    return ExecuteAll(range, f);
}

bool GrayAllIn(const word::Range& range, const QString& text) {
    word::Find f = range.Find();
    SetPassOptions(f, text);
    f.Replacement().Font().SetColor(word::wdColorGray20);
    f.Replacement().SetText(text);
    return ExecuteAll(range, f);
}

void TaskRunner::ReplaceAll(const QString& findText, const QString& replacementText) {
    StopPoint();
    if (ReplaceAllIn(range_, findText, replacementText)) changed_ = true;
}

void TaskRunner::GrayAll(const QString& text) {
    StopPoint();
    if (GrayAllIn(range_, text)) changed_ = true;
}

}  // namespace engine
