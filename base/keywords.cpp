#include "base/keywords.h"

#include <cstring>

namespace {
struct Keyword {
    const char* text;
    int code;
};

// The order of this table is fixed: a lookup takes the first entry that matches.
constexpr Keyword kKeywords[] = {
    {"cmplxPly", Token::CmplxPly},
    {"cmr", Token::Cmr},
    {"end", Token::End},
    {"lmbrtn", Token::Lmbrtn},
    {"mtrlNm", Token::MtrlNm},
    {"nmdMtrl", Token::NmdMtrl},
    {"pLmnr", Token::PLmnr},
    {"plnrMsh", Token::PlnrMsh},
    {"transform", Token::Transform},
    {"plygn", Token::Plygn},
    {"sclr", Token::Sclr},
    {"spctrl", Token::Spctrl},
    {"size", Token::Size},
    {"position", Token::Position},
    {"pointlight", Token::PointLight},
    {"file", Token::File},
    {"tessellate", Token::Tessellate},
    {"sky", Token::Sky},
    {"vrtxPstn", Token::VrtxPstn},
};
}  // namespace

int keywordCode(const char* text) {
    for (const Keyword& keyword : kKeywords)
        if (std::strcmp(keyword.text, text) == 0) return keyword.code;
    return Token::None;
}

const char* keywordText(int code) {
    for (const Keyword& keyword : kKeywords)
        if (keyword.code == code) return keyword.text;
    return nullptr;
}
