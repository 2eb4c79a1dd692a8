#pragma once
// The walk through the main story that gives the filing HTML file,
// the refused characters and the pictures (html_writer.cpp writes them).

#include "word/ooxml/html_writer.h"
#include "word/picture_conversion.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <pugixml.hpp>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace word::ooxml {
class ListNumbers;
}

namespace word::ooxml::html {

// The parts of the document the walk reads.
struct Source {
    const pugi::xml_document* doc = nullptr;
    std::string w;  // prefix of the WordprocessingML namespace
    std::function<QString(const QString& relId)> relationshipTarget;
    // Whether a relationship of the main part points outside the package (a linked file).
    std::function<bool(const QString& relId)> relationshipIsExternal;
    std::function<QByteArray(const QString& part)> readPart;
    const pugi::xml_document* styles = nullptr;
    ListNumbers* listNumbers = nullptr;  // the numbers of numbered paragraphs; none when null
};

// Turns a stored picture (its part, bytes, file extension and displayed size
// in EMU) into what is written beside the HTML file.
using PicturePreparer = std::function<FilingPicture(const QString& partName, const QByteArray& bytes,
                                                    const QString& extension, qint64 cxEmu, qint64 cyEmu)>;

struct WalkOptions {
    QString pictureBase;         // the HTML path the picture file names are made from
    bool readPictures = true;    // false: pictures are named but their parts not read
    PicturePreparer prepare;     // null: copied as stored
    bool writeHtml = true;       // false: only what the story holds is listed, no file made
    bool listCharacters = true;  // without the HTML: false leaves the text (and its refused characters) out
    int section = -1;            // only this 【書類名】 section (0-based); -1 the whole story
    // Pictures of the equations of a paragraph (by its 1-based number) that
    // text cannot show: such a paragraph is written without its equations,
    // followed by an 【数ｎ】 item with the picture. Null: none.
    const std::map<int, FilingPicture>* equationPictures = nullptr;
};

// One picture file, written once however often the picture shows.
struct Picture {
    QString fileName;
    QString partName;
    FilingPicture file;
};

// One place in the text where a picture shows, with its displayed size.
struct PictureUse {
    int paragraph = 0;  // 1-based, as the walk counts
    QString partName;
    qint64 cxEmu = 0, cyEmu = 0;
};

// A paragraph with an equation that text cannot show.
struct EquationParagraph {
    int paragraph = 0;  // 1-based, as the walk counts
    pugi::xml_node node;
};

// An equation written as a picture in an 【数ｎ】 item.
struct EquationItem {
    int paragraph = 0;
    QString heading;  // "【数３】"
    QString fileName;
};

// Something of a table that the filing software's plain tables cannot hold.
struct TableProblem {
    int paragraph = 0;  // the first paragraph it concerns
    QString what;
};

struct WalkResult {
    QByteArray html;     // the whole file in code page 932, each line ending in CR LF
    bool lossy = false;  // a character the code page lacks was written as "?"
    std::vector<RefusedCharacter> refused;
    std::vector<Picture> pictures;
    std::vector<PictureUse> pictureUses;
    QStringList sectionNames;  // the names after each 【書類名】 of the body, in order
    std::vector<int> equationsNotAsText;  // 1-based paragraphs whose equations text cannot show
    std::vector<EquationParagraph> equationParagraphs;  // the same paragraphs, with their nodes
    std::vector<EquationItem> equationItems;
    std::vector<TableProblem> tableProblems;
    std::vector<HandWork> handWork;
};

WalkResult walkMainStory(const Source& source, const WalkOptions& options);

// The extension a stored picture is written with: its part's, or the one its
// first bytes announce.
QString imageExtension(const QString& partName, const QByteArray& bytes);

}  // namespace word::ooxml::html
