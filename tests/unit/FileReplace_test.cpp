// Replacing the host's file and the settings file: what the user or the host set on the old
// file stays (its permissions or attributes; a read-only file is not replaced at all), and the
// temporary files of a save that was cut off are cleared away at the next start.
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include "app/Unit1Logic.h"
#include "exchange/DavGaibu.h"
#include "tests/support/TestSupport.h"
#include "util/TextFile.h"

namespace {

namespace fs = std::filesystem;
using TestSupport::ReadAll;
using TestSupport::WriteAll;

const std::string kOldHostFile = "hk 0\r\nlg0\r\n0 0 10 10\r\n";
const std::string kOldSettings = "\xEF\xBB\xBF" "120\r\n80\r\nold text\r\n";

class FileReplace : public TestSupport::TTempFolderTest {
protected:
    // The two files the program replaces, each with its old content and its save.
    struct TTarget {
        const char* name;
        std::string old;
        std::function<bool(const fs::path&)> save;
    };
    std::vector<TTarget> Targets() {
        jg_.SendMem(u"lc2");
        return {
            {"ZIV_TEMP.TXT", kOldHostFile,
             [this](const fs::path& p) { return jg_.SaveTempFile(p.u16string()); }},
            {"r407.dat", kOldSettings,
             [](const fs::path& p) { return SaveSettingsFile(p.u16string(), DefaultSettings(0)); }},
        };
    }

    TJGdata jg_;
};

void MakeReadOnly(const fs::path& p) {
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_READONLY));
#else
    fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
#endif
}

// Read-only by its mode bits or attribute, whoever runs the program (root included): the save
// fails as any failed save does. The settings file keeps every byte; the host's file is
// removed, so that the host does not run its own input as commands, unless the system refuses
// that too (Windows does not delete a read-only file).
TEST_F(FileReplace, ReadOnlyFileIsNotReplaced) {
    for (const TTarget& t : Targets()) {
        SCOPED_TRACE(t.name);
        const fs::path file = dir_ / t.name;
        WriteAll(file, t.old);
        MakeReadOnly(file);
        EXPECT_FALSE(t.save(file));
        if (fs::exists(file)) {
            EXPECT_EQ(ReadAll(file), t.old);
        }
        if (std::string(t.name) == "r407.dat") {
            EXPECT_TRUE(fs::exists(file));
        }
        // No temporary file stays behind.
        for (const std::string& name : folder_.Names()) {
            EXPECT_EQ(name, t.name);
        }
        std::error_code ec;
        fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove(file, ec);
    }
}

// A file that only some can write is no read-only file: it is replaced, and keeps its mode.
TEST_F(FileReplace, ReplacementKeepsWhatWasSetOnTheOldFile) {
    for (const TTarget& t : Targets()) {
        SCOPED_TRACE(t.name);
        const fs::path file = dir_ / t.name;
        WriteAll(file, t.old);
#ifdef _WIN32
        // The new file takes over the old one's attributes.
        ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(t.save(file));
        const DWORD attributes = GetFileAttributesW(file.c_str());
        EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
        const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write |
                               fs::perms::group_read;
        fs::permissions(file, mode);
        ASSERT_TRUE(t.save(file));
        EXPECT_EQ(fs::status(file).permissions(), mode);
#endif
        EXPECT_NE(ReadAll(file), t.old);
        EXPECT_EQ(folder_.Names(), std::vector<std::string>{t.name});
        fs::remove(file);
    }
}

// Only the temporary files of the target, by their exact form, and only once they are a
// minute old: a save under way in another process keeps its own.
TEST_F(FileReplace, StaleTemporariesAreRemoved) {
    const auto age = [&](const char* name, std::chrono::seconds old) {
        WriteAll(dir_ / name, "partial");
        fs::last_write_time(dir_ / name, fs::file_time_type::clock::now() - old);
    };
    using std::chrono::seconds;
    age("ZIV_TEMP.TXT", seconds(3600));
    age("ZIV_TEMP.TXT.0123456789ab.tmp", seconds(120));
    age("ZIV_TEMP.TXT.fedcba987654.tmp", seconds(61));
    age("ZIV_TEMP.TXT.00000000000a.tmp", seconds(5));        // being written now
    age("ZIV_TEMP.TXT.0123456789ag.tmp", seconds(120));      // not a name the save gives
    age("ZIV_TEMP.TXT.0123456789a.tmp", seconds(120));       // one digit short
    age("ZIV_TEMP.TXT.bak", seconds(120));
    age("OTHER.TXT.0123456789ab.tmp", seconds(120));
    age("r407.dat.0123456789ab.tmp", seconds(120));
    fs::create_directory(dir_ / "ZIV_TEMP.TXT.aaaaaaaaaaaa.tmp");

    RemoveStaleTemporaries((dir_ / "ZIV_TEMP.TXT").u16string());
    EXPECT_EQ(folder_.Names(),
              (std::vector<std::string>{"OTHER.TXT.0123456789ab.tmp", "ZIV_TEMP.TXT",
                                        "ZIV_TEMP.TXT.00000000000a.tmp",
                                        "ZIV_TEMP.TXT.0123456789a.tmp",
                                        "ZIV_TEMP.TXT.0123456789ag.tmp",
                                        "ZIV_TEMP.TXT.aaaaaaaaaaaa.tmp", "ZIV_TEMP.TXT.bak",
                                        "r407.dat.0123456789ab.tmp"}));
    RemoveStaleTemporaries((dir_ / "r407.dat").u16string());
    EXPECT_FALSE(fs::exists(dir_ / "r407.dat.0123456789ab.tmp"));
    // A program of a Japanese name has a settings file of that name.
    const fs::path japanese = dir_ / fs::path(u8"配置図.dat");
    const fs::path japaneseTemp = dir_ / fs::path(u8"配置図.dat.a1b2c3d4e5f6.tmp");
    WriteAll(japaneseTemp, "partial");
    fs::last_write_time(japaneseTemp, fs::file_time_type::clock::now() - seconds(300));
    RemoveStaleTemporaries(japanese.u16string());
    EXPECT_FALSE(fs::exists(japaneseTemp));
    // A folder that does not exist, or no name at all, is nothing to clear.
    RemoveStaleTemporaries((dir_ / "missing" / "ZIV_TEMP.TXT").u16string());
    RemoveStaleTemporaries(u"");
}

}  // namespace
