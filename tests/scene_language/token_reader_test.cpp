#include "scene_language/token_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/temp_files.h"

namespace {

using Tokens = std::vector<std::pair<int, std::string>>;

// Opens a reader on a temporary file holding `contents`.
void openOn(TokenReader& reader, const std::string& contents,
            const std::string& name = "tokens.sce") {
    reader.open(writeTempFile(name, contents).c_str());
}

// Every token of `contents` up to the end of the file, which is not listed.
Tokens scan(const std::string& contents) {
    TokenReader reader;
    openOn(reader, contents);
    Tokens tokens;
    for (int n = 0; reader.code() != Token::EndOfFile && n < 10000; ++n) {
        tokens.emplace_back(reader.code(), reader.text());
        reader.next();
    }
    return tokens;
}

// Runs `action` and returns what it printed on standard error.
template <typename Action>
std::string errorOutput(Action action) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

}  // namespace

// Numbers

TEST(TokenReader, NumbersWithSignAndOneDot) {
    EXPECT_EQ(scan("-12.50 7 3. 0.25"), (Tokens{{Token::Number, "-12.50"},
                                                {Token::Number, "7"},
                                                {Token::Number, "3."},
                                                {Token::Number, "0.25"}}));
}

TEST(TokenReader, NumbersHaveNoExponentPlusOrLeadingDot) {
    EXPECT_EQ(scan("1e5"), (Tokens{{Token::Number, "1"}, {Token::Name, "e5"}}));
    EXPECT_EQ(scan(".5"), (Tokens{{Token::Name, ".5"}}));
    EXPECT_EQ(scan("+4"), (Tokens{{Token::Number, "4"}}));
    EXPECT_EQ(scan("1.5.3"), (Tokens{{Token::Number, "1.5"}, {Token::Name, ".3"}}));
    EXPECT_EQ(scan("3D"), (Tokens{{Token::Number, "3"}, {Token::Name, "D"}}));
}

TEST(TokenReader, MinusJoinsWhateverTokenFollows) {
    EXPECT_EQ(scan("- 5"), (Tokens{{Token::Number, "-5"}}));
    EXPECT_EQ(scan("- a"), (Tokens{{Token::Name, "-a"}}));
    EXPECT_EQ(scan("-x1"), (Tokens{{Token::Name, "-x1"}}));
    EXPECT_EQ(scan("--5"), (Tokens{{Token::Name, "--5"}}));
    // Right after the "-" even punctuation is dropped, and the "-" stays for
    // the next token, whatever it is.
    EXPECT_EQ(scan("-(7"), (Tokens{{Token::Number, "-7"}}));
    EXPECT_EQ(scan("- end"), (Tokens{{Token::Name, "-end"}}));
    EXPECT_EQ(scan("- ]"), (Tokens{{Token::RightBracket, "-"}}));
}

// Names and keywords

TEST(TokenReader, EveryKeywordHasItsCode) {
    const std::pair<const char*, int> keywords[] = {
        {"cmplxPly", 2},  {"cmr", 3},     {"end", 7},       {"lmbrtn", 8},      {"mtrlNm", 9},
        {"nmdMtrl", 10},  {"pLmnr", 12},  {"plnrMsh", 13},  {"transform", 14},  {"plygn", 15},
        {"sclr", 16},     {"spctrl", 17}, {"vrtxPstn", 18}, {"pointlight", 25}, {"size", 26},
        {"position", 27}, {"file", 28},   {"sky", 30},      {"tessellate", 31},
    };
    for (const auto& [text, code] : keywords) {
        EXPECT_EQ(keywordCode(text), code) << text;
        EXPECT_STREQ(keywordText(code), text);
        EXPECT_EQ(scan(text), (Tokens{{code, text}}));
    }
    EXPECT_EQ(keywordCode("nothing"), Token::None);
    EXPECT_EQ(keywordText(Token::Name), nullptr);
}

TEST(TokenReader, KeywordsMatchExactlyAndCaseSensitively) {
    EXPECT_EQ(scan("ENDE End ends plnrmsh"), (Tokens{{Token::Name, "ENDE"},
                                                     {Token::Name, "End"},
                                                     {Token::Name, "ends"},
                                                     {Token::Name, "plnrmsh"}}));
}

