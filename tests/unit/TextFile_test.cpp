// Text files: encodings byte for byte, line splitting, and replacing a file safely.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "util/Platform.h"
#include "util/TextFile.h"

namespace {

using namespace std::string_literals;

using TestSupport::SplitLines;

TEST(DecodeTextBytesTest, ByteOrderMarks) {
    struct TCase {
        const char* name;
        std::string bytes;
        TTextEncoding encoding;
        std::u16string text;
    };
    const TCase kCases[] = {
        {"utf8", "\xEF\xBB\xBFhq\xE6\x96\x87\r\n"s, TTextEncoding::Utf8, u"hq\u6587\r\n"},
        {"utf8 pair", "\xEF\xBB\xBF\xF0\x9F\x98\x80"s, TTextEncoding::Utf8, u"\U0001F600"},
        {"utf8 mark only", "\xEF\xBB\xBF"s, TTextEncoding::Utf8, u""},
        {"utf16le", "\xFF\xFEh\0\x87\x65\r\0\n\0"s, TTextEncoding::Utf16LE, u"h\u6587\r\n"},
        {"utf16be", "\xFE\xFF\0h\x65\x87\0\n"s, TTextEncoding::Utf16BE, u"h\u6587\n"},
        {"utf16le pair", "\xFF\xFE\x3D\xD8\x00\xDE"s, TTextEncoding::Utf16LE, u"\U0001F600"},
        {"utf16le odd byte",
         "\xFF\xFE"
         "a\0b"s,
         TTextEncoding::Utf16LE, u"a\uFFFD"},
        {"utf16be odd byte", "\xFE\xFF\0a\0"s, TTextEncoding::Utf16BE, u"a\uFFFD"},
        {"utf16 lone surrogate kept", "\xFF\xFE\x3D\xD8x\0"s, TTextEncoding::Utf16LE, u"\xD83Dx"},
        // No mark: the code page (CP932), ASCII and double-byte characters.
        {"cp932", "hq \x95\xB6\x8E\x9A \xB1"s, TTextEncoding::Ansi, u"hq \u6587\u5B57 \uFF71"},
        {"cp932 windows", "\x81\x60\x81\x61\x87\x40\x87\x8A"s, TTextEncoding::Ansi,
         u"\uFF5E\u2225\u2460\u3231"},
        {"cp932 backslash", "C:\\a~"s, TTextEncoding::Ansi, u"C:\\a~"},
        {"cp932 broken", "a\x81"s, TTextEncoding::Ansi, u"a\uFFFD"},
        {"cp932 unassigned",
         "\x85\x40"
         "b"s,
         TTextEncoding::Ansi, u"\uFFFDb"},
        {"utf8 without mark is cp932", "\xE6\x96\x87"s, TTextEncoding::Ansi, u"\u8B41\uFFFD"},
        // A partial mark is no mark.
        {"half mark",
         "\xEF\xBB"
         "a"s,
         TTextEncoding::Ansi, u"\uFFFDa"},
        {"empty", ""s, TTextEncoding::Ansi, u""},
        // NUL bytes are kept.
        {"nul utf8",
         "\xEF\xBB\xBF"
         "a\0b"s,
         TTextEncoding::Utf8, u"a\0b"s},
        {"nul cp932", "a\0b"s, TTextEncoding::Ansi, u"a\0b"s},
        // No mark, but the NUL bytes of UTF-16 beside ASCII characters.
        {"utf16le no mark", "h\0q\0\r\0\n\0"s, TTextEncoding::Utf16LE, u"hq\r\n"},
        {"utf16be no mark", "\0h\0q\0\r\0\n"s, TTextEncoding::Utf16BE, u"hq\r\n"},
        {"utf16le no mark, mostly kanji and full-width spaces",
         "h\0p\0\x87\x65\x57\x5B\x00\x30\x87\x65\x57\x5B\x00\x30\r\0\n\0"s,
         TTextEncoding::Utf16LE, u"hp\u6587\u5B57\u3000\u6587\u5B57\u3000\r\n"},
        {"utf16le no mark, odd last byte", "h\0q\0\r\0\n\0x"s, TTextEncoding::Utf16LE,
         u"hq\r\n\uFFFD"},
        // Too few such characters, or NUL bytes out of pattern: the code page.
        {"three units", "h\0q\0\n\0"s, TTextEncoding::Ansi, u"h\0q\0\n\0"s},
        {"stray nul bytes", "lc\0 2\r\n\0\0\0\r\nch 0 0 1 0 \"a\0b\r\n\0ci 0 0 5\r\n"s,
         TTextEncoding::Ansi, u"lc\0 2\r\n\0\0\0\r\nch 0 0 1 0 \"a\0b\r\n\0ci 0 0 5\r\n"s},
        {"both orders alike", "a\0\0ba\0\0ba\0\0ba\0\0b"s, TTextEncoding::Ansi,
         u"a\0\0ba\0\0ba\0\0ba\0\0b"s},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const TDecodedText decoded = DecodeTextBytes(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.text, c.text);
    }
}

TEST(Utf8Test, InvalidSequencesByMaximalSubpart) {
    struct TCase {
        const char* name;
        std::string bytes;
        std::u16string text;
    };
    const TCase kCases[] = {
        {"lone continuation", "a\x80z", u"a\uFFFDz"},
        {"two continuations", "\x80\xBF", u"\uFFFD\uFFFD"},
        {"overlong two bytes", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three bytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"overlong four bytes", "\xF0\x80\x80\xAF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"F5 lead", "\xF5\x80", u"\uFFFD\uFFFD"},
        {"truncated three", "\xE6\x96z", u"\uFFFDz"},
        {"truncated four at end", "a\xF0\x9F\x98", u"a\uFFFD"},
        {"lead then lead", "\xE6\xE6\x96\x87", u"\uFFFD\u6587"},
        // Valid boundaries
        {"U+0080", "\xC2\x80", u"\u0080"},
        {"U+07FF", "\xDF\xBF", u"\u07FF"},
        {"U+D7FF", "\xED\x9F\xBF", u"\uD7FF"},
        {"U+E000", "\xEE\x80\x80", u"\uE000"},
        {"U+FFFF", "\xEF\xBF\xBF", u"\uFFFF"},
        {"U+10000", "\xF0\x90\x80\x80", u"\U00010000"},
        {"U+10FFFF", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        // The ASCII fast path hands over in the middle of a block
        {"ascii then multibyte", "abcdefg\xE6\x96\x87hijklmnop", u"abcdefg\u6587hijklmnop"},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FromUtf8(c.bytes), c.text);
    }
}

TEST(Utf8Test, EncodesAndRoundTrips) {
    EXPECT_EQ(ToUtf8(u"a\u00E9\u6587\U0001F600"), "a\xC3\xA9\xE6\x96\x87\xF0\x9F\x98\x80");
    EXPECT_EQ(ToUtf8(u"abcdefg\u00E9hijklm\u6587"), "abcdefg\xC3\xA9hijklm\xE6\x96\x87");
    // Lone surrogates become U+FFFD; a low before a high is two lone ones.
    EXPECT_EQ(ToUtf8(u"\xD83D"), "\xEF\xBF\xBD");
    EXPECT_EQ(ToUtf8(u"\xDE00\xD83Dx"), "\xEF\xBF\xBD\xEF\xBF\xBDx");
    std::string out = "ab";
    AppendUtf8(out, u"\u3042");
    EXPECT_EQ(out, "ab\xE3\x81\x82");

    std::u16string all;
    for (char32_t cp = 1; cp < 0x110000; cp += 97) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        if (cp < 0x10000) {
            all += static_cast<char16_t>(cp);
        } else {
            all += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            all += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    EXPECT_EQ(FromUtf8(ToUtf8(all)), all);
}

TEST(AnsiTest, EncodesTheWindowsCodePage) {
    struct TCase {
        std::u16string text;
        std::string bytes;
    };
    const TCase kCases[] = {
        {u"hq", "hq"},
        {u"\u6587\u5B57", "\x95\xB6\x8E\x9A"},
        {u"\uFF5E\u2225\uFF3C", "\x81\x60\x81\x61\x81\x5F"},  // Windows, not JIS, mappings
        {u"\u2460\u3231\u2160", "\x87\x40\x87\x8A\x87\x54"},  // NEC specials
        {u"\uFF71\uFF9F", "\xB1\xDF"},                        // half-width katakana
        {u"C:\\~", "C:\\~"},
        // Characters the code page lacks become its default character.
        {u"a\U0001F600b", "a?b"},
        {u"\u00E9\u4E02", "??"},
        {u"", ""},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(ToUtf8(c.text));
        EXPECT_EQ(Platform::EncodeAnsi(c.text), c.bytes);
    }
    // Everything the code page holds comes back unchanged.
    const std::u16string text = u"hq \u6587\u5B57\uFF5E\u2225\u2460\u3231\uFF71\r\n";
    EXPECT_EQ(Platform::DecodeAnsi(Platform::EncodeAnsi(text)), text);
}

TEST(DecodeTextBytesTest, LongLine) {
    // A line of ten megabytes with a multi-byte character at each end.
    std::string bytes = "\xEF\xBB\xBF\xE6\x96\x87";
    bytes.append(10u << 20, 'x');
    bytes += "\xE6\x96\x87\r\nz";
    const TDecodedText decoded = DecodeTextBytes(bytes);
    const std::vector<std::u16string> lines = SplitLines(decoded.text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), (10u << 20) + 2);
    EXPECT_EQ(lines[0].front(), u'\u6587');
    EXPECT_EQ(lines[0].back(), u'\u6587');
    EXPECT_EQ(lines[0].find_first_not_of(u'x', 1), lines[0].size() - 1);
    EXPECT_EQ(lines[1], u"z");
}

class FileTest : public TestSupport::TTempFolderTest {
protected:
    std::u16string Name(std::u16string_view leaf) const {
        return FromUtf8(dir_.string()) + u"/" + std::u16string(leaf);
    }
    // Names of everything left in the folder, to see that no temporary file stays behind.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir_)) {
            names.push_back(e.path().lexically_relative(dir_).generic_string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FileTest, WriteThenReadBack) {
    const std::u16string file = Name(u"ZIV_TEMP.TXT");
    const std::string bytes = "\xEF\xBB\xBFhq\r\n\0\xFF"s;
    ASSERT_TRUE(WriteFileReplacing(file, bytes));
    std::string read;
    ASSERT_TRUE(ReadFileBytes(file, read));
    EXPECT_EQ(read, bytes);

    // Replacing a longer file leaves nothing of the old content.
    ASSERT_TRUE(WriteFileReplacing(file, "ab"));
    ASSERT_TRUE(ReadFileBytes(file, read));
    EXPECT_EQ(read, "ab");
    ASSERT_TRUE(WriteFileReplacing(file, ""));
    ASSERT_TRUE(ReadFileBytes(file, read));
    EXPECT_EQ(read, "");
    EXPECT_EQ(Entries(), std::vector<std::string>{"ZIV_TEMP.TXT"});
}

TEST_F(FileTest, JapaneseNameAndLargeFile) {
    const std::u16string file = Name(u"\u6587\u5B57.dat");
    std::string bytes(3u << 20, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 + (i >> 12));
    }
    ASSERT_TRUE(WriteFileReplacing(file, bytes));
    std::string read = "stale";
    ASSERT_TRUE(ReadFileBytes(file, read));
    EXPECT_TRUE(read == bytes);
    EXPECT_TRUE(std::filesystem::exists(dir_ / std::u8string(u8"\u6587\u5B57.dat")));
}

TEST_F(FileTest, ReadFailures) {
    std::string read = "stale";
    EXPECT_FALSE(ReadFileBytes(Name(u"missing.txt"), read));
    EXPECT_EQ(read, "");
    EXPECT_FALSE(ReadFileBytes(FromUtf8(dir_.string()), read));
    EXPECT_FALSE(ReadFileBytes(u"", read));
}

TEST_F(FileTest, FailedWritesLeaveNothingBehind) {
    // A missing folder.
    EXPECT_FALSE(WriteFileReplacing(Name(u"missing/ZIV_TEMP.TXT"), "hq\r\n"));
    // A folder in the file's place, empty or not.
    std::filesystem::create_directory(dir_ / "ZIV_TEMP.TXT");
    EXPECT_FALSE(WriteFileReplacing(Name(u"ZIV_TEMP.TXT"), "hq\r\n"));
    std::filesystem::create_directories(dir_ / "full" / "inner");
    EXPECT_FALSE(WriteFileReplacing(Name(u"full"), "hq\r\n"));
    // A file in the folder's place.
    ASSERT_TRUE(WriteFileReplacing(Name(u"plain"), "old"));
    EXPECT_FALSE(WriteFileReplacing(Name(u"plain/ZIV_TEMP.TXT"), "hq\r\n"));
    EXPECT_FALSE(WriteFileReplacing(u"", "hq\r\n"));

    EXPECT_EQ(Entries(), (std::vector<std::string>{"ZIV_TEMP.TXT", "full", "full/inner", "plain"}));
    std::string read;
    ASSERT_TRUE(ReadFileBytes(Name(u"plain"), read));
    EXPECT_EQ(read, "old");
}

TEST_F(FileTest, ReadOnlyFolderKeepsTheTarget) {
    const std::u16string file = Name(u"ro/ZIV_TEMP.TXT");
    std::filesystem::create_directory(dir_ / "ro");
    ASSERT_TRUE(WriteFileReplacing(file, "host"));
    std::filesystem::permissions(
        dir_ / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    // Root may write anyway; then the write must simply have succeeded.
    const bool written = WriteFileReplacing(file, "new");
    std::filesystem::permissions(dir_ / "ro", std::filesystem::perms::owner_all);
    std::string read;
    ASSERT_TRUE(ReadFileBytes(file, read));
    EXPECT_EQ(read, written ? "new" : "host");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"ro", "ro/ZIV_TEMP.TXT"}));
}

}  // namespace
