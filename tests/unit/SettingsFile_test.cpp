// The settings file: the positional lines written and read back, the range rules, the
// histories, the encodings and saves that fail.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#if defined(__unix__)
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "app/Unit1Logic.h"
#include "tests/support/LogicSupport.h"
#include "tests/support/TestSupport.h"
#include "util/TextFile.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::u16string>;

constexpr int kGothicEntry = 7;
constexpr TListSizes kSizes{.fonts = 120};

using TestSupport::Boxes;

// Distinct history entries: prefix and number.
std::u16string Numbered(std::u16string prefix, int i) {
    for (char c : std::to_string(i)) {
        prefix += static_cast<char16_t>(c);
    }
    return prefix;
}

using TestSupport::Utf16Bytes;

void ExpectSameRow(const TPresetRow& a, const TPresetRow& b) {
    EXPECT_EQ(a.checked, b.checked);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.spacing, b.spacing);
    EXPECT_EQ(a.colour, b.colour);
    EXPECT_EQ(a.font, b.font);
    EXPECT_EQ(a.italic, b.italic);
    EXPECT_EQ(a.bold, b.bold);
}

void ExpectSameSettings(const TDialogSettings& a, const TDialogSettings& b) {
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.orientation, b.orientation);
    EXPECT_EQ(a.angle, b.angle);
    EXPECT_EQ(a.hostType, b.hostType);
    EXPECT_EQ(a.textType, b.textType);
    EXPECT_EQ(a.hostFont, b.hostFont);
    EXPECT_EQ(a.italic, b.italic);
    EXPECT_EQ(a.bold, b.bold);
    EXPECT_EQ(a.basePoint, b.basePoint);
    EXPECT_EQ(a.offsetsOn, b.offsetsOn);
    EXPECT_EQ(a.offsets, b.offsets);
    for (size_t r = 0; r < a.rows.size(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r + 1);
        ExpectSameRow(a.rows[r], b.rows[r]);
    }
    EXPECT_EQ(a.textHistory, b.textHistory);
    EXPECT_EQ(a.angleHistory, b.angleHistory);
}

// Every field away from its start-up value.
TDialogSettings Changed() {
    TDialogSettings s = DefaultSettings(kGothicEntry);
    s.left = -120;
    s.top = 33;
    s.text = u" 文字 text ";
    s.orientation = 3;
    s.angle = u"30@@15@20";
    s.hostType = false;
    s.textType = 10;
    s.hostFont = 119;
    s.italic = true;
    s.bold = true;
    s.basePoint = 8;
    s.offsetsOn = true;
    s.offsets = {u"1", u"-2.5", u"0.001", u"1E-5", u"500", u"0"};
    for (int r = 0; r < kPresetRows; ++r) {
        TPresetRow& row = s.rows[static_cast<size_t>(r)];
        row.checked = r == 11;
        row.width = u"0." + std::u16string(1, static_cast<char16_t>(u'1' + r % 9));
        row.height = u"500";
        row.spacing = u"-100";
        row.colour = r % 2 ? u"356" : u"101";
        row.font = r;
        row.italic = r % 3 == 0;
        row.bold = r % 3 == 1;
    }
    s.textHistory = {u" 文字 text ", u"ABC", u"x"};
    s.angleHistory = {u"0", u"90", u"-90", u"180", u"30@@15@20", u"12.5"};
    return s;
}

class SettingsFile : public TestSupport::TTempFolderTest {
protected:
    std::u16string PathOf(const std::string& name) const {
        return FromUtf8((dir_ / name).string());
    }
    void WriteBytes(const std::string& name, const std::string& bytes) const {
        TestSupport::WriteAll(dir_ / name, bytes);
    }
    std::string ReadBytes(const std::string& name) const {
        return TestSupport::ReadAll(dir_ / name);
    }
};

TEST_F(SettingsFile, RoundTripKeepsEveryField) {
    const TDialogSettings saved = Changed();
    ASSERT_TRUE(SaveSettingsFile(PathOf("r407.dat"), saved));
    TDialogSettings loaded = DefaultSettings(kGothicEntry);
    ASSERT_TRUE(LoadSettingsFile(PathOf("r407.dat"), kSizes, loaded));
    ExpectSameSettings(loaded, saved);
}

