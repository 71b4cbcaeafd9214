// Text and number helpers: number grammars, the general number format, text slicing and files.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "util/MyFunc.h"
#include "util/Platform.h"
#include "util/TextFile.h"

namespace {

std::string Trace(std::u16string_view text) {
    return "\"" + ToUtf8(text) + "\"";
}

TEST(TextToIntTest, Grammar) {
    struct TCase {
        std::u16string_view text;
        int expected;
    };
    static const TCase kCases[] = {
        // Decimal
        {u"42", 42},
        {u"  -7", -7},
        {u"+15", 15},
        {u"007", 7},
        {u"2147483647", 2147483647},
        {u"-2147483648", std::numeric_limits<int>::min()},
        // Hexadecimal, every prefix, either case
        {u"$1F", 31},
        {u"0x1f", 31},
        {u"0X1F", 31},
        {u"x1f", 31},
        {u"X1F", 31},
        {u"-$10", -16},
        {u"$FFFFFFFF", -1},
        {u"$80000000", std::numeric_limits<int>::min()},
        {u"-$80000000", std::numeric_limits<int>::min()},
        {u"$000000001", 1},  // leading zeros are not significant
        // Invalid
        {u"", 0},
        {u"-", 0},
        {u"+", 0},
        {u"$", 0},
        {u"0x", 0},
        {u"-$", 0},
        {u"12 ", 0},
        {u"\t12", 0},
        {u"\u300012", 0},
        {u"1.5", 0},
        {u"1e3", 0},
        {u"--1", 0},
        {u"+-1", 0},
        {u"- 1", 0},
        {u"$-1", 0},
        {u"$1G", 0},
        {u"\uFF11", 0},  // a full-width digit is not a digit
        // Out of range
        {u"2147483648", 0},
        {u"-2147483649", 0},
        {u"99999999999999999999", 0},
        {u"$123456789", 0},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(Trace(c.text));
        EXPECT_EQ(TextToInt(c.text), c.expected);
    }
}

TEST(TextToFloatTest, Grammar) {
    struct TCase {
        std::u16string_view text;
        double expected;
    };
    static const TCase kCases[] = {
        // Valid
        {u"12.5", 12.5},
        {u".5", 0.5},
        {u"-.5", -0.5},
        {u"5.", 5.0},
        {u"-1e3", -1000.0},
        {u"+2E+2", 200.0},
        {u"1e-3", 0.001},
        {u"  3.25", 3.25},
        {u"0.1", 0.1},
        {u"123456789012345678901234567890", 1.2345678901234568e29},
        {u"4.9e-324", 4.9406564584124654e-324},
        // Invalid
        {u"", 0.0},
        {u"-", 0.0},
        {u".", 0.0},
        {u"e5", 0.0},
        {u"1,5", 0.0},
        {u"1e", 0.0},
        {u"1e+", 0.0},
        {u"3.25 ", 0.0},
        {u"\t3.25", 0.0},
        {u"1.2.3", 0.0},
        {u"--1", 0.0},
        {u"0x10", 0.0},
        {u"inf", 0.0},
        {u"nan", 0.0},
        {u"\uFF11", 0.0},
        // Out of the range of a Double
        {u"1e400", 0.0},
        {u"-1e400", 0.0},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(Trace(c.text));
        EXPECT_EQ(TextToFloat(c.text), c.expected);
    }
}

TEST(TextToFloatTest, NonAsciiDigitsNeverSlipThrough) {
    // Units whose low byte is an ASCII digit or sign must not be read as one.
    const std::u16string text = {char16_t(0x0131), char16_t(0x0132)};
    EXPECT_EQ(TextToFloat(text), 0.0);
    EXPECT_EQ(TextToFloat(u"1\u0100"), 0.0);
    EXPECT_EQ(TextToInt(u"1\u0130"), 0);
}

TEST(FloatToTextTest, GeneralFormat) {
    struct TCase {
        double value;
        std::u16string_view expected;
    };
    static const TCase kCases[] = {
        // Fixed notation
        {2.0, u"2"},
        {100.0, u"100"},
        {-0.5, u"-0.5"},
        {0.1, u"0.1"},
        {0.1 + 0.2, u"0.3"},
        {1.0 / 3.0, u"0.333333333333333"},
        {2.0 / 3.0, u"0.666666666666667"},
        {123.456, u"123.456"},
        {-1234.5678, u"-1234.5678"},
        {0.005, u"0.005"},
        // Boundaries of fixed notation
        {0.0001, u"0.0001"},
        {0.00009999999999999999, u"0.0001"},  // cut to 15 digits it is 0.0001
        {0.00001, u"1E-5"},
        {0.000099999999999999, u"9.9999999999999E-5"},
        {999999999999999.0, u"999999999999999"},
        {1e15, u"1E15"},
        {999999999999999.9, u"1E15"},  // the carry moves it out of fixed notation
        {1234567890123456.0, u"1.23456789012346E15"},
        // Scientific notation
        {-2.5e-7, u"-2.5E-7"},
        {1e100, u"1E100"},
        {1.5e-300, u"1.5E-300"},
        {std::numeric_limits<double>::max(), u"1.79769313486232E308"},
        {std::numeric_limits<double>::denorm_min(), u"4.94065645841247E-324"},
        // The 16th digit decides, with a carry through the 9s
        {9.999999999999996, u"10"},
        {9.999999999999995, u"9.99999999999999"},  // the Double lies just below ...995
        {0.1234567890123456, u"0.123456789012346"},
        {0.1234567890123454, u"0.123456789012345"},
        {-99.99999999999999, u"-100"},
        // Zero, special values
        {0.0, u"0"},
        {-0.0, u"0"},
        {std::nan(""), u"NAN"},
        {std::numeric_limits<double>::infinity(), u"INF"},
        {-std::numeric_limits<double>::infinity(), u"-INF"},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << std::setprecision(17) << c.value);
        EXPECT_EQ(FloatToText(c.value), c.expected);
    }
}

