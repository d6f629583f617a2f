// What the dialog's number fields accept.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/int_parse.h"

TEST(ParseDialogInt, AcceptedAndRefused) {
  const std::string padded = "7" + std::string(30, ' ') + "junk after the field";
  const std::string cut = std::string(30, ' ') + "42";  // only the 4 lies in the first 31 characters
  const struct {
    std::string text;
    int value;
  } accepted[] = {{"90", 90}, {"-5", -5}, {" 12 ", 12}, {"\t12\t", 12}, {"+7", 7}, {"-0", 0}, {"007", 7},
                  {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {padded, 7}, {cut, 4}};
  for (const auto& c : accepted) {
    int value = 12345;
    EXPECT_TRUE(ParseDialogInt(c.text.c_str(), &value)) << '"' << c.text << '"';
    EXPECT_EQ(c.value, value) << '"' << c.text << '"';
  }
  const std::vector<std::string> refused = {"",    "   ", "12a",        "a12",         "- 5",
                                            "+",   "-",   "1 2",        "1.5",         "0x10",
                                            "\n12", "12\n", "2147483648", "-2147483649", std::string(40, '1')};
  for (const std::string& text : refused) {
    int value = 12345;
    EXPECT_FALSE(ParseDialogInt(text.c_str(), &value)) << '"' << text << '"';
    EXPECT_EQ(12345, value) << "a refusal leaves the value: \"" << text << '"';
  }
}
