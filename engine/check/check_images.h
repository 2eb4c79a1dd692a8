#pragma once
// Every picture of the main story against the filing software's image rules
// (word/image_rules.h): format, colour depth, resolution and size; a picture
// that cannot be read whole (cut short, damaged, a metafile that draws
// nothing), and one whose file is missing, empty or only linked.

#include "engine/check/check_text.h"

namespace word::ooxml {
class DocumentModel;
}

namespace engine::check {

Findings CheckImages(word::ooxml::DocumentModel& model, const CheckedText& text);

}  // namespace engine::check
