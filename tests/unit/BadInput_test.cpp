// Damaged and hostile files, as the exchange file and as the settings file: reading never
// crashes, keeps the model consistent, loses at most the damaged lines, and saving works after.
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ModelDump.h"
#include "app/Unit1Logic.h"
#include "exchange/DavGaibu.h"
#include "tests/support/TestSupport.h"
#include "util/TextFile.h"

namespace {

namespace fs = std::filesystem;

using TestSupport::ReadAll;
using TestSupport::WriteAll;

// What reading a damaged file must still give: the encoding, and the one intact circle line
// "ci 0 0 5" that every non-empty fixture carries after its damage.
struct TExpect {
    bool utf8;
    int circles;
};

const std::map<std::string, TExpect> kBadFiles = {
    // Byte-order marks cut short, or nothing after them
    {"utf8_mark_truncated.txt", {false, 1}},
    {"utf16_mark_truncated.txt", {false, 1}},
    {"utf8_mark_only.txt", {true, 0}},
    {"utf16le_mark_only.txt", {false, 0}},
    {"empty.txt", {false, 0}},
    // Invalid encodings
    {"utf8_invalid_sequences.txt", {true, 1}},
    {"utf8_mark_invalid_short.txt", {true, 0}},
    {"cp932_invalid_bytes.txt", {false, 1}},
    {"utf16le_lone_surrogates.txt", {false, 1}},
    {"utf16be_lone_surrogates.txt", {false, 1}},
    {"utf16le_odd_length.txt", {false, 1}},
    {"utf16le_nul_units_quote_at_end.txt", {false, 0}},
    // Odd content
    {"nul_bytes.txt", {false, 1}},
    {"only_quotes.txt", {false, 1}},
    {"only_equals_signs.txt", {false, 1}},
    {"thousands_of_tokens.txt", {false, 1}},
    {"line_breaks_only.txt", {false, 1}},
};

// The lines as a file gives them back: UTF-8 turns a lone surrogate into U+FFFD.
std::vector<std::u16string> AsSaved(std::vector<std::u16string> lines) {
    for (std::u16string& line : lines) {
        line = FromUtf8(ToUtf8(line));
    }
    return lines;
}

class BadInput : public TestSupport::TTempFolderTest {
protected:
    // Reads bytes as the host's file, checks the model, writes everything back over the
    // file and reads that again.
    void ReadWriteBack(const std::string& bytes, const TExpect& expect) {
        const fs::path file = dir_ / "ZIV_TEMP.TXT";
        WriteAll(file, bytes);
        TJGdata jg;
        jg.OpenTempFile(file.u16string());
        EXPECT_TRUE(ModelDump::Consistent(jg));
        EXPECT_EQ(jg.MojiCode, expect.utf8);
        ASSERT_EQ(jg.EntCircN, expect.circles);
        if (expect.circles > 0) {
            const TDavEntCircle& c = jg.EntCirc[0];
            EXPECT_EQ(c.cx, 0.0);
            EXPECT_EQ(c.cy, 0.0);
            EXPECT_EQ(c.cr, 5.0);
        }

        jg.S_Init();
        jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
        ASSERT_TRUE(jg.SaveTempFile(file.u16string()));
        EXPECT_EQ(ReadAll(file), jg.TempFileBytes());
        TJGdata back;
        back.OpenTempFile(file.u16string());
        EXPECT_TRUE(ModelDump::Consistent(back));
        EXPECT_EQ(back.EntCircN, expect.circles);
    }

