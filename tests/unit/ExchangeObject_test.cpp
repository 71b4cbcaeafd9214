// Tests of the exchange object: defaults, storage policy, entity index, load and save.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>  // for geteuid
#endif

#include <gtest/gtest.h>

#include "ModelDump.h"
#include "exchange/DavGaibu.h"
#include "tests/support/TestSupport.h"
#include "util/TextFile.h"

namespace fs = std::filesystem;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// A folder of its own for each test, removed with everything in it.
using TTempDir = TestSupport::TTempFolder;

std::u16string Name(const fs::path& p) {
    return FromUtf8(p.string());
}

using TestSupport::Fixture;
using TestSupport::ReadAll;
using TestSupport::WriteAll;

}  // namespace

TEST(ExchangeObject, NewObjectHoldsDefaults) {
    const TJGdata jg;
    EXPECT_EQ(jg.EntN, 0);
    EXPECT_TRUE(ModelDump::Consistent(jg));
    ASSERT_EQ(jg.IPoints.size(), 100u);
    for (const TDavIndPoint& p : jg.IPoints) {
        EXPECT_FALSE(p.flg);
        EXPECT_EQ(p.x, 0.0);
        EXPECT_EQ(p.y, 0.0);
        EXPECT_EQ(p.sta, 0);
    }
    for (double s : jg.LGrpScale) {
        EXPECT_EQ(s, 1.0);
    }
    EXPECT_EQ(jg.ZumenXsize, 1189.0);
    EXPECT_EQ(jg.ZumenYsize, 841.0);
    for (size_t k = 1; k <= 10; ++k) {
        EXPECT_EQ(jg.Mojisyu[k].W, 3.0);
        EXPECT_EQ(jg.Mojisyu[k].H, 3.0);
        EXPECT_EQ(jg.Mojisyu[k].D, 0.0);
        EXPECT_EQ(jg.Mojisyu[k].C, 2);
    }
    for (int v : jg.RGB) {
        EXPECT_EQ(v, 0);
    }
    EXPECT_TRUE(jg.CurFont.empty());
    // Full-width M and S, an ordinary blank, then gothic in katakana.
    EXPECT_EQ(jg.w_Font, u"<\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF>");
    EXPECT_EQ(jg.CurCol, 1);
    EXPECT_EQ(jg.CurLtp, 1);
    EXPECT_EQ(jg.CurMjs, 1);
    EXPECT_EQ(jg.CurMjsW, 2.0);
    EXPECT_EQ(jg.CurMjsC, 1);
    EXPECT_EQ(jg.EntSunLine.att.Col, 1);
    EXPECT_EQ(jg.EntSunLine.att.Ltp, 1);
    EXPECT_EQ(jg.EntSunLine.x1, 0.0);
    EXPECT_EQ(jg.EntSunLine.x2, 1.0);
    EXPECT_EQ(jg.EntSunLine.y2, 0.0);
    EXPECT_FALSE(jg.MojiCode);
    EXPECT_EQ(jg.t_MemN, 0);
}

TEST(ExchangeObject, ListsGrowInBlocksOfThousand) {
    struct TCase {
        int appends;
        size_t length;
    };
    const TCase cases[] = {{1, 1000}, {999, 1000}, {1000, 1000}, {1001, 2000}, {2001, 3000}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.appends);
        TJGdata jg;
        for (int i = 0; i < c.appends; ++i) {
            jg.NewEntity(kKindCircle, jg.EntCirc, jg.EntCircN).cr = i;
            jg.SendMem(std::u16string(u"lc") + static_cast<char16_t>(u'0' + i % 10));
        }
        EXPECT_EQ(jg.EntCircN, c.appends);
        EXPECT_EQ(jg.EntCirc.size(), c.length);
        EXPECT_EQ(jg.EntN, c.appends);
        EXPECT_EQ(jg.EntNo.size(), c.length);
        EXPECT_EQ(jg.t_MemN, c.appends);
        EXPECT_EQ(jg.t_Mem.size(), c.length);
        EXPECT_EQ(jg.EntCirc[static_cast<size_t>(c.appends) - 1].cr, c.appends - 1);
        EXPECT_TRUE(ModelDump::Consistent(jg));
    }
}

