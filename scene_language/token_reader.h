#pragma once

#include <memory>
#include <string>

#include "scene_language/string.h"

// Token codes. The numbers are fixed: the grammar dispatches on them and the
// diagnostics describe tokens by them.
namespace Token {
enum Code : int {
    RightBracket = 0,  // "]"
    RightParen = 1,    // ")"
    CmplxPly = 2,
    Cmr = 3,
    Colon = 4,  // ":"
    Comma = 5,  // ","
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

// Reads a scene file as a stream of tokens with one token of lookahead, and
// prints the syntax diagnostics of the grammar.
class TokenReader {
  public:
    static constexpr int kBlockSize = 2048;   // bytes per read from the file
    static constexpr int kMaxTokenText = 2047;  // characters kept of a token

    TokenReader() = default;
    ~TokenReader();
    TokenReader(const TokenReader&) = delete;
    TokenReader& operator=(const TokenReader&) = delete;

    // Opens the file and reads the first token; a file that cannot be opened
    // ends the program with status -1.
    void open(const char* name);
    void close();

    const String& fileName() const { return fileName_; }  // as passed to open
    int code() const { return code_; }
    const char* text() const { return text_; }
    int line() const { return line_; }
    int column() const { return column_; }

    // Scans the next token, makes it current and returns its code; at the end
    // of the file it stays Token::EndOfFile.
    int next();
    // Moves on if the current token has the expected code; otherwise reports
    // it (silently at the end of the file) and leaves it current.
    void accept(int expected);
    // The current token's text, whatever its code; always moves on.
    String readName();
    // The text as a decimal integer clamped to the int range (0 for a word),
    // then accept(Token::Number).
    int readInt();
    // The text as a C decimal real (0 for a word), then accept(Token::Number).
    // A value that is not finite (too many digits, or a name such as "inf")
    // ends the program with status -1.
    double readNumber();
    // Prints the syntax diagnostic for the current token where `expected` was due.
    void reportError(int expected) const;

    // Table lookups; Token::None (21) when there is no entry.
    static int keywordCode(const char* text);
    static const char* keywordText(int code);
    static int punctuationCode(unsigned char ch);
    static int punctuationChar(int code);  // -1 when the code has none

  private:
    unsigned char peek();
    unsigned char consume();
    void appendToText(unsigned char ch);
    int scanToken(unsigned char ch);
    void skipComment();
    void scanQuoted();
    void scanNumber();
    int scanWord();
    static std::string describe(int code);
    [[noreturn]] void reportNonFinite() const;

    String fileName_;
    int fd_ = -1;                               // the open file, read-only; -1 when closed
    std::unique_ptr<unsigned char[]> buffer_;  // the last block read, kBlockSize bytes
    int readPosition_ = 0;   // index of the next unread byte in buffer_
    long consumed_ = 0;      // characters taken from the file so far
    int bytesInBuffer_ = 0;  // bytes the last block read delivered
    bool atEnd_ = false;     // a block read delivered nothing
    int line_ = 0;           // line feeds consumed (0 on the first line)
    int column_ = 0;         // characters consumed since the last line feed
    unsigned char current_ = 0;    // the last character consumed while scanning
    unsigned char lookahead_ = 0;  // the last character inspected without consuming it
    char text_[kMaxTokenText + 1] = {};
    int textLength_ = 0;
    int code_ = Token::EndOfFile;
};
