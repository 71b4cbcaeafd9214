// The UTF-16 text rules: the cut that keeps characters whole, the removal of lone halves,
// one-line text and the comparison with letter case ignored.
#include <string>

#include <gtest/gtest.h>

#include "util/Utf16.h"

namespace {

const std::u16string kPair = u"\U0001F600";
const std::u16string kHigh(1, char16_t{0xD83D});
const std::u16string kLow(1, char16_t{0xDE00});

TEST(Utf16, CutNeverSplitsAPair) {
    struct TCase {
        std::u16string text;
        size_t maxUnits;
        std::u16string cut;
    };
    const TCase kCases[] = {
        {u"abc", 5, u"abc"},
        {u"abc", 2, u"ab"},
        {u"a" + kPair, 2, u"a"},
        {u"a" + kPair, 3, u"a" + kPair},
        {kPair + u"b", 2, kPair},
        {kPair, 0, u""},
        {kPair, 1, u""},
        // A lone half at the cut is no pair: it stays, and so does a lone second half.
        {u"a" + kHigh + u"b", 2, u"a" + kHigh},
        {kHigh + kHigh + kLow, 2, kHigh},
        {kLow + kLow, 1, kLow},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - kCases));
        EXPECT_EQ(Utf16::CutWhole(c.text, c.maxUnits), c.cut);
    }
}

TEST(Utf16, WholeCharactersDropsLoneHalves) {
    EXPECT_EQ(Utf16::WholeCharacters(u"a" + kPair + u"b"), u"a" + kPair + u"b");
    EXPECT_EQ(Utf16::WholeCharacters(u"a" + kHigh), u"a");
    EXPECT_EQ(Utf16::WholeCharacters(kLow + u"a" + kLow + kHigh), u"a");
    EXPECT_EQ(Utf16::WholeCharacters(kHigh + kPair + kLow), kPair);
    EXPECT_EQ(Utf16::WholeCharacters(u"\uE000\uD7FF"), u"\uE000\uD7FF");
}

TEST(Utf16, LineBreaksBecomeBlanks) {
    EXPECT_EQ(Utf16::OneLine(u"a\r\nb\nc\rd"), u"a  b c d");
    EXPECT_EQ(Utf16::OneLine(u"plain\t\x0B"), u"plain\t\x0B");
    std::u16string line = u"ch ";
    Utf16::AppendOneLine(line, u"x\ny");
    EXPECT_EQ(line, u"ch x y");
}

TEST(Utf16, LetterCaseIgnored) {
    struct TCase {
        const char16_t* a;
        const char16_t* b;
        bool same;
    };
    const TCase kCases[] = {
        {u"abc", u"abc", true},    {u"abc", u"ABC", true},   {u"ａｂｃ", u"ＡＢＣ", true},
        {u"Äö", u"äÖ", true},      {u"σ", u"Σ", true},       {u"", u"", true},
        {u"abc", u"abd", false},   {u"abc", u"abc ", false}, {u"ａ", u"a", false},
        {u"文字", u"文学", false},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - kCases));
        EXPECT_EQ(Utf16::SameIgnoringCase(c.a, c.b), c.same);
        EXPECT_EQ(Utf16::CaseKey(c.a) == Utf16::CaseKey(c.b), c.same);
    }
}

}  // namespace
