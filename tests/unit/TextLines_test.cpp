// TTextLineReader: lines read through a small buffer are the lines of the whole file, decoded
// the same way, and a line is cut where its reader asks, never inside a character.
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "util/TextFile.h"
#include "util/TextLines.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::u16string>;

class TextLines : public TestSupport::TTempFolderTest {
protected:
    std::u16string Write(const std::string& bytes) const {
        TestSupport::WriteAll(dir_ / "lines.txt", bytes);
        return folder_.File("lines.txt");
    }

    static Lines Whole(const std::string& bytes) {
        return TestSupport::SplitLines(DecodeTextBytes(bytes).text);
    }

    Lines Read(const std::string& bytes, size_t maxUnits) const {
        TTextLineReader reader(Write(bytes));
        EXPECT_TRUE(reader.Ok());
        Lines lines;
        std::u16string line;
        while (reader.Next(maxUnits, line)) {
            lines.push_back(line);
        }
        return lines;
    }
};

std::string Encode(std::u16string_view text, const std::string& mark) {
    if (mark == "\xEF\xBB\xBF") {
        return mark + ToUtf8(text);
    }
    return TestSupport::Utf16Bytes(text, mark == "\xFE\xFF");
}

// Lines of every length round the buffer's 64 KB, with every kind of line break, so that
// breaks, CR LF pairs and characters fall on the buffer's edges.
std::u16string ManyLines() {
    std::mt19937 rng(407);
    const std::u16string pieces[] = {u"a", u"図", u"\U0001F600", u" "};
    const std::u16string breaks[] = {u"\r\n", u"\n", u"\r", u"\r\r\n"};
    std::u16string text;
    for (int i = 0; i < 60; ++i) {
        const size_t units = i % 3 == 0 ? rng() % 70000 : rng() % 40;
        for (size_t k = 0; k < units; ++k) {
            text += pieces[rng() % std::size(pieces)];
        }
        text += breaks[rng() % std::size(breaks)];
    }
    return text + u"last line without a break";
}

TEST_F(TextLines, SameLinesAsTheWholeFileInEveryEncoding) {
    const std::u16string text = ManyLines();
    for (const std::string mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        SCOPED_TRACE(testing::PrintToString(mark));
        const std::string bytes = Encode(text, mark);
        EXPECT_EQ(Read(bytes, size_t{1} << 30), Whole(bytes));
    }
    // The legacy code page, and a UTF-16 file that ends in an odd byte.
    const std::string ansi = "abc\r\n\x82\xA0\x82\xA2\r\n\r\nend";
    EXPECT_EQ(Read(ansi, 100), Whole(ansi));
    const std::string odd = Encode(u"ab\r\ncd", "\xFF\xFE") + "x";
    EXPECT_EQ(Read(odd, 100), Whole(odd));
}

TEST_F(TextLines, LinesAreCutWhereAskedAndNeverInsideACharacter) {
    const std::u16string text = ManyLines();
    for (const std::string mark : {"\xEF\xBB\xBF", "\xFE\xFF"}) {
        const std::string bytes = Encode(text, mark);
        Lines expected = Whole(bytes);
        for (std::u16string& line : expected) {
            if (line.size() > 5) {
                line.resize(line[4] >= 0xD800 && line[4] <= 0xDBFF ? 4 : 5);
            }
        }
        EXPECT_EQ(Read(bytes, 5), expected);
    }
    // A lone first half at the cut is no pair: it stays, as CutText keeps it.
    const std::u16string lone{u'a', u'b', char16_t{0xD800}, u'c'};
    EXPECT_EQ(Read(TestSupport::Utf16Bytes(lone, false), 3), (Lines{lone.substr(0, 3)}));
    EXPECT_EQ(Read(TestSupport::Utf16Bytes(u"ab\U0001F600", false), 3), (Lines{u"ab"}));
    // Nothing is kept of a line that is skipped, but it still counts as a line.
    EXPECT_EQ(Read("\xEF\xBB\xBF"
                   "one\r\ntwo\r\n",
                   0),
              (Lines{u"", u""}));
}

TEST_F(TextLines, WhatCannotBeRead) {
    EXPECT_FALSE(TTextLineReader(u"").Ok());
    EXPECT_FALSE(TTextLineReader((dir_ / "none.txt").u16string()).Ok());
    EXPECT_FALSE(TTextLineReader(dir_.u16string()).Ok());
    TTextLineReader empty(Write(""));
    std::u16string line;
    EXPECT_TRUE(empty.Ok());
    EXPECT_FALSE(empty.Next(10, line));
}

}  // namespace