TEST_F(SettingsFile, BytesAreUtf8WithBomAndCrLf) {
    TDialogSettings s = DefaultSettings(kGothicEntry);
    s.text = u"文字";
    ASSERT_TRUE(SaveSettingsFile(PathOf("r407.dat"), s));
    std::string expected = "\xEF\xBB\xBF";
    for (const std::u16string& line : SettingsLines(s)) {
        expected += ToUtf8(line) + "\r\n";
    }
    EXPECT_EQ(ReadBytes("r407.dat"), expected);
    EXPECT_EQ(expected.substr(3, 19), "50\r\n50\r\n\xE6\x96\x87\xE5\xAD\x97\r\n0\r\n");
}

TEST(SettingsLines, PositionsAndRangeRules) {
    TDialogSettings s = DefaultSettings(-1);
    s.text = u"a\r\nb";
    s.angle = u"45";
    s.textType = -1;
    s.offsets = {u"2.50", u"abc", u"-0", u"1e3", u"0.10", u" 7"};
    s.rows[0] = Boxes(u"600", u"0.1", u"-150", u"100", 3);
    s.rows[0].checked = true;
    s.rows[0].italic = true;
    s.rows[14] = Boxes(u"0.09", u"abc", u"500.5", u"10", -1);
    s.rows[14].bold = true;
    s.angleHistory = {u"30", u"0", u"90", u"-90", u"180"};
    const Lines lines = SettingsLines(s);
    ASSERT_EQ(lines.size(), 140u + 0u + 5u);

    struct Row {
        size_t line;
        const char16_t* text;
    };
    const Row rows[] = {
        // The dialog's fields
        {0, u"50"},
        {1, u"50"},
        {2, u"a  b"},
        {3, u"0"},
        {4, u"45"},
        {5, u"1"},
        {6, u"-1"},
        {7, u"-1"},
        {8, u"0"},
        {9, u"0"},
        {10, u"2"},
        {11, u"0"},
        // Offsets in their numeric form
        {12, u"2.5"},
        {13, u"0"},
        {14, u"0"},
        {15, u"1000"},
        {16, u"0.1"},
        {17, u"7"},
        // Row 1: width 600, spacing -150 and colour 100 are out of range
        {18, u"1"},
        {19, u"3"},
        {20, u"0.1"},
        {21, u"0"},
        {22, u"2"},
        {23, u"3"},
        {24, u"1"},
        {25, u"0"},
        // Row 2 at its start-up values
        {26, u"0"},
        {27, u"3"},
        {28, u"3"},
        {29, u"0"},
        {30, u"2"},
        {31, u"-1"},
        // Row 15
        {130, u"0"},
        {131, u"3"},
        {132, u"3"},
        {133, u"0"},
        {134, u"2"},
        {135, u"-1"},
        {136, u"0"},
        {137, u"1"},
        // Histories
        {138, u"0"},
        {139, u"5"},
        {140, u"30"},
        {144, u"180"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "line " << r.line);
        EXPECT_EQ(lines[r.line], r.text);
    }
}

TEST(SettingsLines, HistoriesKeepTheirFirstFiftyOnOneLineEach) {
    TDialogSettings s = DefaultSettings(0);
    for (int i = 0; i < 60; ++i) {
        s.textHistory.push_back(Numbered(u"t", i));
    }
    s.textHistory[1] = u"two\nlines";
    const Lines lines = SettingsLines(s);
    ASSERT_EQ(lines.size(), 140u + 50u + 4u);
    EXPECT_EQ(lines[138], u"50");
    EXPECT_EQ(lines[139], u"t0");
    EXPECT_EQ(lines[140], u"two lines");
    EXPECT_EQ(lines[188], s.textHistory[49]);
    EXPECT_EQ(lines[189], u"4");
    EXPECT_EQ(lines[193], u"180");
}

// A file of the fixed lines with the given lines replaced, followed by the histories.
Lines FileLines(std::initializer_list<std::pair<size_t, const char16_t*>> changes,
                Lines tail = {u"0", u"0"}) {
    Lines lines = SettingsLines(DefaultSettings(0));
    lines.resize(138);
    for (const auto& [k, text] : changes) {
        lines[k] = text;
    }
    lines.insert(lines.end(), tail.begin(), tail.end());
    return lines;
}