TEST(ExchangeObject, EntNoKeepsOrderAcrossKinds) {
    TJGdata jg;
    jg.NewEntity(kKindCircle, jg.EntCirc, jg.EntCircN);
    jg.NewEntity(kKindLine, jg.EntLine, jg.EntLineN);
    jg.NewEntity(kKindCircle, jg.EntCirc, jg.EntCircN);
    ASSERT_EQ(jg.EntN, 3);
    EXPECT_EQ(jg.EntNo[0].yn, 2);
    EXPECT_EQ(jg.EntNo[0].no, 0);
    EXPECT_EQ(jg.EntNo[1].yn, 1);
    EXPECT_EQ(jg.EntNo[1].no, 0);
    EXPECT_EQ(jg.EntNo[2].yn, 2);
    EXPECT_EQ(jg.EntNo[2].no, 1);
}

TEST(ExchangeObject, EntAttrFilledFromWriterStateAndCopiedWhole) {
    TJGdata jg;
    jg.w_IPNo = 7;
    jg.w_LGrp = 3;
    jg.w_Lay = 12;
    jg.w_Col = 5;
    jg.w_Ltp = 2;
    jg.w_Wid = 4;
    jg.w_Attr = 9;
    TDavEntAttr a;
    jg.SetEntAttr(a);
    EXPECT_EQ(a.IPNo, 7);
    EXPECT_EQ(a.LGrp, 3);
    EXPECT_EQ(a.Lay, 12);
    EXPECT_EQ(a.Col, 5);
    EXPECT_EQ(a.Ltp, 2);
    EXPECT_EQ(a.Wid, 4);
    EXPECT_EQ(a.Attr, 9);
    // Filling does not consume the one-shot attributes.
    EXPECT_EQ(jg.w_IPNo, 7);
    EXPECT_EQ(jg.w_Attr, 9);

    TDavEntAttr b;
    TJGdata::CopyEntAttr(b, a);
    EXPECT_EQ(b.IPNo, 7);
    EXPECT_EQ(b.LGrp, 3);
    EXPECT_EQ(b.Lay, 12);
    EXPECT_EQ(b.Col, 5);
    EXPECT_EQ(b.Ltp, 2);
    EXPECT_EQ(b.Wid, 4);
    EXPECT_EQ(b.Attr, 9);
}

TEST(ExchangeObject, StopDavGaibuEmptiesTheBuffer) {
    TJGdata jg;
    jg.StopDavGaibu();
    EXPECT_EQ(jg.t_MemN, 0);
    jg.SendMem(u"lc2");
    jg.SendMem(u"pt 1 2");
    jg.StopDavGaibu();
    EXPECT_EQ(jg.t_MemN, 0);
    EXPECT_EQ(jg.TempFileBytes(), "hq\r\n");
    jg.SendMem(u"lc3");
    EXPECT_EQ(jg.t_Mem.size(), 1000u);
    EXPECT_EQ(jg.TempFileBytes(), "lc3\r\n");
}

TEST(ExchangeObject, DataInitRestoresEverythingButTheColourTable) {
    TJGdata jg;
    ASSERT_TRUE(jg.OpenTempBytes(Fixture("host_all_kinds_utf8_bom.txt")));
    ASSERT_GT(jg.EntN, 0);
    jg.SendMem(u"lc2");
    jg.t_PLine.resize(3);
    jg.t_PLineN = 3;
    jg.aCol = 255;
    ASSERT_EQ(jg.RGB[2], 255);
    jg.DataInit();
    const TJGdata fresh;
    EXPECT_EQ(ModelDump::Dump(jg, false), ModelDump::Dump(fresh, false));
    EXPECT_EQ(jg.RGB[2], 255);
    EXPECT_TRUE(jg.EntLine.empty());
    EXPECT_TRUE(jg.t_Mem.empty());
    EXPECT_TRUE(jg.t_PLine.empty());
}

