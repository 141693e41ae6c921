// XmlEncode and XmlDecode: the listed forms, and decoding the encoding gives any byte string back.
#include "records/SimpleXML.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

TEST(XmlEncode, EscapesMarkupAndHighBytesOnly) {
    struct Case {
        std::string text;
        std::string encoded;
    };
    const Case cases[] = {
        {"", ""},
        {"plain A1 = 3;", "plain A1 = 3;"},
        {"&<>\"'", "&amp;&lt;&gt;&quot;&apos;"},
        {"\xC4", "&#xC4;"},
        {"\x80\xFF\xD6\xD0", "&#x80;&#xFF;&#xD6;&#xD0;"},
        {std::string("a\0b\x7F\r\n", 6), std::string("a\0b\x7F\r\n", 6)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XmlEncode(c.text), c.encoded) << c.text;
}

TEST(XmlDecode, ListedForms) {
    struct Case {
        std::string text;
        std::string decoded;
    };
    const Case cases[] = {
        {"&#65;", "A"},
        {"&#x41;", "A"},
        {"&#X41;", "A"},
        {"&#xc4;", "\xC4"},
        {"&#321;", "A"}, // the low eight bits of 0x141
        {"&#0;", "&#0;"},
        {"&#x0;", "&#x0;"},
        {"&#-5;", "&#-5;"},
        {"&#;", "&#;"},
        {"&#x;", "&#x;"},
        {"&#12", "&#12"},
        {"&#12 3;", "&#12 3;"},
        {"&#12&#65;", "&#12A"},
        {"&#99999999999999999999999;", "&#99999999999999999999999;"},
        {"&AMP;", "&"},
        {"&Lt;&gT;&aPoS;&QUOT;", "<>'\""},
        {"&amp;lt;", "&lt;"},
        {"&unknown;", "&unknown;"},
        {"a & b", "a & b"},
        {"&", "&"},
        {"&&amp;", "&&"},
        {"&am", "&am"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XmlDecode(c.text), c.decoded) << c.text;
}

TEST(XmlEncodeDecode, EverySingleByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const std::string text(1, static_cast<char>(b));
        EXPECT_EQ(XmlDecode(XmlEncode(text)), text) << b;
    }
}

TEST(XmlEncodeDecode, RandomByteStringsRoundTrip) {
    std::mt19937 random(20260101);
    // Bytes weighted towards the ones that matter: markup, "#", ";", "x" and digits.
    const std::string interesting = "&<>\"'#;xX0123456789aAmMpP";
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(interesting.size()) - 1);
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        const int size = length(random);
        for (int i = 0; i < size; ++i) {
            text += (byte(random) < 128) ? interesting[static_cast<std::size_t>(pick(random))]
                                         : static_cast<char>(byte(random));
        }
        ASSERT_EQ(XmlDecode(XmlEncode(text)), text);
        const std::string encoded = XmlEncode(text);
        for (const char c : encoded)
            ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "encoded text is ASCII";
    }
}

TEST(XmlEncodeDecode, EncodedValueSurvivesTheTreeWhereARawOneDoesNot) {
    const std::string value = "a<b>&\"c\" \xC4";
    TSimpleXML doc;
    doc.Root().SetName("label");
    doc.Root().Value = value;
    TSimpleXML reread;
    EXPECT_THROW(reread.LoadFromText(doc.SaveToText()), ESimpleXMLError);

    doc.Root().Value = XmlEncode(value);
    reread.LoadFromText(doc.SaveToText());
    EXPECT_EQ(XmlDecode(reread.Root().Value), value);
}

} // namespace
