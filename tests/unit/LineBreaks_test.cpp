// Where lines end: over a whole text, over its bytes, and over a text that comes in parts,
// whose every cut must give the lines of the whole.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "util/LineBreaks.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::u16string>;

struct TCase {
    const char* name;
    std::u16string text;
    Lines lines;
};

const TCase kCases[] = {
    {"crlf", u"a\r\nb\r\n", {u"a", u"b"}},
    {"lf", u"a\nb\n", {u"a", u"b"}},
    {"cr", u"a\rb\r", {u"a", u"b"}},
    {"no break at end", u"a\r\nb", {u"a", u"b"}},
    {"mixed", u"a\rb\nc\r\nd", {u"a", u"b", u"c", u"d"}},
    {"empty lines kept", u"\r\n\n\r\r\nx", {u"", u"", u"", u"", u"x"}},
    {"lf cr is two breaks", u"a\n\rb", {u"a", u"", u"b"}},
    {"cr cr lf", u"a\r\r\nb", {u"a", u"", u"b"}},
    {"one break", u"\r\n", {u""}},
    {"empty", u"", {}},
    {"nul and other controls inside", u"a\0b\x0B\x0C\x0D\x0E"s, {u"a\0b\x0B\x0C"s, u"\x0E"}},
    {"long lines",
     u"0123456789abcdefghij\r\n0123456789\n\r",
     {u"0123456789abcdefghij", u"0123456789", u""}},
};

std::string Bytes(std::u16string_view text) {
    std::string bytes;
    for (const char16_t c : text) {
        bytes += static_cast<char>(c);
    }
    return bytes;
}

template <class Unit>
std::u16string Wide(std::basic_string_view<Unit> text) {
    return std::u16string(text.begin(), text.end());
}

// The lines of text handed over in parts of partSize units (the last one shorter), a line
// cut off by a part's end joined with its continuation.
template <class Unit>
Lines LinesInParts(std::basic_string_view<Unit> text, size_t partSize) {
    LineBreaks::TLineSplitter<Unit> splitter;
    Lines lines;
    std::u16string open;
    bool pending = false;
    for (size_t at = 0; at < text.size(); at += partSize) {
        splitter.Feed(text.substr(at, partSize));
        std::basic_string_view<Unit> line;
        bool ended = false;
        while (splitter.Next(line, ended)) {
            open += Wide(line);
            pending = !ended;
            if (ended) {
                lines.push_back(open);
                open.clear();
            }
        }
    }
    if (pending) {
        lines.push_back(open);
    }
    return lines;
}

TEST(LineBreaks, WholeTextUnitsAndBytes) {
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.name);
        Lines units;
        LineBreaks::ForEachLine(c.text, [&units](std::u16string_view l) { units.emplace_back(l); });
        EXPECT_EQ(units, c.lines);
        const std::string bytes = Bytes(c.text);
        Lines fromBytes;
        LineBreaks::ForEachLine(std::string_view(bytes),
                                [&fromBytes](std::string_view l) { fromBytes.push_back(Wide(l)); });
        EXPECT_EQ(fromBytes, c.lines);
    }
}

// Every part size, from one unit on, so that each cut falls between a CR and its LF once.
TEST(LineBreaks, AnyCutIntoPartsGivesTheSameLines) {
    for (const TCase& c : kCases) {
        const std::string bytes = Bytes(c.text);
        for (size_t size = 1; size <= c.text.size(); ++size) {
            SCOPED_TRACE(testing::Message() << c.name << ", parts of " << size);
            EXPECT_EQ(LinesInParts(std::u16string_view(c.text), size), c.lines);
            EXPECT_EQ(LinesInParts(std::string_view(bytes), size), c.lines);
        }
    }
}

// Runs of whole lines end just after a line break, never between CR and LF, and hold the
// lines that end within the limit asked for, or all of them when none does.
TEST(LineBreaks, RunsOfWholeLines) {
    for (const TCase& c : kCases) {
        for (size_t about = 1; about <= c.text.size() + 1; ++about) {
            SCOPED_TRACE(testing::Message() << c.name << ", runs of about " << about);
            LineBreaks::TLineSplitter<char16_t> splitter;
            splitter.Feed(c.text);
            std::u16string joined;
            std::u16string_view run;
            while (splitter.NextLines(run, about)) {
                ASSERT_FALSE(run.empty());
                EXPECT_TRUE(run.back() == u'\n' || run.back() == u'\r');
                if (run.back() == u'\r') {
                    const size_t end = joined.size() + run.size();
                    EXPECT_FALSE(end < c.text.size() && c.text[end] == u'\n');
                }
                const size_t firstBreak = run.find_first_of(u"\r\n");
                EXPECT_TRUE(run.size() <= about + 1 || firstBreak >= about)
                    << "a run longer than asked where a line ends within the limit";
                joined += run;
            }
            // What is left is the last line, without a break.
            std::u16string_view rest;
            bool ended = true;
            if (splitter.Next(rest, ended)) {
                EXPECT_FALSE(ended);
                joined += rest;
            }
            EXPECT_EQ(joined, c.text);
        }
    }
}

TEST(LineBreaks, FindLineBreakSkipsEveryOtherUnit) {
    // Each unit below U+000E and a few around the tested lanes, at every position of a word.
    for (char16_t c = 0; c < 0x80; ++c) {
        if (c == u'\r' || c == u'\n') {
            continue;
        }
        for (size_t at = 0; at < 9; ++at) {
            std::u16string text(12, c);
            text[at] = u'x';
            EXPECT_EQ(LineBreaks::FindLineBreak(text.data(), 0, text.size()), text.size());
            text[at] = (at % 2 != 0) ? u'\n' : u'\r';
            EXPECT_EQ(LineBreaks::FindLineBreak(text.data(), 0, text.size()), at);
            const std::string bytes = Bytes(text);
            EXPECT_EQ(LineBreaks::FindLineBreak(bytes.data(), 0, bytes.size()), at);
        }
    }
}

}  // namespace
