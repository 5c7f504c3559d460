// The scanner of scene files: blocks of 2048 bytes, one character of
// lookahead, one token of lookahead for the grammar.
#include "scene_language/token_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/fatal_error.h"

namespace {

constexpr unsigned char kEndCharacter = 255;  // what consuming gives once the file is exhausted

struct Punctuation {
    unsigned char character;
    int code;
};

// Searched in this order, like the keyword table.
constexpr Punctuation kPunctuation[] = {
    {'%', Token::Comment},     {'(', Token::LeftParen},    {')', Token::RightParen},
    {'[', Token::LeftBracket}, {']', Token::RightBracket}, {',', Token::Comma},
    {':', Token::Colon},       {'"', Token::Quote},
};

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isWhiteSpace(unsigned char c) { return c == '\n' || c == ' ' || c == '\t' || c == '\r'; }

// Characters that may start a name; digits may follow them.
bool startsName(unsigned char c) {
    return isLetter(c) || c == '_' || c == '^' || c == '.' || c == '-';
}
bool continuesName(unsigned char c) { return startsName(c) || isDigit(c); }

// Regular files and pipes can be read as scene files. A directory opens but
// cannot be read, and a device such as /dev/zero never ends.
bool isReadableAsText(int fd) {
    struct stat status;
    return fstat(fd, &status) == 0 && (S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode));
}

}  // namespace

TokenReader::~TokenReader() { close(); }

void TokenReader::open(const char* name) {
    close();
    fileName_ = name;
    buffer_ = std::make_unique<unsigned char[]>(kBlockSize);
    fd_ = ::open(fileName_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0 || !isReadableAsText(fd_)) {
        if (fd_ > 2) ::close(fd_);
        fd_ = -1;
        fatalError(-1, std::string("\nFile ") + fileName_.c_str() + " cannot be opened!\n");
    }
    readPosition_ = 0;
    bytesInBuffer_ = 0;
    atEnd_ = false;
    line_ = 0;
    column_ = 0;
    textLength_ = 0;
    next();
}

void TokenReader::close() {
    buffer_.reset();
    if (fd_ > 2) ::close(fd_);  // the standard streams stay open
    fd_ = -1;
    fileName_ = String();
}

unsigned char TokenReader::peek() {
    if (atEnd_) return kEndCharacter;
    if (readPosition_ >= bytesInBuffer_) {
        ssize_t n = -1;
        if (buffer_) {
            do n = ::read(fd_, buffer_.get(), kBlockSize);
            while (n < 0 && errno == EINTR);
        }
        // End of file and read errors alike end the input.
        if (n <= 0) {
            atEnd_ = true;
            return kEndCharacter;
        }
        bytesInBuffer_ = static_cast<int>(n);
        readPosition_ = 0;
    }
    return buffer_[readPosition_];
}

unsigned char TokenReader::consume() {
    unsigned char c = peek();
    if (atEnd_) return kEndCharacter;
    ++readPosition_;
    if (c == '\n') {
        ++line_;
        column_ = 0;
    } else {
        ++column_;
    }
    return c;
}

void TokenReader::appendToText(unsigned char ch) {
    if (textLength_ == kMaxTokenText) {
        printError("Token Buffer overflow");
        return;
    }
    text_[textLength_++] = static_cast<char>(ch);
    text_[textLength_] = '\0';
}

int TokenReader::next() {
    textLength_ = 0;
    text_[0] = '\0';
    code_ = Token::EndOfFile;
    if (atEnd_) return code_;
    // A dropped character does not clear the text: a "-" that starts no token
    // stays at the front of the next one.
    for (;;) {
        int code = scanToken(consume());
        if (code != Token::None) return code_ = code;
        if (atEnd_) return code_ = Token::EndOfFile;
    }
}

