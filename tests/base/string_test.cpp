#include "base/string.h"

#include <gtest/gtest.h>

#include <string>

TEST(String, EmptyByDefaultAndFromNull) {
    String empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.length(), 0);
    EXPECT_STREQ(empty.c_str(), "");
    EXPECT_STREQ(String(nullptr).c_str(), "");
}

TEST(String, CopiesItsText) {
    char text[] = "lamp";
    String name(text);
    text[0] = 'd';
    EXPECT_STREQ(name.c_str(), "lamp");
    const std::string longText(300, 'x');
    String copy = String(longText.c_str());
    EXPECT_EQ(copy.length(), 300);
    EXPECT_EQ(std::string(copy.c_str()), longText);
}

TEST(String, CopyAndSelfAssignment) {
    String a("a name longer than the thirty-one characters of a short text");
    String b = a;
    EXPECT_EQ(a, b);
    b.append("!");
    EXPECT_NE(a, b);  // the copy is independent
    String& same = a;
    a = same;
    EXPECT_STREQ(a.c_str(), "a name longer than the thirty-one characters of a short text");
}

TEST(String, CompareIsBytewiseAndCaseSensitive) {
    EXPECT_EQ(String("snow").compare("snow"), 0);
    EXPECT_EQ(String("Snow").compare("snow"), -1);
    EXPECT_EQ(String("snow").compare("Snow"), 1);
    EXPECT_EQ(String("sno").compare("snow"), -1);  // a prefix sorts first
    EXPECT_EQ(String("snow").compare("sno"), 1);
    EXPECT_EQ(String("").compare(""), 0);
    // Bytes above 127 compare as unsigned: after every ASCII letter.
    EXPECT_EQ(String("\xe9").compare("z"), 1);
    EXPECT_EQ(String("z").compare("\xe9"), -1);
}

TEST(String, AppendJoinsTextWithoutLimit) {
    String name("room");
    name.append(".sce");
    EXPECT_STREQ(name.c_str(), "room.sce");
    EXPECT_EQ(name.length(), 8);
    name.append(nullptr);
    EXPECT_STREQ(name.c_str(), "room.sce");
    String big;
    for (int i = 0; i < 100; ++i) big.append("0123456789");
    EXPECT_EQ(big.length(), 1000);  // joined texts have no length limit
}

TEST(String, ContainsDot) {
    EXPECT_FALSE(String("room").containsDot());
    EXPECT_TRUE(String("room.sce").containsDot());
    EXPECT_TRUE(String("./room").containsDot());
    EXPECT_FALSE(String().containsDot());
}
