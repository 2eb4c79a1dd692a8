#pragma once
// Every picture of the main story against the filing software's image rules
// (word/image_rules.h): format, colour depth, resolution and size.

#include "engine/check/check_text.h"

namespace word::ooxml {
class DocumentModel;
}

namespace engine::check {

Findings CheckImages(word::ooxml::DocumentModel& model, const CheckedText& text);

}  // namespace engine::check
