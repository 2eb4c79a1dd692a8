#pragma once
// Parts that hang off another part by a relationship (comments, footnotes …):
// finding one by its relationship type, and adding a new one the way Word
// does — the part, its relationship from the source part, and its content type.

#include <QByteArray>
#include <QString>

namespace pugi {
class xml_document;
}

namespace word::ooxml {

class Package;

// A small part's tree as the bytes of the part (raw, UTF-8).
QByteArray SerialisedPart(const pugi::xml_document& doc);

// The relationship types and content types of the parts the engine adds.
inline constexpr char kCommentsRelationship[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments";
inline constexpr char kCommentsContentType[] =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.comments+xml";

// The part that `sourcePart` relates to with `type` (an internal target), or
// empty when it has none.
QString RelatedPartOfType(const Package& package, const QString& sourcePart, const QString& type);

// Adds `bytes` as a new part related to `sourcePart` with `type`, under the
// first free name of the form "<folder of sourcePart>/<stem>.xml",
// "<stem>1.xml", …; writes the relationship and the content type override.
// Returns the new part's name.
QString AddRelatedPart(Package& package, const QString& sourcePart, const QString& type, const QString& stem,
                       const QString& contentType, const QByteArray& bytes);

}  // namespace word::ooxml
