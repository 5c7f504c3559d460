#pragma once

// Token codes of the scene language and its keyword table. The numbers are
// fixed: the grammar dispatches on them and the diagnostics describe tokens
// by them.
namespace Token {
enum Code : int {
    RightBracket = 0,  // "]"
    RightParen = 1,    // ")"
    CmplxPly = 2,
    Cmr = 3,
    Colon = 4,    // ":"
    Comma = 5,    // ","
    Comment = 6,  // "%", never returned
    End = 7,
    Lmbrtn = 8,
    MtrlNm = 9,
    NmdMtrl = 10,
    Number = 11,
    PLmnr = 12,
    PlnrMsh = 13,
    Transform = 14,
    Plygn = 15,
    Sclr = 16,
    Spctrl = 17,
    VrtxPstn = 18,
    EndOfFile = 19,
    Unused = 20,
    None = 21,  // result of a failed table lookup, never a token's code
    Name = 22,
    LeftBracket = 23,  // "["
    LeftParen = 24,    // "("
    PointLight = 25,
    Size = 26,
    Position = 27,
    File = 28,
    Quote = 29,  // starts a quoted text, never returned
    Sky = 30,
    Tessellate = 31,
};
}  // namespace Token

// The code of a keyword (exact, case-sensitive; the first entry of the table
// that matches), Token::None for any other text.
int keywordCode(const char* text);
// The text of a keyword code, null for a code without one.
const char* keywordText(int code);
