#pragma once
// Writes the main story as the plain HTML the patent office's filing software
// takes (code page 932, CR LF), with pictures saved beside the file.

#include <QString>

namespace word::ooxml {

class DocumentModel;

void writeFilingHtml(DocumentModel& model, const QString& htmlPath);

}  // namespace word::ooxml
