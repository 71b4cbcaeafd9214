// The reader's input limits: a file larger than the largest one it takes, and a line longer
// than the longest, are refused before the model changes, and OpenFault says which limit;
// the long line is found in a file of any size and wherever it lies.
#include <cstdint>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

using TestSupport::WriteAll;

class InputLimits : public TestSupport::TTempFolderTest {
protected:
    fs::path File() const { return dir_ / "ZIV_TEMP.TXT"; }
};

// A file larger than the limit is refused from its size alone (this one is sparse: nothing of
// it is ever read).
TEST_F(InputLimits, FileLargerThanTheLimit) {
    WriteAll(File(), "ci 0 0 5\r\n");
    fs::resize_file(File(), DavLimits::kMaxFileBytes + 1);
    TJGdata jg;
    jg.A_Line(0, 0, 1, 1);
    EXPECT_FALSE(jg.OpenTempFile(File().u16string()));
    EXPECT_EQ(jg.OpenFault(), TDavOpenFault::TooLarge);
    EXPECT_EQ(jg.EntN, 1);
    EXPECT_EQ(jg.EntCircN, 0);
}

// One over-long line among ordinary ones: at the start, in the middle of a file large enough
// to be counted in two halves, after a carriage return that ends a block, and at the very end
// without a line break; and a file of nothing but NUL bytes, as /dev/zero gives.
TEST_F(InputLimits, OverlongLineAnywhere) {
    const std::string ordinary = "ci 0 0 5\r\n";
    std::string many;
    while (many.size() < (std::uintmax_t{9} << 20)) {
        many += ordinary;
    }
    const std::string longLine(DavLimits::kMaxLineBytes + 1, 'x');
    struct TCase {
        const char* name;
        std::string bytes;
    };
    const TCase cases[] = {
        {"first line", longLine + "\r\n" + ordinary},
        {"middle of a large file", many + longLine + "\r\n" + many},
        {"in the second half of a large file", many + many + longLine + "\r\n" + ordinary},
        {"at the end without a break", ordinary + longLine},
        {"after a CR at a block's end",
         std::string((std::size_t{1} << 20) - 1, 'y') + "\r" + longLine + "\n"},
        {"NUL bytes only", std::string(DavLimits::kMaxLineBytes * 3, '\0')},
        {"utf16le", "\xFF\xFE" + std::string(2 * DavLimits::kMaxLineBytes + 2, 'a')},
        {"utf16be after a short line",
         std::string("\xFE\xFF\0a\0\n", 6) + std::string(2 * DavLimits::kMaxLineBytes + 2, 'a')},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(File(), c.bytes);
        TJGdata jg;
        EXPECT_FALSE(jg.OpenTempFile(File().u16string()));
        EXPECT_EQ(jg.OpenFault(), TDavOpenFault::LineTooLong);
        EXPECT_EQ(jg.EntN, 0);
        TJGdata fromBytes;
        EXPECT_FALSE(fromBytes.OpenTempBytes(c.bytes));
        EXPECT_EQ(fromBytes.OpenFault(), TDavOpenFault::LineTooLong);
    }
}

// What is read says so; a file that is missing says that.
TEST_F(InputLimits, FaultOfAFileReadAndOfOneMissing) {
    WriteAll(File(), "ci 0 0 5\r\n" + std::string(1000, 'z') + "\r\n");
    TJGdata jg;
    EXPECT_TRUE(jg.OpenTempFile(File().u16string()));
    EXPECT_EQ(jg.OpenFault(), TDavOpenFault::None);
    EXPECT_EQ(jg.EntCircN, 1);
    EXPECT_FALSE(jg.OpenTempFile((dir_ / "none.txt").u16string()));
    EXPECT_EQ(jg.OpenFault(), TDavOpenFault::Missing);
    EXPECT_TRUE(jg.OpenTempBytes("ci 0 0 5\r\n"));
    EXPECT_EQ(jg.OpenFault(), TDavOpenFault::None);
}

}  // namespace
