#pragma once
// The numbers Word draws before the paragraphs of its numbered lists
// (numbering part): "1.", "（２）", "【請求項３】", with their suffix.

#include <QString>

#include <pugixml.hpp>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace word::ooxml {

// The number text of one level value in a number format ("decimal",
// "decimalFullWidth", "upperRoman", "japaneseCounting", "decimalEnclosedCircle", …);
// unknown formats are written as decimal digits.
QString formatListNumber(int value, const std::string& numFmt);

class ListNumbers {
public:
    // numbering and styles may be null (a document without lists or styles);
    // w is the prefix of the WordprocessingML namespace in both parts.
    ListNumbers(const pugi::xml_document* numbering, const pugi::xml_document* styles, const std::string& w);

    // The text Word shows before a paragraph with these properties, suffix
    // included (a tab as a full-width blank); empty for an unnumbered one.
    // Called once for every paragraph, in document order: it counts.
    QString next(pugi::xml_node pPr, const std::string& paragraphStyle);

private:
    struct Level {
        int start = 1;
        std::string numFmt = "decimal";
        QString lvlText;
        std::string suffix = "tab";
        int restartAfter = -1;  // lvlRestart: restarts after this level (0-based); -1 after any higher level
        bool legal = false;     // isLgl: every level shown as decimal
        bool restartNever = false;
    };
    struct Num {
        std::string abstractId;
        std::map<int, int> startOverride;  // level -> start
        std::map<int, Level> levelOverride;
        bool overridesApplied = false;
    };
    struct Counters {
        std::array<std::optional<int>, 9> value;
    };
    struct NumPr {
        std::optional<std::string> numId;
        std::optional<int> ilvl;
    };

    const char* q(const char* local);
    NumPr numPrOf(pugi::xml_node pPr);
    NumPr styleNumPr(const std::string& styleId);
    Level readLevel(pugi::xml_node lvl);
    const Level* level(const Num& num, int ilvl) const;
    int levelForStyle(const std::string& abstractId, const std::string& styleId) const;

    std::string w_;
    std::map<std::string, std::string> names_;
    std::map<std::string, std::map<int, Level>> abstractLevels_;
    std::map<std::string, std::map<std::string, int>> levelOfStyle_;  // abstract -> pStyle -> level
    std::map<std::string, Num> nums_;
    std::map<std::string, Counters> counters_;  // per abstract numbering: lists sharing it count on
    struct StyleInfo {
        NumPr numPr;
        std::string basedOn;
    };
    std::map<std::string, StyleInfo> styles_;
    std::string defaultParagraphStyle_;
};

}  // namespace word::ooxml
