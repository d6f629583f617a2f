// What the dialog's number fields accept.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "config/int_parse.h"

namespace {

TEST(ParseDialogInt, Accepted) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"90", 90},
      {"-5", -5},
      {" 12 ", 12},
      {"\t12\t", 12},
      {"+7", 7},
      {"0", 0},
      {"-0", 0},
      {"007", 7},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
  };
  for (const Case& c : cases) {
    int value = 12345;
    EXPECT_TRUE(ParseDialogInt(c.text, &value)) << '"' << c.text << '"';
    EXPECT_EQ(c.value, value) << '"' << c.text << '"';
  }
}

TEST(ParseDialogInt, RefusedLeavesValue) {
  for (const char* text : {"", "   ", "12a", "a12", "- 5", "+", "-", "1 2", "1.5", "0x10", "2147483648",
                           "-2147483649", "99999999999999999999", "\n12", "12\n"}) {
    int value = 12345;
    EXPECT_FALSE(ParseDialogInt(text, &value)) << '"' << text << '"';
    EXPECT_EQ(12345, value) << '"' << text << '"';
  }
}

TEST(ParseDialogInt, LooksAtTheFirst31CharactersOnly) {
  int value = 0;
  EXPECT_FALSE(ParseDialogInt(std::string(40, '1').c_str(), &value)) << "40 digits overflow";
  std::string padded = "7" + std::string(30, ' ') + "junk after the field";
  EXPECT_TRUE(ParseDialogInt(padded.c_str(), &value));
  EXPECT_EQ(7, value);
  std::string digits = std::string(30, ' ') + "42";  // the 2 lies beyond
  EXPECT_TRUE(ParseDialogInt(digits.c_str(), &value));
  EXPECT_EQ(4, value);
}

}  // namespace
