// A message's English: its wording with each %N replaced by the English of its value, in one
// pass, so that what a value holds is never taken for a place of its own.
#include "files/Message.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

using files::Say;
using files::TMessage;
using files::Value;

struct EnglishCase {
    const char* name;
    TMessage message;
    const char* english;
};

std::ostream& operator<<(std::ostream& os, const EnglishCase& c) {
    return os << c.name;
}

class MessageEnglish : public testing::TestWithParam<EnglishCase> {};

TEST_P(MessageEnglish, FillsTheWordingWithItsValues) {
    EXPECT_EQ(GetParam().message.English(), GetParam().english);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MessageEnglish,
    testing::Values(
        EnglishCase{"fixed", Say("check", "The program has no End."), "The program has no End."},
        EnglishCase{"values_in_order", Say("check", "from %1 to %2"), "from %1 to %2"},
        EnglishCase{"numbers_and_texts", Say("sim", "no line %1 or after it, %2", 70, "x"),
                    "no line 70 or after it, x"},
        EnglishCase{"out_of_order_and_twice", Say("check", "%2 before %1, %2 again", 'A', "B"),
                    "B before A, B again"},
        // A name holding "%1" stays as it is; it is not filled again.
        EnglishCase{"value_holding_a_place", Say("check", "The name %1 holds %2.", "\"%2\"", 7),
                    "The name \"%2\" holds 7."},
        EnglishCase{"nested_phrase",
                    Say("download", "The robot refused %1 %2 times.",
                        Say("download", "chunk %1 of %2", 3, 5), 11),
                    "The robot refused chunk 3 of 5 11 times."},
        // A place without a value, %0 and a lone % at the end are text.
        EnglishCase{"places_without_values", Say("check", "%1 %3 %0 100%", "a"), "a %3 %0 100%"},
        EnglishCase{"negative_and_unsigned",
                    Say("check", "%1..%2", -5, std::size_t{18446744073709551615ull}),
                    "-5..18446744073709551615"},
        EnglishCase{"plain_value_with_places", TMessage{{}, "%1\n%2", {Value("a"), Value("b")}},
                    "a\nb"},
        EnglishCase{"empty", TMessage{}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Message, KeepsItsContextAndValuesApart) {
    const TMessage m = Say("download", "%1 is open.", "ttyUSB0");
    EXPECT_EQ(m.context, "download");
    EXPECT_EQ(m.text, "%1 is open.");
    ASSERT_EQ(m.args.size(), 1u);
    EXPECT_EQ(m.args[0], Value("ttyUSB0"));
    EXPECT_TRUE(m.args[0].context.empty());
    // Equal wordings with other values, or another context, are other messages.
    EXPECT_NE(m, Say("download", "%1 is open.", "ttyUSB1"));
    EXPECT_NE(m, Say("sim", "%1 is open.", "ttyUSB0"));
    EXPECT_TRUE(TMessage{}.empty());
    EXPECT_FALSE(Value("x").empty());
    std::ostringstream out;
    out << m;
    EXPECT_EQ(out.str(), "ttyUSB0 is open.");
}

} // namespace