TEST(TokenReader, NamesTakeDigitsDotsHyphensAndCarets) {
    EXPECT_EQ(scan("wall-2.left _a^b"),
              (Tokens{{Token::Name, "wall-2.left"}, {Token::Name, "_a^b"}}));
}

// Punctuation

TEST(TokenReader, PunctuationCarriesNoText) {
    EXPECT_EQ(scan("[]():,"), (Tokens{{Token::LeftBracket, ""},
                                      {Token::RightBracket, ""},
                                      {Token::LeftParen, ""},
                                      {Token::RightParen, ""},
                                      {Token::Colon, ""},
                                      {Token::Comma, ""}}));
    EXPECT_EQ(scan("[lamp]"),
              (Tokens{{Token::LeftBracket, ""}, {Token::Name, "lamp"}, {Token::RightBracket, ""}}));
}

TEST(TokenReader, PunctuationTable) {
    const std::pair<char, int> table[] = {{'%', 6}, {'(', 24}, {')', 1}, {'[', 23},
                                          {']', 0}, {',', 5},  {':', 4}, {'"', 29}};
    for (const auto& [character, code] : table) {
        EXPECT_EQ(TokenReader::punctuationCode(static_cast<unsigned char>(character)), code);
        EXPECT_EQ(TokenReader::punctuationChar(code), character);
    }
    EXPECT_EQ(TokenReader::punctuationCode('{'), Token::None);
    EXPECT_EQ(TokenReader::punctuationChar(Token::End), -1);
}

// Comments and skipped characters

TEST(TokenReader, CommentRunsToTheEndOfItsLine) {
    TokenReader reader;
    openOn(reader, "end%comment end \"x\"\nend");
    EXPECT_EQ(reader.code(), Token::End);
    EXPECT_EQ(reader.line(), 0);
    EXPECT_EQ(reader.next(), Token::End);
    EXPECT_EQ(reader.line(), 1);
    EXPECT_EQ(reader.next(), Token::EndOfFile);
}

TEST(TokenReader, CommentAtTheEndOfTheFile) {
    EXPECT_EQ(scan("sky % no line feed"), (Tokens{{Token::Sky, "sky"}}));
}

TEST(TokenReader, CharactersThatStartNoTokenAreDropped) {
    EXPECT_EQ(scan("plygn{3"), (Tokens{{Token::Plygn, "plygn"}, {Token::Number, "3"}}));
    EXPECT_EQ(scan("a;#}b\t\r\n\xe9"
                   "c"),
              (Tokens{{Token::Name, "a"}, {Token::Name, "b"}, {Token::Name, "c"}}));
}

TEST(TokenReader, OnlyALineFeedOrTheEndOfTheFileEndsAComment) {
    // A byte 255 in the text is an ordinary character, not the end of the file.
    EXPECT_EQ(scan("% caf\xff end\nsky \"\xff\""),
              (Tokens{{Token::Sky, "sky"}, {Token::Name, "\xff"}}));
}

// Quoted texts

TEST(TokenReader, QuotedTextIsANameEvenWhenItSpellsAKeyword) {
    EXPECT_EQ(scan("\"end\""), (Tokens{{Token::Name, "end"}}));
    EXPECT_EQ(scan("\"a b\n%c\" x"), (Tokens{{Token::Name, "a b\n%c"}, {Token::Name, "x"}}));
}

TEST(TokenReader, EmptyQuotedTextIsAnEmptyName) {
    EXPECT_EQ(scan("\"\" 1"), (Tokens{{Token::Name, ""}, {Token::Number, "1"}}));
}

TEST(TokenReader, QuotedTextOpenAtTheEndOfTheFileEndsThere) {
    TokenReader reader;
    openOn(reader, "x \"never closed\nend");
    EXPECT_EQ(reader.next(), Token::Name);
    EXPECT_STREQ(reader.text(), "never closed\nend");
    EXPECT_EQ(reader.next(), Token::EndOfFile);
}

