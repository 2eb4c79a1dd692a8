// Numbers the placeholders 【００００】 consecutively in document order.

#include "engine/text_helpers.h"
#include "engine/runner/task_runner.h"

namespace engine {

namespace {

const QString kPlaceholder = QStringLiteral("【００００】");

}  // namespace

// Each search starts where the last number written ends, not at the top of the
// document, so the whole loop reads the text once. Nothing before that point
// can match again:
//  - The search that found the placeholder at p found none in front of p, and
//    the replacement changes only the characters from p on.
//  - No match can overlap the written number N = 【d…d】 at p: a match starting
//    inside N would need its 【 where N holds a digit or 】; one starting in
//    front of p and reaching into N would need ０ or 】 at p, where N has 【;
//    and N itself is not 【００００】, since its digits are those of n >= 1
//    (four of them up to 9999, never "００００", and five or more after).
// Hence the next placeholder, if any, starts at or after the end of N, and the
// placeholders receive 1, 2, 3, … in document order, as a search from the top
// would give them.
void TaskRunner::RenumberParagraphs() {
    int n = 1;
    try {
        for (;;) {
            word::Find f = range_.Find();
            f.SetText(kPlaceholder);
            f.SetMatchWildcards(false);
            f.SetForward(true);
            const QString number = ParagraphNumberText(n);
            f.Replacement().SetText(number);
            f.Execute(word::wdReplaceOne);
            if (!f.Found()) return;

            changed_ = true;
            host_.ShowStatus(QStringLiteral("段落振り直し：") + NumWithSignBlank(n));
            if (n % 5 == 1) {
                host_.SetProgress(40 + ((n / 20) % 40));
                host_.RefreshProgress();
            }
            ++n;
            // The range is now the number just written; search on from its end
            // to the end of the main text.
            const int from = range_.Start() + static_cast<int>(number.size());
            const int end = document_->Content().End();
            range_.SetRange(from, end);
        }
    } catch (const std::exception&) {
        // Numbers already written stay; the run goes on to the save step.
        host_.MessageBox(QStringLiteral("error1000"));
    }
}

}  // namespace engine
