// The start-up check of the host's file: the rule that picks the problem, what the program's
// folder tells it, and the message for each problem.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/StartupCheck.h"
#include "exchange/DavGaibu.h"
#include "tests/support/TestSupport.h"
#include "util/TextFile.h"

namespace {

namespace fs = std::filesystem;

using TestSupport::TTempFolder;
using TestSupport::WriteAll;

TEST(StartupCheck, TheFirstProblemInTheOrderTheFileIsMet) {
    struct TCase {
        const char* name;
        THostFileState state;
        TStartupProblem problem;
    };
    const TCase kCases[] = {
        {"usable", {true, true, false, true}, TStartupProblem::None},
        {"missing", {false, false, false, false}, TStartupProblem::NoHostFile},
        {"unreadable", {true, false, false, false}, TStartupProblem::HostFileUnreadable},
        {"read-only file", {true, true, true, false}, TStartupProblem::FileReadOnly},
        {"read-only folder", {true, true, false, false}, TStartupProblem::FolderNotWritable},
        // An unreadable file is said as such, whatever else holds.
        {"unreadable read-only", {true, false, true, false}, TStartupProblem::HostFileUnreadable},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StartupProblem(c.state), c.problem);
    }
}

// The folder as the program finds it: the file read, the folder tried and left as it was.
TEST(StartupCheck, OpenHostFileReadsAndTriesTheFolder) {
    TTempFolder dir;
    const std::u16string host = dir.File("ZIV_TEMP.TXT");
    {
        TJGdata jg;
        EXPECT_EQ(StartupProblem(OpenHostFile(host, jg)), TStartupProblem::NoHostFile);
        EXPECT_TRUE(dir.Names().empty());
    }
    fs::create_directory(dir / "ZIV_TEMP.TXT");
    {
        TJGdata jg;
        EXPECT_EQ(StartupProblem(OpenHostFile(host, jg)), TStartupProblem::HostFileUnreadable);
    }
    fs::remove(dir / "ZIV_TEMP.TXT");
    WriteAll(dir / "ZIV_TEMP.TXT", "hp1 10 20\r\n");
    {
        TJGdata jg;
        const THostFileState state = OpenHostFile(host, jg);
        EXPECT_EQ(StartupProblem(state), TStartupProblem::None);
        EXPECT_EQ(jg.IPoints[1].x, 10.0);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"ZIV_TEMP.TXT"});
    }
    fs::permissions(dir / "ZIV_TEMP.TXT",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    {
        TJGdata jg;
        EXPECT_EQ(StartupProblem(OpenHostFile(host, jg)), TStartupProblem::FileReadOnly);
        EXPECT_FALSE(CanReplaceFile(host));
    }
    fs::permissions(dir / "ZIV_TEMP.TXT", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(CanReplaceFile(host));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"ZIV_TEMP.TXT"});
}

// Each message says what happened, names the folder and ends by saying that nothing is
// written; where OK could not write, it says what to do in the program's own name.
TEST(StartupCheck, MessagesNameTheFolderAndWhatToDo) {
    const std::u16string folder = u"C:\\作図 ツール\\r407";
    const std::u16string program = u"r407.exe";
    EXPECT_EQ(StartupMessage(TStartupProblem::None, folder, program), u"");
    struct TCase {
        TStartupProblem problem;
        std::u16string heading;
        std::u16string advice;
    };
    const TCase kCases[] = {
        {TStartupProblem::NoHostFile, u"ZIV_TEMP.TXTがありません。", u"外部変形のコマンドから"},
        {TStartupProblem::HostFileUnreadable, u"ZIV_TEMP.TXTを読み込めませんでした。",
         u"ZIV_TEMP.TXTはそのまま残します。"},
        {TStartupProblem::FileReadOnly, u"ZIV_TEMP.TXTが読み取り専用のため、文字を作図できません。",
         u"r407.exeを、書き込みのできるフォルダーに移して下さい。"},
        {TStartupProblem::FolderNotWritable,
         u"フォルダーに書き込めないため、文字を作図できません。",
         u"r407.exeを、書き込みのできるフォルダーに移して下さい。"},
    };
    for (const TCase& c : kCases) {
        const std::u16string m = StartupMessage(c.problem, folder, program);
        SCOPED_TRACE(ToUtf8(m));
        EXPECT_TRUE(m.starts_with(c.heading));
        EXPECT_NE(m.find(u"\n\nフォルダー: " + folder + u"\n"), std::u16string::npos);
        EXPECT_NE(m.find(c.advice), std::u16string::npos);
        EXPECT_TRUE(m.ends_with(u"\n\n何も書き込まずに終了します。"));
    }
    // Where the host may draw its own file's shapes again, the user learns how to undo them.
    for (TStartupProblem p : {TStartupProblem::FileReadOnly, TStartupProblem::FolderNotWritable}) {
        EXPECT_NE(StartupMessage(p, folder, program).find(u"CADで元に戻して下さい。"),
                  std::u16string::npos);
    }
}

}  // namespace