// Diagnostics

TEST(TokenReader, ReportNamesTheExpectedAndTheFoundToken) {
    // Open the file by its bare name, as a scene file named on the command line.
    writeTempFile("room.sce", "first\nsecond\n           ] end");
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(tempDirectory().c_str()), 0);
    TokenReader reader;
    reader.open("room.sce");
    ASSERT_EQ(chdir(previous), 0);

    reader.next();
    reader.next();
    ASSERT_EQ(reader.code(), Token::RightBracket);
    std::string report = errorOutput([&] { reader.accept(Token::End); });
    EXPECT_EQ(report,
              "\nERROR : end expected  IN FILE: room.sce IN LINE: 3 LOCATION: 13\n"
              "\t but ] has been encountered\n");
    EXPECT_EQ(reader.code(), Token::RightBracket);  // not consumed
}

TEST(TokenReader, ReportDescribesCodesWithoutText) {
    TokenReader reader;
    openOn(reader, "\"\"");
    const std::string where =
        " IN FILE: " + std::string(reader.fileName().c_str()) + " IN LINE: 1 LOCATION: 3\n";
    auto report = [&](int expected) { return errorOutput([&] { reader.reportError(expected); }); };
    EXPECT_EQ(report(Token::Number),
              "\nERROR : NUMBER expected " + where + "\t but NAME has been encountered\n");
    EXPECT_EQ(report(Token::LeftParen),
              "\nERROR : ( expected " + where + "\t but NAME has been encountered\n");
    EXPECT_EQ(report(Token::Unused),
              "\nERROR :  expected " + where + "\t but NAME has been encountered\n");
}

TEST(TokenReader, ReportShowsTheTextOfTheFoundToken) {
    TokenReader reader;
    openOn(reader, "12.5");
    std::string report = errorOutput([&] { reader.accept(Token::VrtxPstn); });
    EXPECT_NE(report.find("ERROR : vrtxPstn expected  IN FILE: "), std::string::npos);
    EXPECT_NE(report.find(" LOCATION: 5\n\t but 12.5 has been encountered\n"), std::string::npos);
}

TEST(TokenReader, AcceptMovesOnOnlyForTheExpectedCode) {
    TokenReader reader;
    openOn(reader, "cmr sky");
    EXPECT_EQ(errorOutput([&] { reader.accept(Token::Cmr); }), "");
    EXPECT_EQ(reader.code(), Token::Sky);
    EXPECT_NE(errorOutput([&] { reader.accept(Token::End); }), "");
    EXPECT_EQ(reader.code(), Token::Sky);
}

// Overflow of the token text

TEST(TokenReader, OverlongNameKeepsItsFirst2047Characters) {
    TokenReader reader;
    std::string report = errorOutput([&] { openOn(reader, std::string(3000, 'a') + " end"); });
    EXPECT_EQ(reader.code(), Token::Name);
    EXPECT_EQ(std::string(reader.text()), std::string(2047, 'a'));
    std::string expected;
    for (int i = 0; i < 953; ++i) expected += "Token Buffer overflow";
    EXPECT_EQ(report, expected);
    EXPECT_EQ(reader.next(), Token::End);  // the rest of the name is consumed
}

TEST(TokenReader, TokensSpanningBlockBoundaries) {
    // 2046 blanks put "cmr" across the first two blocks and the number across
    // the second and third.
    std::string contents = std::string(2046, ' ') + "cmr" + std::string(2044, ' ') + "123.5";
    TokenReader reader;
    openOn(reader, contents);
    EXPECT_EQ(reader.code(), Token::Cmr);
    EXPECT_EQ(reader.next(), Token::Number);
    EXPECT_STREQ(reader.text(), "123.5");
    EXPECT_EQ(reader.column(), static_cast<int>(contents.size()));
    EXPECT_EQ(reader.next(), Token::EndOfFile);
}

// End of file

TEST(TokenReader, EmptyFileStartsAtTheEnd) {
    TokenReader reader;
    openOn(reader, "");
    EXPECT_EQ(reader.code(), Token::EndOfFile);
    EXPECT_STREQ(reader.text(), "");
}