TEST(SettingsRead, RangeRulesAndListBounds) {
    struct Case {
        const char* name;
        Lines lines;
        void (*check)(const TDialogSettings&);
    };
    const Case cases[] = {
        {"indexes outside their lists keep the start-up values",
         FileLines({{3, u"4"}, {6, u"11"}, {7, u"500"}, {10, u"9"}, {23, u"120"}, {31, u"-1"}}),
         [](const TDialogSettings& s) {
             EXPECT_EQ(s.orientation, 0);
             EXPECT_EQ(s.textType, 0);
             EXPECT_EQ(s.hostFont, kGothicEntry);
             EXPECT_EQ(s.basePoint, 2);
             EXPECT_EQ(s.rows[0].font, kGothicEntry);
             EXPECT_EQ(s.rows[1].font, kGothicEntry);
         }},
        {"last entries of the lists",
         FileLines({{3, u"3"}, {6, u"10"}, {7, u"119"}, {10, u"8"}, {23, u"119"}}),
         [](const TDialogSettings& s) {
             EXPECT_EQ(s.orientation, 3);
             EXPECT_EQ(s.textType, 10);
             EXPECT_EQ(s.hostFont, 119);
             EXPECT_EQ(s.basePoint, 8);
             EXPECT_EQ(s.rows[0].font, 119);
         }},
        {"not a number reads as 0",
         FileLines({{0, u"x"}, {3, u"x"}, {7, u"x"}, {10, u""}, {12, u"x"}, {19, u"x"}}),
         [](const TDialogSettings& s) {
             EXPECT_EQ(s.left, 0);
             EXPECT_EQ(s.orientation, 0);
             EXPECT_EQ(s.hostFont, 0);
             EXPECT_EQ(s.basePoint, 0);
             EXPECT_EQ(s.offsets[0], u"0");
             EXPECT_EQ(s.rows[0].width, u"3");
         }},
        {"row values after the range rule",
         FileLines({{19, u"600"},
                    {20, u"0.10"},
                    {21, u"-150"},
                    {22, u"357"},
                    {27, u"0"},
                    {28, u"500.0"},
                    {29, u"-100"},
                    {30, u"101"}}),
         [](const TDialogSettings& s) {
             ExpectSameRow(s.rows[0], Boxes(u"3", u"0.1", u"0", u"2", 0));
             ExpectSameRow(s.rows[1], Boxes(u"3", u"500", u"-100", u"101", 0));
         }},
        {"texts as read, offsets numeric, booleans as words",
         FileLines({{2, u" 文字 "},
                    {4, u" 30@@1 "},
                    {5, u"0"},
                    {8, u"on"},
                    {9, u"True"},
                    {11, u"yes"},
                    {13, u"2.50"},
                    {18, u"１"}}),
         [](const TDialogSettings& s) {
             EXPECT_EQ(s.text, u" 文字 ");
             EXPECT_EQ(s.angle, u" 30@@1 ");
             EXPECT_FALSE(s.hostType);
             EXPECT_TRUE(s.italic);
             EXPECT_TRUE(s.bold);
             EXPECT_FALSE(s.offsetsOn);
             EXPECT_EQ(s.offsets[1], u"2.5");
             EXPECT_TRUE(s.rows[0].checked);
         }},
        {"short file applies what is there",
         {u"10", u"20", u"abc"},
         [](const TDialogSettings& s) {
             EXPECT_EQ(s.left, 10);
             EXPECT_EQ(s.top, 20);
             EXPECT_EQ(s.text, u"abc");
             EXPECT_EQ(s.angle, u"0");
             EXPECT_TRUE(s.hostType);
             EXPECT_EQ(s.rows[14].width, u"3");
             EXPECT_EQ(s.angleHistory, (Lines{u"0", u"90", u"-90", u"180"}));
         }},
        {"histories: blanks and case duplicates dropped, preset angles first",
         FileLines({},
                   {u"4", u"abc", u"\u3000 ", u"ABC", u"x", u"3", u"30", u"90", u"30", u"ignored"}),
         [](const TDialogSettings& s) {
             EXPECT_EQ(s.textHistory, (Lines{u"abc", u"x"}));
             EXPECT_EQ(s.angleHistory, (Lines{u"0", u"90", u"-90", u"180", u"30"}));
         }},
        {"history counts that are not counts", FileLines({}, {u"-3", u"2", u"45", u"60", u"70"}),
         [](const TDialogSettings& s) {
             EXPECT_TRUE(s.textHistory.empty());
             EXPECT_EQ(s.angleHistory, (Lines{u"0", u"90", u"-90", u"180", u"45", u"60"}));
         }},
        {"huge history count", FileLines({}, {u"2147483647", u"a", u"b"}),
         [](const TDialogSettings& s) {
             EXPECT_EQ(s.textHistory, (Lines{u"a", u"b"}));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDialogSettings s = DefaultSettings(kGothicEntry);
        ApplySettingsLines(c.lines, kSizes, s);
        c.check(s);
    }
}

// Whether the preview panel was open: one line after the histories, written only when it
// was, so that files with the panel closed stay as older versions wrote them and either kind
// of file reads in both directions.
TEST(SettingsRead, PreviewLineAfterTheHistories) {
    struct Case {
        const char* name;
        Lines lines;
        bool open;
        Lines textHistory;
    };
    const Case cases[] = {
        {"older file without the line", FileLines({}, {u"1", u"abc", u"0"}), false, {u"abc"}},
        {"open after empty histories", FileLines({}, {u"0", u"0", u"1"}), true, {}},
        {"open after entries", FileLines({}, {u"2", u"a", u"b", u"1", u"45", u"1"}), true,
         {u"a", u"b"}},
        {"explicitly closed", FileLines({}, {u"0", u"0", u"0"}), false, {}},
        // A history entry that reads as true is still an entry, not the panel's line.
        {"entry holding 1", FileLines({}, {u"1", u"1", u"0"}), false, {u"1"}},
        {"lines after it are ignored", FileLines({}, {u"0", u"0", u"1", u"0", u"x"}), true, {}},
        {"short file", {u"10", u"20"}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDialogSettings s = DefaultSettings(kGothicEntry);
        ApplySettingsLines(c.lines, kSizes, s);
        EXPECT_EQ(s.previewOpen, c.open);
        EXPECT_EQ(s.textHistory, c.textHistory);
    }
}

TEST_F(SettingsFile, PreviewLineRoundTrip) {
    TDialogSettings closed = Changed();
    const Lines closedLines = SettingsLines(closed);
    EXPECT_EQ(closedLines.size(), 140u + 3u + 6u);

    TDialogSettings open = Changed();
    open.previewOpen = true;
    const Lines openLines = SettingsLines(open);
    ASSERT_EQ(openLines.size(), closedLines.size() + 1);
    EXPECT_TRUE(std::equal(closedLines.begin(), closedLines.end(), openLines.begin()));
    EXPECT_EQ(openLines.back(), u"1");

    for (const TDialogSettings* saved : {&closed, &open}) {
        ASSERT_TRUE(SaveSettingsFile(PathOf("r407.dat"), *saved));
        TDialogSettings loaded = DefaultSettings(kGothicEntry);
        ASSERT_TRUE(LoadSettingsFile(PathOf("r407.dat"), kSizes, loaded));
        ExpectSameSettings(loaded, *saved);
        EXPECT_EQ(loaded.previewOpen, saved->previewOpen);
    }
}

TEST_F(SettingsFile, HistoryOfSixtySavesFifty) {
    TDialogSettings s = DefaultSettings(0);
    for (int i = 0; i < 60; ++i) {
        s.textHistory.push_back(Numbered(u"Text", i));
    }
    ASSERT_TRUE(SaveSettingsFile(PathOf("r407.dat"), s));
    TDialogSettings loaded = DefaultSettings(0);
    ASSERT_TRUE(LoadSettingsFile(PathOf("r407.dat"), kSizes, loaded));
    EXPECT_EQ(loaded.textHistory, Lines(s.textHistory.begin(), s.textHistory.begin() + 50));
}

TEST_F(SettingsFile, AngleListOrderAfterOk) {
    TDialogSettings s = DefaultSettings(0);
    UpdateHistory(s.angleHistory, u"30");
    ASSERT_TRUE(SaveSettingsFile(PathOf("r407.dat"), s));
    TDialogSettings loaded = DefaultSettings(0);
    ASSERT_TRUE(LoadSettingsFile(PathOf("r407.dat"), kSizes, loaded));
    EXPECT_EQ(loaded.angleHistory, (Lines{u"0", u"90", u"-90", u"180", u"30"}));
}

TEST_F(SettingsFile, EncodingsByByteOrderMark) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    // "文字" in each encoding, as the text of line 2.
    const Case cases[] = {
        {"ANSI code page without a mark", std::string("10\r\n20\r\n\x95\xB6\x8E\x9A\r\n")},
        {"UTF-8", std::string("\xEF\xBB\xBF"
                              "10\r\n20\r\n\xE6\x96\x87\xE5\xAD\x97\r\n")},
        {"UTF-16LE", Utf16Bytes(u"10\n20\n文字\n", false)},
        {"UTF-16BE", Utf16Bytes(u"10\r\n20\r\n文字", true)},
        {"LF only, no end", std::string("10\n20\n\x95\xB6\x8E\x9A")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes("r407.dat", c.bytes);
        TDialogSettings s = DefaultSettings(0);
        ASSERT_TRUE(LoadSettingsFile(PathOf("r407.dat"), kSizes, s));
        EXPECT_EQ(s.left, 10);
        EXPECT_EQ(s.top, 20);
        EXPECT_EQ(s.text, u"文字");
    }
}

TEST_F(SettingsFile, MissingFileLeavesTheSettings) {
    TDialogSettings s = Changed();
    EXPECT_FALSE(LoadSettingsFile(PathOf("none.dat"), kSizes, s));
    EXPECT_FALSE(LoadSettingsFile(PathOf(""), kSizes, s));
    ExpectSameSettings(s, Changed());
}

TEST_F(SettingsFile, FailedSaveKeepsTheOldFile) {
    WriteBytes("old.dat", "old settings\r\n");
    fs::create_directory(dir_ / "folder.dat");

    // The target is a folder, or its folder does not exist.
    EXPECT_FALSE(SaveSettingsFile(PathOf("folder.dat"), Changed()));
    EXPECT_FALSE(SaveSettingsFile(PathOf("missing/r407.dat"), Changed()));
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.dat"));
    EXPECT_TRUE(fs::is_empty(dir_ / "folder.dat"));

#if defined(__unix__)
    // The file cannot be written in full: writes past the size limit fail.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveSettingsFile(PathOf("old.dat"), Changed());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes("old.dat"), "old settings\r\n");

    // The folder is not writable (root may write anyway).
    if (::geteuid() != 0) {
        fs::permissions(dir_,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        EXPECT_FALSE(SaveSettingsFile(PathOf("old.dat"), Changed()));
        fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::add);
        EXPECT_EQ(ReadBytes("old.dat"), "old settings\r\n");
    }
#endif

    // Nothing half-written is left behind.
    EXPECT_EQ(TestSupport::Names(dir_), (std::vector<std::string>{"folder.dat", "old.dat"}));
}

}  // namespace

namespace {

// The fixed lines of a file the dialog wrote, followed by histories as given.
std::string FileWithHistories(const std::vector<std::u16string>& texts, int textCount,
                              const std::vector<std::u16string>& angles) {
    Lines lines = SettingsLines(DefaultSettings(0));
    lines.resize(138);
    lines.push_back(Numbered(u"", textCount));
    lines.insert(lines.end(), texts.begin(), texts.end());
    lines.push_back(Numbered(u"", static_cast<int>(angles.size())));
    lines.insert(lines.end(), angles.begin(), angles.end());
    std::string bytes = "\xEF\xBB\xBF";
    for (const std::u16string& line : lines) {
        AppendUtf8(bytes, line);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace

// A damaged file may hold far more history than the dialog ever writes: only the first 50
// entries of each history are read, each as far as its box accepts, and the angle history
// is still found after the count of text entries that the file gives.
TEST_F(SettingsFile, DamagedHistoriesAreReadAsFarAsTheBoxesGo) {
    Lines texts;
    for (int i = 0; i < 20000; ++i) {
        texts.push_back(Numbered(u"t", i % 100));  // each entry 200 times over
    }
    const std::u16string emoji = u"\U0001F600";
    // The box's limit falls in the middle of the last pair: the whole pair goes.
    const std::u16string longText = std::u16string(kTextMaxLength - 1, u'a') + emoji + u"tail";
    texts[1] = longText;
    texts[2] = u"T0";  // the same as entry 0 but for letter case
    const Lines angles{u"45", std::u16string(kAngleMaxLength + 10, u'9')};
    WriteBytes("r407.dat", FileWithHistories(texts, 20000, angles));

    TDialogSettings s = DefaultSettings(0);
    ASSERT_TRUE(LoadSettingsFile(PathOf("r407.dat"), kSizes, s));
    ASSERT_EQ(s.textHistory.size(), 49u);
    EXPECT_EQ(s.textHistory[0], u"t0");
    EXPECT_EQ(s.textHistory[1], std::u16string(kTextMaxLength - 1, u'a'));
    EXPECT_EQ(s.textHistory[2], u"t3");
    EXPECT_EQ(s.textHistory.back(), u"t49");
    EXPECT_EQ(s.angleHistory,
              (Lines{u"0", u"90", u"-90", u"180", u"45", std::u16string(kAngleMaxLength, u'9')}));
}