TEST(ExchangeObject, InitResetsTheWriterStateOnly) {
    TJGdata jg;
    ASSERT_TRUE(jg.OpenTempBytes(kBom + "lc5\r\nlgA\r\ncn0 1 1 1 7\r\npl\r\nz2\r\nhhp4\r\n"));
    jg.SendMem(u"lc9");
    jg.S_Init();
    const TJGdata fresh;
    EXPECT_TRUE(jg.w_FlgCol && jg.w_FlgLGrp && jg.w_FlgMjs && jg.w_FlgFont && jg.w_FlgSCol);
    EXPECT_EQ(jg.w_Col, 1);
    EXPECT_EQ(jg.w_LGrp, 0);
    EXPECT_EQ(jg.w_Mjs, 1);
    EXPECT_EQ(jg.w_MjsC, 1);
    EXPECT_EQ(jg.w_Font, fresh.w_Font);
    // Reading's group, one-shot state and the host's values stay.
    EXPECT_EQ(jg.w_CrvNo, 1);
    EXPECT_TRUE(jg.w_CrvFl);
    EXPECT_EQ(jg.w_Attr, 2);
    EXPECT_EQ(jg.w_IPNo, 4);
    EXPECT_EQ(jg.CurCol, 5);
    EXPECT_EQ(jg.CurLGrp, 10);
    EXPECT_EQ(jg.t_MemN, 1);
}

TEST(ExchangeObject, SavedBytesFollowTheHostsEncoding) {
    struct TCase {
        const char* name;
        bool utf8;
        std::vector<std::u16string> lines;
        std::string bytes;
    };
    const TCase cases[] = {
        // Empty buffer
        {"empty ansi", false, {}, "hq\r\n"},
        {"empty utf8", true, {}, kBom + "hq\r\n"},
        // Japanese text: CP932 double bytes, or UTF-8
        {"ansi text", false, {u"ch 0 0 1 0 \"日本"}, "ch 0 0 1 0 \"\x93\xFA\x96\x7B\r\n"},
        {"utf8 text",
         true,
         {u"ch 0 0 1 0 \"日本"},
         kBom + "ch 0 0 1 0 \"\xE6\x97\xA5\xE6\x9C\xAC\r\n"},
        {"ansi font",
         false,
         {u"cn\"$<ＭＳ ゴシック>"},
         "cn\"$<\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E>\r\n"},
        // A character the code page lacks becomes its default character.
        {"ansi emoji", false, {u"h#a\U0001F600b"}, "h#a?b\r\n"},
        {"utf8 emoji", true, {u"h#\U0001F600"}, kBom + "h#\xF0\x9F\x98\x80\r\n"},
        // A line ending in a double quote, then an ordinary line
        {"quote last", false, {u"ch 0 0 1 0 \"", u"lc2"}, "ch 0 0 1 0 \"\r\nlc2\r\n"},
        {"empty line", true, {u"", u"#"}, kBom + "\r\n#\r\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TJGdata jg;
        jg.MojiCode = c.utf8;
        for (const std::u16string& line : c.lines) {
            jg.SendMem(line);
        }
        EXPECT_EQ(jg.TempFileBytes(), c.bytes);
        TTempDir dir;
        ASSERT_TRUE(jg.SaveTempFile(Name(dir / "ZIV_TEMP.TXT")));
        EXPECT_EQ(ReadAll(dir / "ZIV_TEMP.TXT"), c.bytes);
    }
}

TEST(ExchangeObject, SaveWritesEveryLineOnceInCallOrder) {
    TJGdata jg;
    std::string expected;
    for (int i = 0; i < 1001; ++i) {
        const std::string line = "pt " + std::to_string(i) + " 0";
        jg.SendMem(FromUtf8(line));
        expected += line + "\r\n";
    }
    EXPECT_EQ(jg.t_Mem.size(), 2000u);
    TTempDir dir;
    const fs::path file = dir / "ZIV_TEMP.TXT";
    ASSERT_TRUE(jg.SaveTempFile(Name(file)));
    EXPECT_EQ(ReadAll(file), expected);
    // Saving again writes the same file; later commands follow the earlier ones.
    ASSERT_TRUE(jg.SaveTempFile(Name(file)));
    EXPECT_EQ(ReadAll(file), expected);
    jg.SendMem(u"#");
    ASSERT_TRUE(jg.SaveTempFile(Name(file)));
    EXPECT_EQ(ReadAll(file), expected + "#\r\n");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"ZIV_TEMP.TXT"});
}

