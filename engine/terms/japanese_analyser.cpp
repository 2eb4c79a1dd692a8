#include "engine/terms/japanese_analyser.h"

#include "word/automation.h"

#include <mecab.h>

#include <array>
#include <string_view>

namespace engine::terms {

namespace {

// The first comma-separated fields of a dictionary entry's feature text
// (part of speech, its detail, …, the reading as the eighth); missing ones empty.
constexpr size_t kFields = 8;
std::array<std::string_view, kFields> FeatureFields(const char* feature) {
    std::array<std::string_view, kFields> fields{};
    std::string_view rest(feature);
    for (size_t i = 0; i < kFields; ++i) {
        const size_t comma = rest.find(',');
        fields[i] = rest.substr(0, comma);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return fields;
}

WordClass ClassOf(std::string_view pos, std::string_view detail) {
    if (pos == "名詞") {
        if (detail == "数") return WordClass::Number;
        if (detail == "接尾") return WordClass::Suffix;
        if (detail == "非自立" || detail == "代名詞" || detail == "特殊") return WordClass::DependentNoun;
        return WordClass::Noun;
    }
    if (pos == "接頭詞") return WordClass::Prefix;
    if (pos == "記号") return detail == "アルファベット" ? WordClass::Letter : WordClass::Symbol;
    if (pos == "助詞") return detail == "連体化" ? WordClass::NoParticle : WordClass::Particle;
    if (pos == "動詞") return WordClass::Verb;
    return WordClass::Other;
}

// UTF-16 code units of the UTF-8 bytes [from, to).
int Utf16Units(const char* from, const char* to) {
    int units = 0;
    for (const char* p = from; p < to; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if ((byte & 0xC0) == 0x80) continue;
        units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool HoldsKanji(QStringView text) {
    for (QChar c : text)
        if (IsKanji(c)) return true;
    return false;
}

const QString kMissing = QStringLiteral(
    "日本語の形態素解析（MeCab と UTF-8 の辞書）を読み込めません。libmecab2 と mecab-ipadic-utf8 を入れてください。");

}  // namespace

struct JapaneseAnalyser::Impl {
    MeCab::Model* model = nullptr;
    MeCab::Tagger* tagger = nullptr;
    MeCab::Lattice* lattice = nullptr;
    ~Impl() {
        delete lattice;
        delete tagger;
        delete model;
    }
};

JapaneseAnalyser::JapaneseAnalyser() : impl_(std::make_unique<Impl>()) {
    impl_->model = MeCab::createModel("");
    if (!impl_->model) throw word::Error(kMissing);
    const MeCab::DictionaryInfo* info = impl_->model->dictionary_info();
    const std::string_view charset = info && info->charset ? info->charset : "";
    if (charset != "utf-8" && charset != "utf8" && charset != "UTF-8" && charset != "UTF8") throw word::Error(kMissing);
    impl_->tagger = impl_->model->createTagger();
    impl_->lattice = impl_->model->createLattice();
    if (!impl_->tagger || !impl_->lattice) throw word::Error(kMissing);
}

JapaneseAnalyser::~JapaneseAnalyser() = default;

Tokens JapaneseAnalyser::Analyse(const QString& paragraph) {
    Tokens tokens;
    if (paragraph.isEmpty()) return tokens;
    tokens.reserve(size_t(paragraph.size()) / 2);
    const QByteArray utf8 = paragraph.toUtf8();
    MeCab::Lattice* lattice = impl_->lattice;
    lattice->set_sentence(utf8.constData(), utf8.size());
    if (!impl_->tagger->parse(lattice)) return tokens;
    const char* counted = utf8.constData();
    int offset = 0;
    for (const MeCab::Node* node = lattice->bos_node(); node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE || node->length == 0) continue;
        offset += Utf16Units(counted, node->surface);
        const int length = Utf16Units(node->surface, node->surface + node->length);
        counted = node->surface + node->length;
        const auto fields = FeatureFields(node->feature);
        Token token{offset, length, ClassOf(fields[0], fields[1]), {}};
        if (!fields[7].empty() && fields[7] != "*" && HoldsKanji(QStringView(paragraph).mid(offset, length)))
            token.reading = QString::fromUtf8(fields[7].data(), qsizetype(fields[7].size()));
        tokens.push_back(std::move(token));
        offset += length;
    }
    return tokens;
}

bool IsKanji(QChar c) { return c.script() == QChar::Script_Han || c == u'々' || c == u'〆'; }

bool IsKatakana(QChar c) { return (c >= u'ァ' && c <= u'ヺ') || c == u'ー'; }

}  // namespace engine::terms
