#include "platform/Texts.h"

#include <gtest/gtest.h>

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::u16string text;
};

// The Microsoft mapping of code page 932, where it differs from plain JIS, and what becomes of bytes
// that are not text.
const DecodeCase kDecodeCases[] = {
    {"ascii", "A~\\", u"A~\\"},
    {"hiragana", "\x82\xA0", u"\u3042"},
    {"wave_dash_is_fullwidth_tilde", "\x81\x60", u"\uFF5E"},
    {"minus_is_fullwidth_hyphen_minus", "\x81\x7C", u"\uFF0D"},
    {"dash_is_horizontal_bar", "\x81\x5C", u"\u2015"},
    {"cent_is_fullwidth", "\x81\x91", u"\uFFE0"},
    {"nec_circled_one", "\x87\x40", u"\u2460"},
    {"nec_selected_ibm_kanji", "\xED\x40", u"\u7E8A"},
    {"ibm_small_roman_one", "\xFA\x40", u"\u2170"},
    {"halfwidth_katakana", "\xA6", u"\uFF66"},
    {"marks", "\x81\x9B\x81\x7E", u"\u25CB\u00D7"},
    {"lone_lead_byte_at_end", "a\x81", u"a\uFFFD"},
    {"lead_byte_before_blank", "\x82 b", u"\uFFFD b"},
    {"undefined_pair", "\x85\x40z", u"\uFFFDz"},
    {"undefined_single_byte", "\xA0x", u"\uFFFDx"},
    {"line_feed_kept", "\x82\xA0\n\x82\xA2", u"\u3042\n\u3044"},
};

TEST(Cp932, DecodesTheMicrosoftTable) {
    for (const DecodeCase& c : kDecodeCases)
        EXPECT_EQ(FromCp932(c.bytes), QString::fromStdU16String(c.text)) << c.name;
}

TEST(Cp932, EncodesBackToTheSameBytes) {
    for (const DecodeCase& c : kDecodeCases) {
        if (FirstInvalidCp932(c.bytes) == std::string::npos && std::string(c.name).rfind("ibm", 0) != 0 &&
            std::string(c.name).rfind("nec_selected", 0) != 0) {
            EXPECT_EQ(ToCp932(FromCp932(c.bytes)), c.bytes) << c.name;
        }
    }
    EXPECT_EQ(ToCp932(QStringLiteral("第%1問").arg(3)), "\x91\xE6" "3\x96\xE2");
    EXPECT_EQ(ToCp932(QString::fromUtf8("\xF0\x9F\x98\x80!")), "?!") << "a character outside the code page";
}

TEST(Cp932, FindsTheFirstInvalidByte) {
    EXPECT_EQ(FirstInvalidCp932("\x82\xA0\x87\x40 ok"), std::string::npos);
    EXPECT_EQ(FirstInvalidCp932("ab\x85\x40"), 2u);
    EXPECT_EQ(FirstInvalidCp932("\x82\xA0\x81"), 2u);
    // UTF-8 of "あ" is not valid code page 932 at its second byte pair.
    EXPECT_NE(FirstInvalidCp932("\xE3\x81\x82"), std::string::npos);
}

TEST(Cp932, LowerCasesAsciiOnlyAndKeepsDoubleByteCharacters) {
    // 0x83 0x41 is katakana "ア": its trail byte is "A" and must stay.
    EXPECT_EQ(Cp932Lower("Kanji\x83\x41.KWZ"), "kanji\x83\x41.kwz");
    EXPECT_EQ(Cp932Lower("\x82\x60Z"), "\x82\x60z");
}

} // namespace