    // Reads bytes as the settings file, saves the settings and reads them again.
    void SettingsRoundTrip(const std::string& bytes) {
        const fs::path file = dir_ / "r407.dat";
        WriteAll(file, bytes);
        constexpr TListSizes sizes{.fonts = 120};
        TDialogSettings s = DefaultSettings(7);
        ASSERT_TRUE(LoadSettingsFile(file.u16string(), sizes, s));
        const std::vector<std::u16string> lines = SettingsLines(s);
        ASSERT_TRUE(SaveSettingsFile(file.u16string(), s));
        TDialogSettings back = DefaultSettings(7);
        ASSERT_TRUE(LoadSettingsFile(file.u16string(), sizes, back));
        EXPECT_EQ(SettingsLines(back), AsSaved(lines));
    }
};

TEST_F(BadInput, EveryDamagedFileReadsAndSavesAfterwards) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::directory_iterator(fs::path(R407_FIXTURES) / "bad")) {
        files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), kBadFiles.size());
    for (const fs::path& p : files) {
        const std::string name = p.filename().string();
        SCOPED_TRACE(name);
        const auto expect = kBadFiles.find(name);
        ASSERT_NE(expect, kBadFiles.end()) << "a fixture without its expectation";
        const std::string bytes = ReadAll(p);
        ReadWriteBack(bytes, expect->second);
        SettingsRoundTrip(bytes);
    }
}

// Lines at the reader's limit in each encoding: long enough to cross every buffer and piece of
// the reader, and read; a unit longer, or 10 MB, refuses the file and leaves the model alone.
TEST_F(BadInput, LongLinesInEveryEncoding) {
    const std::string circle = "\r\nci 0 0 5\r\n";
    struct TCase {
        const char* name;
        std::string mark;
        std::string unit;  // one character, repeated to fill the line
        bool utf8;
    };
    const TCase cases[] = {
        {"utf8 kanji", "\xEF\xBB\xBF", "\xE6\x97\xA5", true},
        {"cp932 kanji", "", "\x93\xFA", false},
        {"utf16le", "\xFF\xFE", std::string("a\0", 2), false},
        {"utf16be kanji", "\xFE\xFF", "\x65\xE5", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        // The ASCII parts of the file in its encoding.
        const auto ascii = [&c](const std::string& s) {
            if (c.mark.size() != 2) {
                return s;
            }
            std::string wide;
            for (char ch : s) {
                wide += c.mark[0] == '\xFF' ? std::string{ch, '\0'} : std::string{'\0', ch};
            }
            return wide;
        };
        // A comment line of exactly this many bytes in the file's encoding.
        const auto lineOf = [&](size_t bytes) {
            std::string line = ascii("h#");
            line.reserve(bytes);
            while (line.size() + c.unit.size() <= bytes) {
                line += c.unit;
            }
            while (line.size() < bytes) {
                line += ascii("x");
            }
            return line;
        };
        ReadWriteBack(c.mark + lineOf(DavLimits::kMaxLineBytes) + ascii(circle), {c.utf8, 1});
        for (size_t bytes : {DavLimits::kMaxLineBytes + 2, size_t{10} << 20}) {
            SCOPED_TRACE(bytes);
            const fs::path file = dir_ / "ZIV_TEMP.TXT";
            WriteAll(file, c.mark + lineOf(bytes) + ascii(circle));
            TJGdata jg;
            EXPECT_FALSE(jg.OpenTempFile(file.u16string()));
            EXPECT_EQ(jg.OpenFault(), TDavOpenFault::LineTooLong);
            EXPECT_EQ(jg.EntN, 0);
            EXPECT_TRUE(ModelDump::Consistent(jg));
            TJGdata fromBytes;
            EXPECT_FALSE(fromBytes.OpenTempBytes(ReadAll(file)));
            EXPECT_EQ(fromBytes.OpenFault(), TDavOpenFault::LineTooLong);
        }
    }
}

// Each line is read as far as its box accepts it, and the lines after it still count.
TEST_F(BadInput, TenMegabyteSettingsLinesAreCutToTheirBoxes) {
    const std::string big(10u << 20, 'x');
    const std::string bytes =
        "\xEF\xBB\xBF"
        "1\r\n2\r\n" +
        big + "\r\n3\r\n" + big + "\r\n";
    SettingsRoundTrip(bytes);
    TDialogSettings s = DefaultSettings(7);
    ASSERT_TRUE(LoadSettingsFile((dir_ / "r407.dat").u16string(), TListSizes{}, s));
    EXPECT_EQ(s.text, std::u16string(kTextMaxLength, u'x'));
    EXPECT_EQ(s.orientation, 3);
    EXPECT_EQ(s.angle, std::u16string(kAngleMaxLength, u'x'));
}

}  // namespace
