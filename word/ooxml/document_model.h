#pragma once
// The main story of a .docx as text, with one edit primitive that makes the
// smallest change to the XML, literal search with Word's find codes, live
// ranges, colour and font application. How the story is kept is told in
// document_model_impl.h; its text rules are in story_scan.cpp, the edits in
// paragraph_edits.cpp and document_model.cpp, the find in story_find.cpp.

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace pugi {
class xml_document;
}

namespace word::ooxml {

class Package;

// A live range: character offsets into the main story, shifted by every edit.
struct LiveRange {
    int start = 0;
    int end = 0;
    // Set when the range's own text was replaced through it (steers the
    // paragraph walk, see Paragraph::Next).
    bool textEdited = false;
};

// One replacement of a batch: the characters [start, end) become `text`.
struct Edit {
    int start = 0;
    int end = 0;
    QString text;
};

// A parsed search text: literal characters, with digitClass marking "^#".
struct Pattern {
    QString chars;
    std::vector<bool> digitClass;  // same length as chars
    bool empty() const { return chars.isEmpty(); }
};

class DocumentModel {
public:
    // Opens a .docx package (throws word::Error).
    static std::unique_ptr<DocumentModel> open(const QString& path);
    ~DocumentModel();

    // The whole main story: paragraph texts each followed by its mark
    // ('\r', '\a' for a cell's last paragraph, '\f' for a section break).
    const QString& text();
    int length();
    // The characters [start, end) of the story, without rebuilding the whole text.
    QString textRange(int start, int end);

    // The one edit primitive. Returns false (and changes nothing) when the
    // edit would delete a mark that must stay.
    bool replace(int start, int end, const QString& text);
    // Applies non-overlapping edits given in ascending order; returns how many
    // were applied. When colorHex is given, each replaced text takes that colour.
    int replaceMany(const std::vector<Edit>& edits, const std::optional<int>& wdColor = std::nullopt);

    // Finds every non-overlapping match of `pattern` in [start, end), left to right.
    std::vector<std::pair<int, int>> findAll(const Pattern& pattern, int start, int end);
    // The first match in [start, end), if any.
    std::optional<std::pair<int, int>> findFirst(const Pattern& pattern, int start, int end);

    // Formatting of [start, end): runs split at the edges as needed.
    void setColor(int start, int end, int wdColor);
    void setFontName(int start, int end, const QString& eastAsia);
    void setFontNameAscii(int start, int end, const QString& latin);
    // The colour of the character at pos as Word's BBGGRR value
    // (wdColorAutomatic when none or "auto").
    int colorAt(int pos);
    // Uniform colour of [start, end) or wdUndefined.
    int colorOf(int start, int end);
    QString fontNameAt(int pos, bool eastAsia);

    // Paragraphs of the main story, 0-based.
    int paragraphCount();
    // [start, end) of paragraph i, its mark included.
    std::pair<int, int> paragraphSpan(int index);
    // The paragraph that contains pos (pos == length() gives the last one).
    int paragraphAt(int pos);

    // Word comments anchored on [start, end) of the story, added as Word writes
    // them: the comments part (created, or kept with its comments and extended),
    // w:commentRangeStart/End around the anchored runs (split only at the
    // anchor's edges) and a reference run after the end. Each reference adds
    // one character (U+0005) to the story after its anchor.
    struct Comment {
        int start = 0;
        int end = 0;
        QString author;
        QString initials;
        QString text;  // lines separated by '\n' become the comment's paragraphs
    };
    void addComments(std::vector<Comment> comments);

    // Live ranges: the model shifts every range still referenced.
    std::shared_ptr<LiveRange> makeRange(int start, int end);

    bool modified() const { return modified_; }
    // Serialises the main part if it changed and writes the package.
    void save(const QString& path);

    // Engine-internal access (HTML writer, tests).
    Package& package();
    pugi::xml_document& xml();
    // The prefix bound to the WordprocessingML namespace ("w" almost always).
    const std::string& wordPrefix() const;

private:
    DocumentModel();
    struct Impl;
    std::unique_ptr<Impl> impl_;
    bool modified_ = false;
};

// Parses Word's find codes in a search text: ^013 / ^13 / ^p paragraph mark,
// ^# a digit 0-9, ^t tab, ^^ caret. Throws word::Error on codes it does not know.
Pattern parseFindText(const QString& text);
// Translates a replacement text: ^p / ^013 / ^13 paragraph mark, ^t tab, ^^ caret.
QString parseReplacementText(const QString& text);

}  // namespace word::ooxml
