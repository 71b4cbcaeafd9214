// TestSupport: what the unit tests share: files read and written whole, a temporary folder of
// each test's own, and the command lines a model has sent. Only the standard library, so that
// the tests build and run on Windows as they do here.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>  // for std::move
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "util/LineBreaks.h"
#include "util/TextFile.h"

namespace TestSupport {

namespace fs = std::filesystem;

// The lines in the command buffer, in the order they were sent.
using TLines = std::vector<std::u16string>;

inline TLines Sent(const TJGdata& jg) {
    const int n = jg.t_MemN < static_cast<int>(jg.t_Mem.size()) ? jg.t_MemN
                                                                : static_cast<int>(jg.t_Mem.size());
    return TLines(jg.t_Mem.begin(), jg.t_Mem.begin() + (n > 0 ? n : 0));
}

// One row of a table of command cases: calls on a freshly reset writer and every line they
// must send.
struct TCommandCase {
    const char* what;
    std::function<void(TJGdata&)> calls;
    TLines expected;
};

inline void RunCommandCases(const std::vector<TCommandCase>& cases) {
    for (const TCommandCase& c : cases) {
        SCOPED_TRACE(c.what);
        TJGdata jg;
        jg.S_Init();
        c.calls(jg);
        EXPECT_EQ(Sent(jg), c.expected);
    }
}

// The bytes of a file; empty when it cannot be read.
inline std::string ReadAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Replaces a file with the bytes.
#ifdef R407_FIXTURES
// The bytes of a file of tests/fixtures.
inline std::string Fixture(std::string_view name) {
    return ReadAll(fs::path(R407_FIXTURES) / name);
}
#endif

inline void WriteAll(const fs::path& p, std::string_view bytes) {
    std::ofstream f(p, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The names in a folder, in alphabetical order.
inline std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A new folder under the system's temporary folder, of a name no other folder has, removed
// with everything in it when the object goes.
class TTempFolder {
public:
    explicit TTempFolder(std::string_view stem = "r407") {
        std::random_device rd;
        const fs::path base = fs::temp_directory_path();
        for (;;) {
            fs::path candidate =
                base / (std::string(stem) + "-" + std::to_string(rd()) + std::to_string(rd()));
            std::error_code ec;
            if (fs::create_directory(candidate, ec)) {
                path_ = std::move(candidate);
                return;
            }
            if (ec) {
                throw fs::filesystem_error("no temporary folder", candidate, ec);
            }
        }
    }
    // Folders a test made read-only are made writable again first, so that all goes.
    ~TTempFolder() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        for (const auto& e : fs::recursive_directory_iterator(path_, ec)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(path_, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const fs::path& Path() const { return path_; }
    fs::path operator/(std::string_view name) const { return path_ / name; }
    std::vector<std::string> Names() const { return TestSupport::Names(path_); }
    // A file name in the folder, as the exchange object takes it.
    std::u16string File(std::string_view name) const { return (path_ / name).u16string(); }

private:
    fs::path path_;
};

// The lines of a text, as the readers of the host's file and of the settings file see them.
inline std::vector<std::u16string> SplitLines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    LineBreaks::ForEachLine(text, [&lines](std::u16string_view line) { lines.emplace_back(line); });
    return lines;
}

// A byte-order mark and the text in UTF-16, little- or big-endian.
inline std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text) {
        const char lo = static_cast<char>(u & 0xFF);
        const char hi = static_cast<char>(u >> 8);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

// A test fixture with a temporary folder of each test's own (dir_).
class TTempFolderTest : public ::testing::Test {
protected:
    TTempFolder folder_;
    const fs::path& dir_ = folder_.Path();
};

}  // namespace TestSupport