TEST(ExchangeObject, SaveReplacesALongerFileWhole) {
    TTempDir dir;
    const fs::path file = dir / "ZIV_TEMP.TXT";
    WriteAll(file, std::string(100000, 'x'));
    TJGdata jg;
    jg.SendMem(u"lc2");
    ASSERT_TRUE(jg.SaveTempFile(Name(file)));
    EXPECT_EQ(ReadAll(file), "lc2\r\n");
}

TEST(ExchangeObject, FailedSaveLeavesNoPartialFile) {
    TJGdata jg;
    jg.SendMem(u"lc2");
    jg.SendMem(u"ch 0 0 1 0 \"abc");
    const std::string old = "old contents\r\n";

    {
        SCOPED_TRACE("missing folder");
        TTempDir dir;
        EXPECT_FALSE(jg.SaveTempFile(Name(dir / "missing" / "ZIV_TEMP.TXT")));
        EXPECT_TRUE(dir.Names().empty());
    }
    {
        SCOPED_TRACE("a folder in the file's place");
        TTempDir dir;
        fs::create_directory(dir / "ZIV_TEMP.TXT");
        WriteAll(dir / "ZIV_TEMP.TXT" / "inside", old);
        EXPECT_FALSE(jg.SaveTempFile(Name(dir / "ZIV_TEMP.TXT")));
        EXPECT_TRUE(fs::is_directory(dir / "ZIV_TEMP.TXT"));
        EXPECT_EQ(ReadAll(dir / "ZIV_TEMP.TXT" / "inside"), old);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"ZIV_TEMP.TXT"});
    }
    {
        SCOPED_TRACE("name too long for the file system");
        TTempDir dir;
        EXPECT_FALSE(jg.SaveTempFile(Name(dir / std::string(300, 'z'))));
        EXPECT_TRUE(dir.Names().empty());
    }
#ifdef _WIN32
    {
        // A read-only folder does not stop writes on Windows; a file that another program holds
        // open without sharing (a virus scanner, an indexer) stops the replacement.
        SCOPED_TRACE("file held open without sharing");
        TTempDir dir;
        WriteAll(dir / "ZIV_TEMP.TXT", old);
        const HANDLE held = CreateFileW((dir / "ZIV_TEMP.TXT").c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(jg.SaveTempFile(Name(dir / "ZIV_TEMP.TXT")));
        CloseHandle(held);
        EXPECT_EQ(ReadAll(dir / "ZIV_TEMP.TXT"), old);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"ZIV_TEMP.TXT"});
    }
#else
    if (geteuid() != 0) {
        SCOPED_TRACE("read-only folder");
        TTempDir dir;
        const fs::path sub = dir / "ro";
        fs::create_directory(sub);
        WriteAll(sub / "ZIV_TEMP.TXT", old);
        fs::permissions(sub, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(jg.SaveTempFile(Name(sub / "ZIV_TEMP.TXT")));
        // The host's own file survives whole: it can neither be replaced nor removed.
        EXPECT_EQ(ReadAll(sub / "ZIV_TEMP.TXT"), old);
        fs::permissions(sub, fs::perms::owner_all);
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(sub)) {
            names.push_back(e.path().filename().string());
        }
        EXPECT_EQ(names, std::vector<std::string>{"ZIV_TEMP.TXT"});
    }
#endif
    // The buffer is kept for another attempt.
    EXPECT_EQ(jg.t_MemN, 2);
}

