#pragma once
// Which characters the filing software takes, and the characters the Symbol
// font shows for its codes.

#include <unordered_map>

namespace word::ooxml::html {

struct CharInfo {
    bool encodable = false;  // code page 932 has it
    bool accepted = false;   // the filing software takes it
};

CharInfo classify(char32_t cp);

// classify() with the answers kept: a document repeats few characters many times.
class CharTable {
public:
    const CharInfo& operator()(char32_t cp) {
        auto it = cache_.find(cp);
        if (it == cache_.end()) it = cache_.emplace(cp, classify(cp)).first;
        return it->second;
    }

private:
    std::unordered_map<char32_t, CharInfo> cache_;
};

// The characters of the Symbol font by their code (w:sym w:font="Symbol"
// w:char="F061" is α); 0 where the font has nothing or no plain equivalent.
char32_t symbolFontCharacter(unsigned code);

}  // namespace word::ooxml::html