TEST(TokenReader, EndOfFileStaysAndPassesSilently) {
    TokenReader reader;
    openOn(reader, "  \n");
    std::string report = errorOutput([&] {
        EXPECT_EQ(reader.next(), Token::EndOfFile);
        reader.accept(Token::End);
        EXPECT_EQ(reader.readNumber(), 0.0);
        EXPECT_EQ(reader.readInt(), 0);
        EXPECT_TRUE(reader.readName().empty());
    });
    EXPECT_EQ(report, "");
    EXPECT_EQ(reader.code(), Token::EndOfFile);
}

TEST(TokenReader, CloseAndReopen) {
    TokenReader reader;
    openOn(reader, "cmr", "first.sce");
    reader.close();
    EXPECT_TRUE(reader.fileName().empty());
    openOn(reader, "\n sky", "second.sce");
    EXPECT_EQ(reader.code(), Token::Sky);
    EXPECT_EQ(reader.line(), 1);
    EXPECT_EQ(reader.column(), 4);
}

// Reading values

TEST(TokenReader, ReadNameTakesAnyTokenText) {
    TokenReader reader;
    openOn(reader, "12 end \"a b\" ( x");
    EXPECT_STREQ(reader.readName().c_str(), "12");
    EXPECT_STREQ(reader.readName().c_str(), "end");
    EXPECT_STREQ(reader.readName().c_str(), "a b");
    EXPECT_STREQ(reader.readName().c_str(), "");
    EXPECT_EQ(reader.code(), Token::Name);
}

TEST(TokenReader, ReadNumbersAndIntegers) {
    TokenReader reader;
    openOn(reader, "-12.50 2.9 -2.9 7");
    EXPECT_EQ(reader.readNumber(), -12.5);
    EXPECT_EQ(reader.readInt(), 2);
    EXPECT_EQ(reader.readInt(), -2);
    EXPECT_EQ(reader.readNumber(), 7.0);
    EXPECT_EQ(reader.code(), Token::EndOfFile);
}

TEST(TokenReader, ReadingAWordAsANumberGivesZeroAndAReport) {
    TokenReader reader;
    openOn(reader, "end end");
    std::string report = errorOutput([&] {
        EXPECT_EQ(reader.readNumber(), 0.0);
        EXPECT_EQ(reader.readInt(), 0);
    });
    const std::string one =
        "\nERROR : NUMBER expected  IN FILE: " + std::string(reader.fileName().c_str()) +
        " IN LINE: 1 LOCATION: 4\n\t but end has been encountered\n";
    EXPECT_EQ(report, one + one);
    EXPECT_EQ(reader.code(), Token::End);  // the word stays current
}

TEST(TokenReader, HugeIntegersAreClampedToTheIntRange) {
    TokenReader reader;
    openOn(reader,
           "99999999999999999999999 -99999999999999999999999 2147483648 -2147483649 "
           "2147483647");
    EXPECT_EQ(reader.readInt(), INT_MAX);
    EXPECT_EQ(reader.readInt(), INT_MIN);
    EXPECT_EQ(reader.readInt(), INT_MAX);
    EXPECT_EQ(reader.readInt(), INT_MIN);
    EXPECT_EQ(reader.readInt(), INT_MAX);
}

TEST(TokenReader, LargeFiniteNumbersConvertAsTheCLibraryDoes) {
    TokenReader reader;
    openOn(reader, "1" + std::string(300, '0') + " -1" + std::string(308, '0') + " \"1e-400\"");
    EXPECT_DOUBLE_EQ(reader.readNumber(), 1e300);
    EXPECT_DOUBLE_EQ(reader.readNumber(), -1e308);
    testing::internal::CaptureStderr();
    EXPECT_EQ(reader.readNumber(), 0.0);  // underflow to zero is finite
    testing::internal::GetCapturedStderr();
}

// Numbers that are not finite end the program