TEST(ExchangeObject, LoadChoosesTheEncodingByItsMark) {
    struct TCase {
        const char* file;
        bool utf8;
    };
    const TCase cases[] = {
        {"host_all_kinds_utf8_bom.txt", true},
        {"host_all_kinds_cp932.txt", false},
        {"host_all_kinds_utf16le_bom.txt", false},
        {"host_all_kinds_utf16be_bom.txt", false},
        // UTF-16 without a mark, told by its NUL bytes.
        {"host_all_kinds_utf16le_nomark.txt", false},
        {"host_all_kinds_utf16be_nomark.txt", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.file);
        TJGdata jg;
        jg.OpenTempFile(Name(fs::path(R407_FIXTURES) / c.file));
        EXPECT_EQ(jg.MojiCode, c.utf8);
        EXPECT_EQ(jg.ZumenFile, u"D:\\図面\\テスト 01.zmn");
        EXPECT_EQ(jg.EntN, 18);
    }
    // The same text without its mark is read in the legacy code page.
    TJGdata jg;
    jg.OpenTempBytes(Fixture("host_all_kinds_utf8_bom.txt").substr(3));
    EXPECT_FALSE(jg.MojiCode);
}

TEST(ExchangeObject, MissingOrUnreadableFileLeavesDefaults) {
    TTempDir dir;
    fs::create_directory(dir / "folder");
    const TJGdata fresh;
    for (const fs::path& p : {dir / "none.txt", dir / "folder", fs::path()}) {
        SCOPED_TRACE(p.string());
        TJGdata jg;
        jg.MojiCode = true;
        EXPECT_FALSE(jg.OpenTempFile(Name(p)));
        EXPECT_EQ(ModelDump::Dump(jg), ModelDump::Dump(fresh));
    }
}

TEST(ExchangeObject, SaveKeepsTheEncodingTheHostUsed) {
    struct TCase {
        const char* file;
        std::string bytes;
    };
    const TCase cases[] = {
        {"host_all_kinds_cp932.txt", "h#\x95\x94\x95\x69\x41\r\n"},
        {"host_all_kinds_utf8_bom.txt", kBom + "h#\xE9\x83\xA8\xE5\x93\x81\x41\r\n"},
        {"host_all_kinds_utf16le_bom.txt", "h#\x95\x94\x95\x69\x41\r\n"},
        {"host_all_kinds_utf16be_nomark.txt", "h#\x95\x94\x95\x69\x41\r\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.file);
        TTempDir dir;
        const fs::path file = dir / "ZIV_TEMP.TXT";
        fs::copy_file(fs::path(R407_FIXTURES) / c.file, file);
        TJGdata jg;
        jg.OpenTempFile(Name(file));
        jg.S_Init();
        jg.SendMem(u"h#" + jg.EntBlk[0].nam);
        ASSERT_TRUE(jg.SaveTempFile(Name(file)));
        EXPECT_EQ(ReadAll(file), c.bytes);
    }
}

// The example the program opens when run from the source tree: every start-up mode has
// something to work on.
TEST(ExchangeObject, BundledExampleHoldsWhatTheModesUse) {
    TJGdata jg;
    jg.OpenTempFile(Name(fs::path(R407_EXAMPLES) / "ZIV_TEMP.TXT"));
    EXPECT_TRUE(jg.MojiCode);
    EXPECT_TRUE(ModelDump::Consistent(jg));
    EXPECT_TRUE(jg.IPoints[1].flg);
    EXPECT_TRUE(jg.IPoints[2].flg);
    EXPECT_EQ(jg.IPoints[2].x, 110.0);
    ASSERT_EQ(jg.EntLineN, 1);
    EXPECT_EQ(jg.EntN, 1);
    EXPECT_EQ(jg.CurLay, 1);
    EXPECT_EQ(jg.CurCol, 2);
    EXPECT_EQ(jg.CurMjs, 3);
    EXPECT_EQ(jg.CurFont, u"<ＭＳ ゴシック>");
    EXPECT_EQ(jg.ZumenXsize, 420.0);
}