TEST(FloatToTextTest, ReadsBackWithinFifteenDigits) {
    // Integers and short decimals survive the round trip exactly.
    static const double kValues[] = {0.0, 1.0, -7.0, 2.5, 1234.567, -0.0025, 1e14 + 1, 1e-3};
    for (double v : kValues) {
        SCOPED_TRACE(v);
        EXPECT_EQ(TextToFloat(FloatToText(v)), v);
    }
}

TEST(FloatToTextTest, UsesTheDecimalSeparator) {
    Platform::SetDecimalSeparator(u',');
    EXPECT_EQ(FloatToText(-12.25), u"-12,25");
    EXPECT_EQ(FloatToText(0.0005), u"0,0005");
    EXPECT_EQ(FloatToText(1.5e20), u"1,5E20");
    EXPECT_EQ(FloatToText(1.0 / 3.0), u"0,333333333333333");  // the long way as well
    EXPECT_EQ(FloatToText(3.0), u"3");
    Platform::SetDecimalSeparator(u'.');
    EXPECT_EQ(FloatToText(-12.25), u"-12.25");
    // Reading never takes the comma.
    EXPECT_EQ(TextToFloat(u"-12,25"), 0.0);
}

TEST(AppendTextTest, AppendsToTheLine) {
    std::u16string line = u"ci ";
    AppendIntText(line, -42);
    line += u' ';
    AppendFloatText(line, 2.5);
    line += u' ';
    AppendIntText(line, std::numeric_limits<int>::min());
    EXPECT_EQ(line, u"ci -42 2.5 -2147483648");
    EXPECT_EQ(IntToText(0), u"0");
    EXPECT_EQ(IntToText(2147483647), u"2147483647");
}

TEST(TextIsTrueTest, ClosedListAfterUpperCasing) {
    struct TCase {
        std::u16string_view text;
        bool expected;
    };
    static const TCase kCases[] = {
        // True
        {u"1", true},
        {u"t", true},
        {u"Tr", true},
        {u"tru", true},
        {u"TRUE", true},
        {u"true", true},
        {u"on", true},
        {u"On", true},
        {u"\uFF11", true},  // full-width one
        {u"\u25CB", true},  // white circle
        {u"\u771F", true},
        {u"\u6B63", true},
        // False
        {u"", false},
        {u" 1", false},
        {u"1 ", false},
        {u"yes", false},
        {u"Y", false},
        {u"2", false},
        {u"0", false},
        {u"TRUEE", false},
        {u"\uFF34\uFF32\uFF35\uFF25", false},  // TRUE in full-width letters
        {u"OFF", false},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(Trace(c.text));
        EXPECT_EQ(TextIsTrue(c.text), c.expected);
    }
    EXPECT_EQ(BoolToText(true), u"1");
    EXPECT_EQ(BoolToText(false), u"0");
}

TEST(UpperTextTest, LocaleCaseMapping) {
    EXPECT_EQ(UpperText(u""), u"");
    EXPECT_EQ(UpperText(u"abc xyz"), u"ABC XYZ");
    EXPECT_EQ(UpperText(u"\uFF41\u00E9"), u"\uFF21\u00C9");  // full-width a, e acute
    EXPECT_EQ(UpperText(u"\u3042\u6F22"), u"\u3042\u6F22");  // no case: unchanged
}

TEST(TextSliceTest, FindFromMid) {
    EXPECT_EQ(FindText(u"cn$", u"cn$abc"), 0);
    EXPECT_EQ(FindText(u"c", u"abcabc"), 2);
    EXPECT_EQ(FindText(u"x", u"abc"), -1);
    EXPECT_EQ(FindText(u"", u"abc"), -1);
    EXPECT_EQ(FindText(u"a", u""), -1);
    EXPECT_EQ(FindText(u"abcd", u"abc"), -1);

    EXPECT_EQ(TextFrom(u"abcdef", 2), u"cdef");
    EXPECT_EQ(TextFrom(u"abc", 3), u"");
    EXPECT_EQ(TextFrom(u"abc", 99), u"");
    EXPECT_EQ(TextFrom(u"abc", -1), u"abc");
    EXPECT_EQ(TextFrom(u"", 0), u"");

    EXPECT_EQ(TextMid(u"abcdef", 2, 3), u"cde");
    EXPECT_EQ(TextMid(u"abc", 1, 10), u"bc");
    EXPECT_EQ(TextMid(u"abc", -1, 2), u"ab");
    EXPECT_EQ(TextMid(u"abc", 3, 1), u"");
    EXPECT_EQ(TextMid(u"abc", 0, -1), u"");
    EXPECT_EQ(TextMid(u"abc", 0, 0), u"");
    EXPECT_EQ(TextMid(u"", 0, 1), u"");
    EXPECT_EQ(TextMid(u"abc", 1, 2147483647), u"bc");

    EXPECT_EQ(TextLen(u""), 0);
    EXPECT_EQ(TextLen(u"a\U0001F600"), 3);  // a surrogate pair counts 2
    EXPECT_EQ(CharAt(u"a\u3042c", 1), u"\u3042");
}

