// Text read in blocks: whatever the block size, the lines and the encoding are those of the
// whole text decoded at once.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "util/LineBreaks.h"
#include "util/TextFile.h"

namespace {

using namespace std::string_literals;

struct TLines {
    TTextEncoding encoding = TTextEncoding::Ansi;
    std::vector<std::u16string> lines;
};

TLines WholeLines(const std::string& bytes) {
    TLines out;
    const TDecodedText decoded = DecodeTextBytes(bytes);
    out.encoding = decoded.encoding;
    LineBreaks::ForEachLine(decoded.text,
                            [&out](std::u16string_view line) { out.lines.emplace_back(line); });
    return out;
}

// Lines of every piece; a piece that is not the last ends with a line break.
TLines PieceLines(TTextBlockDecoder& decoder) {
    TLines out;
    out.encoding = decoder.Encoding();
    std::u16string_view piece;
    std::u16string previous;
    while (decoder.Next(piece)) {
        EXPECT_TRUE(previous.empty() || previous.back() == u'\n' || previous.back() == u'\r')
            << "a piece ends inside a line";
        previous = piece;
        LineBreaks::ForEachLine(piece,
                                [&out](std::u16string_view line) { out.lines.emplace_back(line); });
    }
    return out;
}

std::vector<std::string> Split(const std::string& bytes, size_t size) {
    std::vector<std::string> blocks;
    for (size_t at = 0; at < bytes.size(); at += size) {
        blocks.push_back(bytes.substr(at, size));
    }
    return blocks;
}

// Texts whose line breaks, byte-order marks and multi-byte characters fall on every seam
// once the block size runs from 1 byte up.
const std::string kTexts[] = {
    // Line ends of every kind, empty lines, a break at the very end
    "\xEF\xBB\xBF"
    "a\r\nb\rc\nd\r\n\r\n\n\r\re\r\n"s,
    "\xEF\xBB\xBF"
    "last line without a break\r\nx"s,
    "\xEF\xBB\xBF"
    "\r"s,
    "\xEF\xBB\xBF"s,
    ""s,
    "\n"s,
    // UTF-8: characters of two, three and four bytes; broken and cut sequences
    "\xEF\xBB\xBF"
    "ch 1 2 3 4 \"\xE5\x9B\xB3\xE9\x9D\xA2\r\n\xF0\x9F\x98\x80\n\xEF\xBD\xB1\xC2\xA9"s,
    "\xEF\xBB\xBF"
    "\xE5\x9B\r\n\xF0\x9F\x98\r\xC0\xAF\xFF\xED\xA0\x80 ok\n\xE5"s,
    // The code page: double-byte characters, a lead byte before a line break and at the end
    "\x90\x7D\x96\xCA\r\nhq \x95\xB6\x8E\x9A\r\n\x82\r\n\x82\n\xB1\xB2\r\x82"s,
    // The code page: control bytes it reads as other characters, within runs of ASCII
    "ascii line of letters\r\nctrl \x1A\x1C\x7F among letters\r\n\x95\xB6\ttab\r\n"
    "letters then\x7F\nx\x1A"s,
    // A partial mark is no mark
    "\xEF\xBB"
    "a\r\nb"s,
    // UTF-16 in both orders, surrogate pairs, a lone surrogate and an odd last byte
    "\xFF\xFE"
    "a\0\r\0\n\0\x3D\xD8\x00\xDE\r\0\x3D\xD8x\0\n\0b"s,
    "\xFE\xFF\0a\0\r\0\r\0\n\xD8\x3D\xDE\x00\0\n\0b\0"s,
    // UTF-16 without a mark, told by its NUL bytes whatever the blocks
    "h\0q\0\r\0\n\0h\0p\0 \0\x87\x65\r\0\n\0"s,
    "\0h\0q\0\r\0\n\0h\0p\0 \x65\x87\0\n"s,
};

TEST(TextBlockDecoder, AnyBlockSizeGivesTheLinesOfTheWholeText) {
    for (const std::string& bytes : kTexts) {
        const TLines whole = WholeLines(bytes);
        for (const size_t size : {1, 2, 3, 4, 5, 7, 11, 64}) {
            SCOPED_TRACE("text of " + std::to_string(bytes.size()) + " bytes, blocks of " +
                         std::to_string(size));
            TTextBlockDecoder owned(Split(bytes, size));
            const TLines fromBlocks = PieceLines(owned);
            EXPECT_EQ(fromBlocks.encoding, whole.encoding);
            EXPECT_EQ(fromBlocks.lines, whole.lines);

            TTextBlockDecoder viewed(bytes, size);
            EXPECT_EQ(PieceLines(viewed).lines, whole.lines);
        }
    }
}

TEST(TextBlockDecoder, LinesLongerThanABlock) {
    std::string bytes = "\xEF\xBB\xBF";
    for (int k = 0; k < 3; ++k) {
        bytes += "ch 1 2 3 4 \"" + std::string(5000 + k, 'x') + "\xE5\x9B\xB3\r\n";
    }
    bytes += std::string(4096, 'y');
    TTextBlockDecoder decoder(bytes, 1000);
    EXPECT_EQ(PieceLines(decoder).lines, WholeLines(bytes).lines);
}

// Large blocks are decoded a part at a time; CR LF pairs and double-byte characters fall on
// the edges of those parts too.
TEST(TextBlockDecoder, LargeBlocksWithShortLines) {
    for (const std::string& mark : {"\xEF\xBB\xBF"s, ""s}) {
        for (size_t period = 3; period <= 9; ++period) {
            std::string bytes = mark;
            const std::string line = std::string(period - 3, 'x') + "\x82\xA0\r\n";
            while (bytes.size() < (3u << 20) / 2) {
                bytes += line;
                bytes += (bytes.size() / period) % 5 == 0 ? "\r" : "";
            }
            SCOPED_TRACE("lines of " + std::to_string(period) + " bytes");
            const TLines whole = WholeLines(bytes);
            TTextBlockDecoder decoder(bytes);
            EXPECT_EQ(PieceLines(decoder).lines, whole.lines);
        }
    }
}

class BlockFileTest : public TestSupport::TTempFolderTest {
protected:
    std::u16string Write(const std::string& name, const std::string& bytes) {
        TestSupport::WriteAll(dir_ / name, bytes);
        return FromUtf8((dir_ / name).string());
    }
};

// Every block but the last is full, the bytes come back whole, and a rewind reads them again.
TEST_F(BlockFileTest, ReadsTheWholeFileInBlocks) {
    std::string bytes(10007, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 + (i >> 8));
    }
    const std::u16string file = Write("blocks.bin", bytes);
    for (const size_t size :
         {size_t{1}, size_t{1000}, size_t{10007}, size_t{10008}, kFileBlockBytes}) {
        SCOPED_TRACE(size);
        TFileBlocks blocks(size);
        ASSERT_TRUE(blocks.Open(file));
        for (int pass = 0; pass < 2; ++pass) {
            std::string joined;
            std::string_view block;
            while (blocks.Next(block)) {
                EXPECT_TRUE(block.size() == size || joined.size() + block.size() == bytes.size())
                    << "a short block before the end";
                joined += block;
            }
            EXPECT_TRUE(joined == bytes);
            EXPECT_FALSE(blocks.Failed());
            ASSERT_TRUE(blocks.Rewind());
        }
    }
    TFileBlocks empty;
    ASSERT_TRUE(empty.Open(Write("empty.txt", "")));
    std::string_view block;
    EXPECT_FALSE(empty.Next(block));
    EXPECT_FALSE(empty.Failed());
}

TEST_F(BlockFileTest, WhatCannotBeReadIsNotOpened) {
    std::string_view block;
    for (const std::u16string& name :
         {FromUtf8((dir_ / "missing.txt").string()), FromUtf8(dir_.string()), std::u16string()}) {
        TFileBlocks blocks;
        EXPECT_FALSE(blocks.Open(name));
        EXPECT_FALSE(blocks.Next(block));
    }
}

// The decoder reads a file's blocks as they come, each in the one buffer of the reader.
TEST_F(BlockFileTest, DecodesAFileBlockByBlock) {
    for (const std::string& bytes : kTexts) {
        const std::u16string file = Write("text.txt", bytes);
        for (const size_t size : {1, 2, 3, 5, 64}) {
            SCOPED_TRACE("text of " + std::to_string(bytes.size()) + " bytes, blocks of " +
                         std::to_string(size));
            TFileBlocks blocks(size);
            ASSERT_TRUE(blocks.Open(file));
            TTextBlockDecoder decoder(blocks);
            const TLines read = PieceLines(decoder);
            const TLines whole = WholeLines(bytes);
            EXPECT_EQ(read.encoding, whole.encoding);
            EXPECT_EQ(read.lines, whole.lines);
        }
    }
}

}  // namespace
