// A NUL inside a text reaches the host as a blank, as a line break does, through every writer
// of texts: the text and dimension commands, the comment and the font, the write-back of
// stored texts and dimensions, and ziv's write from JSON.
#include <algorithm>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "util/TextFile.h"
#include "ziv/ZivModelJson.h"

namespace {

using namespace std::string_literals;

// The command buffer as one text, lines ended by LF.
std::u16string Buffer(const TJGdata& jg) {
    std::u16string all;
    for (int i = 0; i < jg.t_MemN; ++i) {
        all += jg.t_Mem[static_cast<size_t>(i)] + u"\n";
    }
    return all;
}

TEST(TextNul, EveryTextWriterWritesABlank) {
    const std::u16string nul = u"a\0b"s;
    struct TCase {
        const char* name;
        std::function<void(TJGdata&)> send;
        std::u16string expected;
    };
    const TCase cases[] = {
        {"text", [&](TJGdata& j) { j.S_Text(0, 1, 2, 10, 0, nul); }, u"ch 1 2 10 0 \"a b\n"},
        {"text of NULs alone", [](TJGdata& j) { j.S_Text(0, 1, 2, 10, 0, u"\0\0"s); }, u""},
        {"dimension", [&](TJGdata& j) { j.S_Dim(0, 0, 5, 0, 1, 1, 10, 0, nul); },
         u"msg\n0 0 5 0\ncs 1 1 10 0 \"a b\n"},
        {"comment", [&](TJGdata& j) { j.S_Comment(nul); }, u"h#a b\n"},
        // The font is remembered as written: the same name with a blank sends nothing more.
        {"font",
         [&](TJGdata& j) {
             j.S_Font(nul);
             j.S_Font(u"a b");
         },
         u"cn\"$a b\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TJGdata jg;
        jg.S_Init();
        c.send(jg);
        const std::u16string all = Buffer(jg);
        EXPECT_EQ(all, c.expected);
    }
}

// The stored texts and dimensions written back, and the file the host reads: no NUL byte.
TEST(TextNul, WriteBackAndSavedFileHoldNoNul) {
    TJGdata jg;
    jg.A_Text(0, 1, 2, 10, 0, u"x\0y"s);
    jg.A_Dim(0, 0, 5, 0, 1, 1, 10, 0,
             u"\0"
             u"5"s);
    jg.S_Init();
    jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
    const std::u16string all = Buffer(jg);
    EXPECT_NE(all.find(u"\"x y\n"), std::u16string::npos) << ToUtf8(all);
    EXPECT_NE(all.find(u"\" 5\n"), std::u16string::npos) << ToUtf8(all);
    for (bool utf8 : {true, false}) {
        jg.MojiCode = utf8;
        const std::string bytes = jg.TempFileBytes();
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\0'), 0);
    }
}

TEST(TextNul, ZivWriteFromJson) {
    const std::string json = R"({"entities":[
        {"kind":"EntText","x1":1,"y1":2,"x2":10,"y2":0,"st":"a\u0000b"}]})";
    TJGdata jg;
    ReadModelJson(json, jg);
    jg.MojiCode = true;
    jg.S_Init();
    jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    const std::string bytes = jg.TempFileBytes();
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\0'), 0);
    EXPECT_NE(bytes.find("ch 1 2 10 0 \"a b\r\n"), std::string::npos) << bytes;
}

}  // namespace