namespace {
// What reading the second number of "1 <text>" on line 3 of a file prints.
std::string nonFiniteMessage(const std::string& name, const std::string& shown) {
    return "\nNumber " + shown + " is not a finite value IN FILE: " + name + " IN LINE: 3\n";
}

void readTwoNumbers(const std::string& path) {
    TokenReader reader;
    reader.open(path.c_str());
    reader.readNumber();
    reader.readNumber();
}
}  // namespace

TEST(TokenReaderDeathTest, NumberTooLongForADoubleEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child sees the same temporary files
    std::string digits = "1" + std::string(400, '0');
    std::string path = writeTempFile("infinite.sce", "1\n\n  " + digits + " 2\n");
    EXPECT_EXIT(readTwoNumbers(path), ::testing::ExitedWithCode(255),
                ::testing::Eq(nonFiniteMessage(path, digits.substr(0, 40) + "...")));
}

TEST(TokenReaderDeathTest, NamesThatConvertToInfinityOrNaNEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child sees the same temporary files
    // The value ends the program before the name gets a syntax report.
    for (const std::string text : {"inf", "-infinity", "nan", "NAN", ".5e999", "-.1e400"}) {
        std::string path = writeTempFile("named.sce", "1\n\n" + text + "\n");
        EXPECT_EXIT(readTwoNumbers(path), ::testing::ExitedWithCode(255),
                    ::testing::Eq(nonFiniteMessage(path, text)))
            << text;
    }
}

TEST(TokenReaderDeathTest, NonFiniteTextIsShownUpTo40Characters) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child sees the same temporary files
    std::string forty = "1e999" + std::string(35, ' ');
    std::string path = writeTempFile("quoted.sce", "1\n\n\"" + forty + "\"");
    EXPECT_EXIT(readTwoNumbers(path), ::testing::ExitedWithCode(255),
                ::testing::Eq(nonFiniteMessage(path, forty)));
    path = writeTempFile("quoted.sce", "1\n\n\"" + forty + "x\"");
    EXPECT_EXIT(readTwoNumbers(path), ::testing::ExitedWithCode(255),
                ::testing::Eq(nonFiniteMessage(path, forty + "...")));
}

// Failures to open

using TokenReaderDeathTest = ::testing::Test;

TEST(TokenReaderDeathTest, MissingFileEndsTheProgram) {
    const std::string name = tempDirectory() + "/no-such-file.sce";
    EXPECT_EXIT(
        {
            TokenReader reader;
            reader.open(name.c_str());
        },
        ::testing::ExitedWithCode(255), ::testing::Eq("\nFile " + name + " cannot be opened!\n"));
}

TEST(TokenReaderDeathTest, DirectoryCannotBeOpened) {
    const std::string name = tempDirectory();
    EXPECT_EXIT(
        {
            TokenReader reader;
            reader.open(name.c_str());
        },
        ::testing::ExitedWithCode(255), ::testing::Eq("\nFile " + name + " cannot be opened!\n"));
}

TEST(TokenReaderDeathTest, DeviceCannotBeOpened) {
    // /dev/zero would give NUL bytes, which start no token, without end.
    EXPECT_EXIT(
        {
            TokenReader reader;
            reader.open("/dev/zero");
        },
        ::testing::ExitedWithCode(255), ::testing::Eq("\nFile /dev/zero cannot be opened!\n"));
}

TEST(TokenReader, PipeIsReadToItsEnd) {
    const std::string name = tempDirectory() + "/pipe.sce";
    ASSERT_EQ(mkfifo(name.c_str(), 0600), 0);
    std::thread writer([&name] {
        int fd = ::open(name.c_str(), O_WRONLY);  // waits for the reader
        const char text[] = "cmr 12 end";
        if (fd >= 0) {
            EXPECT_EQ(::write(fd, text, sizeof text - 1), static_cast<ssize_t>(sizeof text - 1));
            ::close(fd);
        }
    });
    TokenReader reader;
    reader.open(name.c_str());
    EXPECT_EQ(reader.code(), Token::Cmr);
    EXPECT_EQ(reader.next(), Token::Number);
    EXPECT_EQ(reader.next(), Token::End);
    EXPECT_EQ(reader.next(), Token::EndOfFile);
    writer.join();
    reader.close();
    ::unlink(name.c_str());
}
