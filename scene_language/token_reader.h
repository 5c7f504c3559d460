#pragma once

#include <memory>
#include <string>

#include "base/file_identity.h"
#include "base/keywords.h"
#include "base/limits.h"
#include "base/string.h"

// Reads a scene file as a stream of tokens with one token of lookahead, and
// prints the syntax diagnostics of the grammar.
class TokenReader {
  public:
    static constexpr int kBlockSize = 2048;                      // bytes per read from the file
    static constexpr int kMaxTokenText = limits::kMaxTokenText;  // characters kept of a token

    TokenReader() = default;
    ~TokenReader();
    TokenReader(const TokenReader&) = delete;
    TokenReader& operator=(const TokenReader&) = delete;

    // Opens the file and reads the first token; a file that cannot be opened
    // ends the program with status -1.
    void open(const char* name);
    void close();

    const String& fileName() const { return fileName_; }  // as passed to open
    // The file open now, to tell it from the program's outputs.
    FileIdentity identity() const { return FileIdentity::ofDescriptor(fd_); }
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

    // Punctuation lookups; Token::None (21) when there is no entry.
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
    int fd_ = -1;                              // the open file, read-only; -1 when closed
    std::unique_ptr<unsigned char[]> buffer_;  // the last block read, kBlockSize bytes
    int readPosition_ = 0;                     // index of the next unread byte in buffer_
    int bytesInBuffer_ = 0;                    // bytes the last block read delivered
    bool atEnd_ = false;                       // a block read delivered nothing
    int line_ = 0;                             // line feeds consumed (0 on the first line)
    int column_ = 0;                           // characters consumed since the last line feed
    char text_[kMaxTokenText + 1] = {};
    int textLength_ = 0;
    int code_ = Token::EndOfFile;
};