// Scans the token that starts with the consumed character `ch`; Token::None
// when the character is dropped.
int TokenReader::scanToken(unsigned char ch) {
    if (isWhiteSpace(ch)) return Token::None;
    if (ch == ':') return Token::Colon;
    int punctuation = punctuationCode(ch);
    if (punctuation == Token::Comment) {
        skipComment();
        return Token::None;
    }
    if (punctuation == Token::Quote) {
        scanQuoted();
        return Token::Name;
    }
    if (punctuation != Token::None) return punctuation;

    // A "-" belongs to whatever follows it, even after white space.
    if (ch == '-') {
        appendToText(ch);
        ch = consume();
    }
    if (isDigit(ch)) {
        appendToText(ch);
        scanNumber();
        return Token::Number;
    }
    if (startsName(ch)) {
        appendToText(ch);
        return scanWord();
    }
    return Token::None;
}

void TokenReader::skipComment() {
    for (;;) {
        unsigned char c = consume();
        if (c == '\n' || atEnd_) return;
    }
}

// The text up to the closing quote, taken as it stands; a text still open at
// the end of the file ends there.
void TokenReader::scanQuoted() {
    for (;;) {
        unsigned char c = consume();
        if (atEnd_ || c == '"') return;
        appendToText(c);
    }
}

// Digits with at most one "."; no sign of its own, no exponent.
void TokenReader::scanNumber() {
    bool dotSeen = false;
    for (;;) {
        unsigned char c = peek();
        if (c == '.' && !dotSeen) {
            dotSeen = true;
        } else if (!isDigit(c)) {
            return;
        }
        appendToText(c);
        consume();
    }
}

int TokenReader::scanWord() {
    while (continuesName(peek())) appendToText(consume());
    int code = keywordCode(text_);
    return code == Token::None ? Token::Name : code;
}

void TokenReader::accept(int expected) {
    if (code_ == expected) {
        next();
    } else if (code_ != Token::EndOfFile) {
        reportError(expected);
    }
}

String TokenReader::readName() {
    String name(text_);
    next();
    return name;
}

int TokenReader::readInt() {
    // Convert with range checking: a value beyond the int range is clamped.
    long long value = std::strtoll(text_, nullptr, 10);
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    accept(Token::Number);
    return static_cast<int>(value);
}

double TokenReader::readNumber() {
    double value = std::strtod(text_, nullptr);
    // Too many digits give infinity, and a name such as "inf" or "nan" in
    // place of a number converts to infinity or NaN: no geometry survives them.
    if (!std::isfinite(value)) reportNonFinite();
    accept(Token::Number);
    return value;
}

void TokenReader::reportNonFinite() const {
    constexpr size_t kShownCharacters = 40;
    std::string shown(text_);
    if (shown.size() > kShownCharacters) shown = shown.substr(0, kShownCharacters) + "...";
    fatalError(-1, "\nNumber " + shown + " is not a finite value IN FILE: " + fileName_.c_str() +
                       " IN LINE: " + std::to_string(line_ + 1) + "\n");
}

std::string TokenReader::describe(int code) {
    if (const char* keyword = keywordText(code)) return keyword;
    int character = punctuationChar(code);
    if (character >= 0) return std::string(1, static_cast<char>(character));
    if (code == Token::Name) return "NAME";
    if (code == Token::Number) return "NUMBER";
    return "";
}

void TokenReader::reportError(int expected) const {
    std::string found = text_[0] != '\0' ? std::string(text_) : describe(code_);
    printError("\nERROR : " + describe(expected) + " expected " + " IN FILE: " + fileName_.c_str() +
               " IN LINE: " + std::to_string(line_ + 1) + " LOCATION: " +
               std::to_string(column_ + 1) + "\n\t but " + found + " has been encountered\n");
}

int TokenReader::punctuationCode(unsigned char ch) {
    for (const Punctuation& entry : kPunctuation)
        if (entry.character == ch) return entry.code;
    return Token::None;
}

int TokenReader::punctuationChar(int code) {
    for (const Punctuation& entry : kPunctuation)
        if (entry.code == code) return entry.character;
    return -1;
}
