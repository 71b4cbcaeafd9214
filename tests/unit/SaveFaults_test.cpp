// Saves that fail: a full or read-only file system, a size limit, a read-only folder, a file
// that another program holds open. The host finds its old file or none, never a truncated one;
// the old settings file survives.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>  // for std::strerror
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

// Mounts, size limits, pipes and child processes: Linux only.
#if defined(__linux__)
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include "app/Unit1Logic.h"
#include "exchange/DavGaibu.h"
#include "tests/support/TestSupport.h"
#include "util/Platform.h"
#include "util/TextFile.h"

namespace {

namespace fs = std::filesystem;

const std::string kOldHostFile = "hk 0\r\nlg0\r\nly1\r\n0 0 10 10\r\n";
const std::string kOldSettings =
    "\xEF\xBB\xBF"
    "120\r\n80\r\nold text\r\n";

using TestSupport::Names;
using TestSupport::ReadAll;
using TestSupport::WriteAll;

// A buffer of about 400 KB: far more than the small file system holds.
void SendManyLines(TJGdata& jg) {
    for (int i = 0; i < 20000; ++i) {
        jg.SendMem(u"ch 0 0 1 0 \"line " + FromUtf8(std::to_string(i)));
    }
}

// Settings whose text history holds about 100 KB.
TDialogSettings BigSettings() {
    TDialogSettings s = DefaultSettings(0);
    s.text = u"new text";
    for (int i = 0; i < kHistoryMax; ++i) {
        s.angleHistory.push_back(std::u16string(2000, u'a') + FromUtf8(std::to_string(i)));
    }
    return s;
}

#if defined(__linux__)
// The test's own folder; the files under test live in its subfolder "fs", on which a fault
// is injected: a tmpfs of 64 KB mounted there, or limits and permissions.
class SaveFaults : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { fs::create_directories(Folder()); }

    void TearDown() override {
        if (mounted_) {
            ::umount2(Folder().c_str(), MNT_DETACH);
        }
    }

    fs::path Folder() const { return root_ / "fs"; }