TEST(StripBlanksTest, RemovesBlanksEverywhere) {
    EXPECT_EQ(StripBlanks(u"\u3000a b\tc "), u"abc");
    EXPECT_EQ(StripBlanks(u"\r\n\x01\x1F"), u"");
    EXPECT_EQ(StripBlanks(u""), u"");
    // Only the ideographic space among the wider blanks; DEL and NBSP stay.
    EXPECT_EQ(StripBlanks(u"a\u00A0b\x7F"), u"a\u00A0b\x7F");
}

TEST(CharClassTest, HalfWidthAndSurrogates) {
    struct TCase {
        std::u16string_view text;
        bool half;
    };
    static const TCase kCases[] = {
        // Half-width
        {u"A", true},
        {u" ", true},
        {u"~", true},
        {u"\uFF71", true},  // half-width katakana a
        {u"\uFF61", true},
        {u"\uFF9F", true},
        // Full-width and controls
        {u"\u3042", false},
        {u"\uFF21", false},
        {u"\t", false},
        {u"\x7F", false},
        {u"\uFF60", false},
        {u"\uFFA0", false},
        {u"", false},
        // Longer texts are classed by code-unit order
        {u"AB", true},
        {u"~A", false},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(Trace(c.text));
        EXPECT_EQ(IsHalfWidth(c.text), c.half);
    }
    EXPECT_EQ(SurrogateKind(u"\xD83D"), 1);
    EXPECT_EQ(SurrogateKind(u"\xDBFF"), 1);
    EXPECT_EQ(SurrogateKind(u"\xDE00"), 2);
    EXPECT_EQ(SurrogateKind(u"\xDC00x"), 2);
    EXPECT_EQ(SurrogateKind(u"a"), 0);
    EXPECT_EQ(SurrogateKind(u"\uE000"), 0);
}

TEST(MakeRGBTest, PlainAddition) {
    EXPECT_EQ(MakeRGB(255, 0, 0), 255);
    EXPECT_EQ(MakeRGB(0, 0, 255), 16711680);
    EXPECT_EQ(MakeRGB(0, 256, 0), 65536);
    EXPECT_EQ(MakeRGB(1, 2, 3), 1 + 512 + 196608);
    EXPECT_EQ(MakeRGB(-1, 0, 0), -1);
}

class FileTest : public TestSupport::TTempFolderTest {
protected:
    std::u16string Name(std::u16string_view leaf) const {
        return FromUtf8(dir_.string()) + u"/" + std::u16string(leaf);
    }
    static void Touch(const std::u16string& name) {
        std::ofstream(std::filesystem::path(
            std::u8string(reinterpret_cast<const char8_t*>(ToUtf8(name).c_str()))))
            << "x";
    }
};

TEST_F(FileTest, ExistsAndRemove) {
    const std::u16string file = Name(u"\u6587\u5B57.txt");  // a Japanese name
    EXPECT_FALSE(ExistsFile(file));
    EXPECT_FALSE(RemoveFile(file));
    Touch(file);
    EXPECT_TRUE(ExistsFile(file));
    EXPECT_TRUE(RemoveFile(file));
    EXPECT_FALSE(ExistsFile(file));
    EXPECT_FALSE(RemoveFile(file));
}

TEST_F(FileTest, FoldersAndEmptyNames) {
    EXPECT_FALSE(ExistsFile(u""));
    EXPECT_FALSE(RemoveFile(u""));
    const std::u16string folder = Name(u"sub");
    std::filesystem::create_directory(dir_ / "sub");
    EXPECT_FALSE(ExistsFile(folder));
    EXPECT_FALSE(RemoveFile(folder));
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "sub"));
    EXPECT_FALSE(ExistsFile(Name(u"missing/x.txt")));
    EXPECT_FALSE(RemoveFile(Name(u"missing/x.txt")));
}

TEST(EscapePressedTest, AsksTheInstalledProbe) {
    int calls = 0;
    Platform::SetEscapeProbe([&calls] { return ++calls >= 3; });
    EXPECT_FALSE(EscapePressed());
    EXPECT_FALSE(EscapePressed());
    EXPECT_TRUE(EscapePressed());
    // An empty probe is "never pressed".
    Platform::SetEscapeProbe({});
    EXPECT_FALSE(EscapePressed());
    EXPECT_EQ(calls, 3);
}

}  // namespace
