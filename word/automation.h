#pragma once
// The automation surface the tasks are written against: a small object model
// shaped like the part of Word's (application, documents, document, range,
// find/replacement, font, paragraphs) that the tasks use. Behind it sits our
// own document engine (word/ooxml). Objects are cheap handles; copies of a
// Range share one live range, as references to Word's objects do.

#include <QString>

#include <exception>
#include <memory>
#include <optional>
#include <string>

namespace word {

// Word's constants, with Word's names and values.
inline constexpr int wdReplaceNone = 0;
inline constexpr int wdReplaceOne = 1;
inline constexpr int wdReplaceAll = 2;
inline constexpr int wdFindStop = 0;
inline constexpr int wdFindContinue = 1;
inline constexpr int wdCharacter = 1;
inline constexpr int wdFormatDocument = 0;  // "the format the document was opened in"
inline constexpr int wdFormatHTML = 8;
inline constexpr int wdDoNotSaveChanges = 0;
inline constexpr int wdColorAutomatic = -16777216;
inline constexpr int wdColorGray20 = 13421772;
inline constexpr int wdUndefined = 9999999;

// The one exception type of the engine. The message is meant for the user.
class Error : public std::exception {
public:
    explicit Error(QString message, int number = 0);
    const QString& message() const { return message_; }
    // An error number where one is meaningful (429: the application cannot be created).
    int number() const { return number_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    int number_;
    std::string utf8_;
};

namespace ooxml {
class DocumentModel;
struct LiveRange;
}  // namespace ooxml

namespace detail {
struct FindState;
struct DocumentState;
}  // namespace detail

class Document;
class Find;
class Font;
class Range;

// A font: of a range (applies to the text) or of a find's replacement.
class Font {
public:
    // wdUndefined when the range holds several colours.
    int Color() const;
    void SetColor(int wdColor);
    // The East Asian (Japanese) font.
    QString Name() const;
    void SetName(const QString& name);
    // The font for Latin characters.
    QString NameAscii() const;
    void SetNameAscii(const QString& name);

private:
    friend class Range;
    friend class Replacement;
    std::shared_ptr<detail::DocumentState> doc_;
    std::shared_ptr<ooxml::LiveRange> range_;        // set for a range's font
    std::shared_ptr<detail::FindState> replacement_;  // set for a replacement's font
};

class Replacement {
public:
    void ClearFormatting();
    QString Text() const;
    void SetText(const QString& text);
    word::Font Font() const;

private:
    friend class Find;
    std::shared_ptr<detail::DocumentState> doc_;
    std::shared_ptr<detail::FindState> find_;
};

// The find object of a range. Its options live with the document, so they stay
// in effect from one search to the next, as Word's do.
class Find {
public:
    void ClearFormatting();
    bool MatchCase() const;
    void SetMatchCase(bool v);
    bool MatchWholeWord() const;
    void SetMatchWholeWord(bool v);
    bool MatchByte() const;
    void SetMatchByte(bool v);
    bool MatchAllWordForms() const;
    void SetMatchAllWordForms(bool v);
    bool MatchSoundsLike() const;
    void SetMatchSoundsLike(bool v);
    bool MatchWildcards() const;
    void SetMatchWildcards(bool v);
    bool MatchFuzzy() const;
    void SetMatchFuzzy(bool v);
    bool Forward() const;
    void SetForward(bool v);
    int Wrap() const;
    void SetWrap(int wdFindWrap);
    QString Text() const;
    void SetText(const QString& text);
    word::Replacement Replacement() const;

    // Searches the range. wdReplaceAll replaces every match and leaves the range
    // as it was; otherwise a match (replaced with wdReplaceOne) becomes the range.
    // Option combinations the engine does not implement throw Error.
    bool Execute(int replace = wdReplaceNone);
    // Whether the last Execute found at least one match.
    bool Found() const;

private:
    friend class Range;
    std::shared_ptr<detail::DocumentState> doc_;
    std::shared_ptr<ooxml::LiveRange> range_;
};

// A live range of character offsets in the main story. Edits shift it.
class Range {
public:
    Range() = default;
    bool isNull() const { return !range_; }

    int Start() const;
    int End() const;
    void SetRange(int start, int end);

    QString Text() const;
    // Replaces the text of the range (the smallest change); the range then
    // covers the new text. "\r" in the text makes paragraph breaks.
    void SetText(const QString& text);
    void Select();
    // Moves the end by count units (characters); returns the units moved.
    int MoveEnd(int unit = wdCharacter, int count = 1);
    word::Find Find() const;
    word::Font Font() const;
    // An independent range over the same characters.
    Range Duplicate() const;

private:
    friend class Document;
    friend class Paragraph;
    Range(std::shared_ptr<detail::DocumentState> doc, std::shared_ptr<ooxml::LiveRange> range)
        : doc_(std::move(doc)), range_(std::move(range)) {}
    std::shared_ptr<detail::DocumentState> doc_;
    std::shared_ptr<ooxml::LiveRange> range_;
};

// One paragraph of the main story, met while walking Document::Paragraphs().
class Paragraph {
public:
    // The paragraph's range, paragraph mark included. Edits made through it
    // steer the walk: after the range's text was replaced (or deleted), the
    // next paragraph is the one that now starts where the range starts.
    word::Range Range() const;
    std::optional<Paragraph> Next() const;

private:
    friend class Paragraphs;
    std::shared_ptr<detail::DocumentState> doc_;
    std::shared_ptr<ooxml::LiveRange> range_;
};

class Paragraphs {
public:
    int Count() const;
    // 1-based, as in Word.
    Paragraph Item(int index) const;
    std::optional<Paragraph> First() const;

private:
    friend class Document;
    friend class Paragraph;
    std::shared_ptr<detail::DocumentState> doc_;
};

class Document {
public:
    ~Document();
    // The whole main story, final paragraph mark included.
    Range Content();
    word::Paragraphs Paragraphs();
    QString FullName() const;
    // Saves in the format the document was opened in.
    void SaveAs(const QString& fileName);
    // wdFormatDocument (the opened format) or wdFormatHTML.
    void SaveAs(const QString& fileName, int fileFormat);
    void Close(int saveChanges = wdDoNotSaveChanges);
    // True when the file was not a .docx package and was converted on open.
    bool ConvertedOnOpen() const;

    // Engine access for the HTML writer and for tests.
    ooxml::DocumentModel& model();

private:
    friend class Documents;
    Document() = default;
    std::shared_ptr<detail::DocumentState> doc_;
};

class Application;

class Documents {
public:
    // Opens a document into memory; nothing is written until SaveAs.
    std::shared_ptr<Document> Open(const QString& fileName, bool readOnly = true);
    int Count() const { return count_; }

private:
    friend class Application;
    int count_ = 0;
};

class Application {
public:
    // Creates an instance for the class name "Word.Application"; any other
    // name throws Error with number 429.
    static std::shared_ptr<Application> CreateObject(const QString& className);
    // Attaches to a running instance. The engine runs in-process, so there is
    // never one: always throws Error ("no running instance").
    static std::shared_ptr<Application> GetObject(const QString& className);

    word::Documents& Documents() { return documents_; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    void Quit() { quit_ = true; }
    bool HasQuit() const { return quit_; }

private:
    Application() = default;
    word::Documents documents_;
    bool visible_ = false;
    bool quit_ = false;
};

}  // namespace word
