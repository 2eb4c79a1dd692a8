#pragma once
// The written amendment as a Word body: the office's form with its header
// items left for the drafter to fill in, then each block, its content being
// copies of the amended version's paragraphs (their formatting, pictures and
// tables kept) with the added and changed characters underlined.

#include "engine/amendment/amendment_blocks.h"

#include <QStringList>

namespace word::ooxml {
class DocumentModel;
}

namespace engine::amendment {

// The lines of the form before the first block.
extern const QStringList kFormHeader;

// The lines of a block before its content (【手続補正ｎ】 … 【補正の内容】).
QStringList BlockHeading(int number, const Block& block);

// Rebuilds the body of `model`, which holds the amended version, as the
// written amendment.
void WriteAmendmentBody(word::ooxml::DocumentModel& model, const Amendment& amendment);

}  // namespace engine::amendment
