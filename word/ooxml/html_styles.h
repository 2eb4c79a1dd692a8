#pragma once
// Qualified names of the main part's XML, and the look of a run (underline,
// superscript, subscript) from its direct formatting and the styles.

#include <pugixml.hpp>

#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

namespace word::ooxml::html {

inline std::string localName(const char* qualified) {
    const char* colon = std::strchr(qualified, ':');
    return colon ? std::string(colon + 1) : std::string(qualified);
}

// "w:p" for prefix "w" and "p"; the strings live in `cache` (stable node storage).
inline const char* qualify(const std::string& prefix, const char* local,
                    std::unordered_map<std::string, std::string>& cache) {
    auto it = cache.find(local);
    if (it == cache.end()) it = cache.emplace(local, prefix.empty() ? local : prefix + ":" + local).first;
    return it->second.c_str();
}

inline std::string prefixOf(const char* qualified) {
    const char* colon = std::strchr(qualified, ':');
    return colon ? std::string(qualified, colon) : std::string();
}

// Underline and vertical alignment from direct formatting and styles.

struct RunLook {
    std::optional<bool> underline;
    std::optional<int> vertAlign;  // 0 baseline, 1 superscript, 2 subscript
    void fillFrom(const RunLook& o) {
        if (!underline) underline = o.underline;
        if (!vertAlign) vertAlign = o.vertAlign;
    }
    bool complete() const { return underline && vertAlign; }
};

struct Look {
    bool u = false, sup = false, sub = false;
    bool operator==(const Look&) const = default;
};

class Styles {
public:
    Styles(const pugi::xml_document* styles, const std::string& w) : w_(w) {
        if (!styles) return;
        pugi::xml_node root = styles->document_element();
        if (pugi::xml_node d = root.child(q("docDefaults")).child(q("rPrDefault")).child(q("rPr")))
            defaults_ = lookOf(d);
        for (pugi::xml_node s : root.children(q("style"))) {
            Style st;
            st.own = lookOf(s.child(q("rPr")));
            st.basedOn = s.child(q("basedOn")).attribute(q("val")).value();
            const std::string id = s.attribute(q("styleId")).value();
            const std::string type = s.attribute(q("type")).value();
            const std::string def = s.attribute(q("default")).value();
            if (type == "paragraph" && (def == "1" || def == "true" || def == "on"))
                defaultParagraph_ = id;
            styles_[id] = st;
        }
    }

    // Reads w:u and w:vertAlign of an rPr element.
    RunLook lookOf(pugi::xml_node rPr) const {
        RunLook l;
        if (!rPr) return l;
        if (pugi::xml_node u = rPr.child(q("u"))) {
            const std::string v = u.attribute(q("val")).value();
            l.underline = v != "none";
        }
        if (pugi::xml_node va = rPr.child(q("vertAlign"))) {
            const std::string v = va.attribute(q("val")).value();
            l.vertAlign = v == "superscript" ? 1 : v == "subscript" ? 2 : 0;
        }
        return l;
    }

    Look resolve(pugi::xml_node rPr, const std::string& paragraphStyle) {
        RunLook l = lookOf(rPr);
        if (!l.complete()) {
            const std::string rStyle = rPr.child(q("rStyle")).attribute(q("val")).value();
            if (!rStyle.empty()) l.fillFrom(chain(rStyle));
        }
        if (!l.complete())
            l.fillFrom(chain(paragraphStyle.empty() ? defaultParagraph_ : paragraphStyle));
        if (!l.complete()) l.fillFrom(defaults_);
        Look out;
        out.u = l.underline.value_or(false);
        out.sup = l.vertAlign.value_or(0) == 1;
        out.sub = l.vertAlign.value_or(0) == 2;
        return out;
    }

private:
    struct Style {
        RunLook own;
        std::string basedOn;
    };

    const char* q(const char* local) const { return qualify(w_, local, names_); }

    RunLook chain(const std::string& id) {
        if (id.empty()) return {};
        auto c = resolved_.find(id);
        if (c != resolved_.end()) return c->second;
        RunLook l;
        std::set<std::string> seen;  // basedOn loops in damaged files
        for (std::string cur = id; !cur.empty() && seen.insert(cur).second;) {
            auto it = styles_.find(cur);
            if (it == styles_.end()) break;
            l.fillFrom(it->second.own);
            cur = it->second.basedOn;
        }
        resolved_[id] = l;
        return l;
    }

    std::string w_;
    mutable std::unordered_map<std::string, std::string> names_;
    RunLook defaults_;
    std::string defaultParagraph_;
    std::map<std::string, Style> styles_;
    std::map<std::string, RunLook> resolved_;
};

}  // namespace word::ooxml::html