    // Puts the old file in place and injects the fault named by the test's parameter. Returns
    // why the fault cannot be made here, or nothing once it is in place.
    std::optional<std::string> Inject(const std::string& file, const std::string& old) {
        const std::string fault = GetParam();
        if (fault == "ReadOnlyFolder") {
            if (::geteuid() == 0) {
                return "root writes into a read-only folder anyway";
            }
            WriteAll(Folder() / file, old);
            fs::permissions(Folder(), fs::perms::owner_read | fs::perms::owner_exec);
            return std::nullopt;
        }
        if (fault == "FileSizeLimit") {
            WriteAll(Folder() / file, old);
            return std::nullopt;  // the limit is set around the save itself
        }
        if (::mount("tmpfs", Folder().c_str(), "tmpfs", 0, "size=64k") != 0) {
            return "mounting a small tmpfs needs root (" + std::string(std::strerror(errno)) + ")";
        }
        mounted_ = true;
        WriteAll(Folder() / file, old);
        if (fault == "FullFileSystem") {
            // Fill every free block; the last write fails with ENOSPC.
            std::ofstream fill(Folder() / "filler", std::ios::binary);
            const std::string block(4096, 'f');
            while (fill.write(block.data(), static_cast<std::streamsize>(block.size()))) {
                fill.flush();
            }
        } else if (fault == "ReadOnlyFileSystem") {
            if (::mount("tmpfs", Folder().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") !=
                0) {
                return "remounting read-only failed";
            }
        }
        return std::nullopt;
    }

    // Takes the fault away again, so that the next save can succeed.
    void Clear() {
        const std::string fault = GetParam();
        std::error_code ec;
        fs::permissions(Folder(), fs::perms::owner_all, fs::perm_options::add, ec);
        if (mounted_) {
            ::mount("tmpfs", Folder().c_str(), "tmpfs", MS_REMOUNT, "size=4m");
            fs::remove(Folder() / "filler", ec);
        }
    }

    // Runs save with the fault in force; the size limit applies only during the call.
    bool SaveUnderFault(const std::function<bool()>& save) {
        if (std::string(GetParam()) != "FileSizeLimit") {
            return save();
        }
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 4096;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const bool saved = save();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        return saved;
    }

    const TestSupport::TTempFolder folder_;
    const fs::path& root_ = folder_.Path();
    bool mounted_ = false;
};

TEST_P(SaveFaults, HostFindsItsOldFileOrNoneNeverATruncatedOne) {
    if (const auto why = Inject("ZIV_TEMP.TXT", kOldHostFile)) {
        GTEST_SKIP() << *why;
    }
    const fs::path file = Folder() / "ZIV_TEMP.TXT";
    TJGdata jg;
    jg.OpenTempBytes(kOldHostFile);
    jg.S_Init();
    SendManyLines(jg);
    const int sent = jg.t_MemN;

    EXPECT_FALSE(SaveUnderFault([&] { return jg.SaveTempFile(file.u16string()); }));
    if (fs::exists(file)) {
        EXPECT_EQ(ReadAll(file), kOldHostFile);
    }
    // The buffer is kept; once the fault is gone the same commands are saved whole.
    EXPECT_EQ(jg.t_MemN, sent);
    Clear();
    ASSERT_TRUE(jg.SaveTempFile(file.u16string()));
    EXPECT_EQ(ReadAll(file), jg.TempFileBytes());
    std::vector<std::string> names = Names(Folder());
    std::erase(names, "filler");
    EXPECT_EQ(names, std::vector<std::string>{"ZIV_TEMP.TXT"});
}

TEST_P(SaveFaults, OldSettingsFileSurvivesByteForByte) {
    if (const auto why = Inject("r407.dat", kOldSettings)) {
        GTEST_SKIP() << *why;
    }
    const fs::path file = Folder() / "r407.dat";
    const TDialogSettings s = BigSettings();

    EXPECT_FALSE(SaveUnderFault([&] { return SaveSettingsFile(file.u16string(), s); }));
    EXPECT_EQ(ReadAll(file), kOldSettings);

    Clear();
    ASSERT_TRUE(SaveSettingsFile(file.u16string(), s));
    TDialogSettings back = DefaultSettings(0);
    ASSERT_TRUE(LoadSettingsFile(file.u16string(), TListSizes{}, back));
    EXPECT_EQ(SettingsLines(back), SettingsLines(s));
    std::vector<std::string> names = Names(Folder());
    std::erase(names, "filler");
    EXPECT_EQ(names, std::vector<std::string>{"r407.dat"});
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveFaults,
                         ::testing::Values("FullFileSystem", "SmallFileSystem",
                                           "ReadOnlyFileSystem", "ReadOnlyFolder", "FileSizeLimit"),
                         [](const auto& info) { return std::string(info.param); });
#endif

// A reader that opens the exchange file while it is being saved sees the previous file or the
// new one whole, never a mixture or a part. On Windows a save waits about a second for a
// reader that holds the file; a reader that never lets go (this one reads without a pause, and
// under wine on a busy machine it may hold the file through the whole wait) makes that save
// fail, and a failed save removes the host's file on purpose (where the reader lets it). So
// the folder ends with the file when the last save succeeded, and never with a temporary file.
TEST(SaveWhileRead, ReaderSeesWholeFilesOnly) {
    const TestSupport::TTempFolder folder;
    const fs::path& dir = folder.Path();
    const fs::path file = dir / "ZIV_TEMP.TXT";
    TJGdata a;
    TJGdata b;
    SendManyLines(a);
    b.SendMem(u"lc2");
    const std::string bytesA = a.TempFileBytes();
    const std::string bytesB = b.TempFileBytes();
    ASSERT_TRUE(b.SaveTempFile(file.u16string()));

    std::atomic<bool> done = false;
    int saved = 0;
    bool lastSaved = false;
    std::thread writer([&] {
        for (int i = 0; i < 40; ++i) {
            lastSaved = (i % 2 == 0 ? a : b).SaveTempFile(file.u16string());
            saved += lastSaved ? 1 : 0;
        }
        done = true;
    });
    int reads = 0;
    int bad = 0;
    while (!done) {
        std::string read;
        if (ReadFileBytes(file.u16string(), read)) {
            ++reads;
            bad += (read == bytesA || read == bytesB) ? 0 : 1;
        }
    }
    writer.join();
    EXPECT_EQ(bad, 0) << "of " << reads << " reads";
    EXPECT_GT(saved, 0);
    // Never a temporary file; the host's file, if there, is one of the two whole.
    const std::vector<std::string> names = Names(dir);
    const std::vector<std::string> onlyTheFile{"ZIV_TEMP.TXT"};
    if (lastSaved) {
        EXPECT_EQ(names, onlyTheFile);
    } else {
        EXPECT_TRUE(names.empty() || names == onlyTheFile) << saved << " of 40 saves succeeded";
    }
    std::string last;
    if (ReadFileBytes(file.u16string(), last)) {
        EXPECT_TRUE(last == bytesA || last == bytesB);
    }
}

#if defined(__linux__)
// A pipe in a file's place is not a file: reading it at start-up must not wait for a writer.
TEST(StartUpReads, NeverWaitOnAPipe) {
    const TestSupport::TTempFolder folder;
    const fs::path& dir = folder.Path();
    const struct {
        const char* name;
        std::function<void(const fs::path&)> read;
    } cases[] = {
        {"ZIV_TEMP.TXT",
         [](const fs::path& p) {
             TJGdata jg;
             jg.OpenTempFile(p.u16string());
         }},
        {"r407.dat",
         [](const fs::path& p) {
             TDialogSettings s = DefaultSettings(0);
             LoadSettingsFile(p.u16string(), TListSizes{}, s);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path p = dir / c.name;
        ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
        // The read runs in a child that an alarm ends if it blocks.
        const pid_t pid = ::fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            ::alarm(2);
            c.read(p);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "the read blocked on the pipe (ended by signal "
            << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << ")";
    }
}

#endif

#ifdef _WIN32
// Another program (a virus scanner, an indexer, the host) holds the file open without sharing
// while it is saved. Released after a moment, the save waits for it and succeeds; held
// throughout, the save fails, the old file stays whole and no temporary file is left.
TEST(SaveWhileHeld, WaitsForAShortHoldAndFailsCleanlyOnALongOne) {
    TJGdata jg;
    jg.SendMem(u"lc2");
    const TDialogSettings settings = BigSettings();
    const struct {
        const char* name;
        std::string old;
        std::function<bool(const fs::path&)> save;
        std::function<void(const fs::path&)> check;
    } cases[] = {
        {"ZIV_TEMP.TXT", kOldHostFile,
         [&](const fs::path& p) { return jg.SaveTempFile(p.u16string()); },
         [&](const fs::path& p) { EXPECT_EQ(ReadAll(p), jg.TempFileBytes()); }},
        {"r407.dat", kOldSettings,
         [&](const fs::path& p) { return SaveSettingsFile(p.u16string(), settings); },
         [&](const fs::path& p) {
             TDialogSettings back = DefaultSettings(0);
             ASSERT_TRUE(LoadSettingsFile(p.u16string(), TListSizes{}, back));
             EXPECT_EQ(SettingsLines(back), SettingsLines(settings));
         }},
    };
    const TestSupport::TTempFolder folder("r407_held");
    const fs::path& dir = folder.Path();
    const auto hold = [](const fs::path& p) {
        return CreateFileW(p.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir / c.name;
        WriteAll(file, c.old);

        HANDLE held = hold(file);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(c.save(file));
        CloseHandle(held);
        EXPECT_EQ(ReadAll(file), c.old);
        EXPECT_EQ(Names(dir), std::vector<std::string>{c.name});

        // Released once the save has written its temporary file and waits to replace.
        held = hold(file);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::thread release([&] {
            for (int k = 0; k < 5000 && Names(dir).size() < 2; ++k) {
                Sleep(1);
            }
            CloseHandle(held);
        });
        EXPECT_TRUE(c.save(file));
        release.join();
        c.check(file);
        EXPECT_EQ(Names(dir), std::vector<std::string>{c.name});
        fs::remove(file);
    }
}
#endif

}  // namespace
