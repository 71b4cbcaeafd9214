// The line scanner that sizes the lists before a file is read: for every line, the key and the
// token count that the reader's tokenizer finds, wherever the line falls on the scanner's
// 64-byte chunks.
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavLineScan.h"

namespace {

struct TShape {
    std::string key;
    int count = 1;
    bool verbatim = false;
    bool operator==(const TShape&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TShape& s) {
    return out << "key \"" << s.key << "\", " << s.count << " tokens"
               << (s.verbatim ? ", verbatim" : "");
}

std::vector<TShape> Scan(std::string_view bytes) {
    std::vector<TShape> shapes;
    DavLineScan::ForEachLine(bytes, [&](const DavLineScan::TLineShape& s) {
        shapes.push_back({std::string(bytes.substr(s.keyStart, s.keyEnd - s.keyStart)), s.count,
                          s.verbatim});
    });
    return shapes;
}

// The tokenizer's rules byte by byte: leading blanks and tabs skipped, the key up to the first
// blank, tab, double quote or equals sign, one more token for each later run of blanks and
// tabs, nothing counted after a double quote or an equals sign.
std::vector<TShape> Reference(std::string_view bytes) {
    const auto isSeparator = [](char c) { return c == ' ' || c == '\t'; };
    const auto isQuote = [](char c) { return c == '"' || c == '='; };
    std::vector<TShape> shapes;
    size_t i = 0;
    while (i < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", i);
        const std::string_view line = bytes.substr(i, end - i);
        TShape s;
        size_t k = 0;
        while (k < line.size() && isSeparator(line[k])) {
            ++k;
        }
        const size_t keyStart = k;
        while (k < line.size() && !isSeparator(line[k]) && !isQuote(line[k])) {
            ++k;
        }
        s.key = std::string(line.substr(keyStart, k - keyStart));
        for (; k < line.size(); ++k) {
            if (isQuote(line[k])) {
                s.verbatim = true;
                break;
            }
            if (isSeparator(line[k]) && !isSeparator(line[k - 1])) {
                ++s.count;
            }
        }
        shapes.push_back(s);
        i = end + 1;
    }
    return shapes;
}

TEST(LineScan, NamedCases) {
    const struct {
        const char* bytes;
        std::vector<TShape> shapes;
    } cases[] = {
        {"ci 1 2 3\r\n", {{"ci", 4}, {"", 1}}},
        {"  \t12.5 -3 0 4\n", {{"12.5", 4}}},
        {"pt 1 2 \n", {{"pt", 4}}},  // a blank at the end starts an empty token
        {"ch 0 0 1 0 \"a b  c\n", {{"ch", 6, true}}},
        {"file=C:\\a b\n", {{"file", 1, true}}},
        {"\"quoted\n", {{"", 1, true}}},
        {"   \n\n\r", {{"", 1}, {"", 1}, {"", 1}}},
        {"lgn\t\tname\n", {{"lgn", 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(Scan(c.bytes), c.shapes);
        EXPECT_EQ(Reference(c.bytes), c.shapes);
    }
}

// Random lines of the bytes that matter (and a multi-byte character), up to a few hundred
// bytes long, so that keys, runs of blanks, quotes and line breaks fall on every position of a
// chunk and across chunks.
TEST(LineScan, AgreesWithTheTokenizerRulesOnRandomLines) {
    std::mt19937 rng(407);
    const std::string alphabet[] = {" ", "\t", "  ", "\"", "=", "a", "12.5", "-",
                                    "\xE5\x9B\xB3", "\r\n", "\n", "\r", "xyzxyzxyzxyz"};
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        const int pieces = static_cast<int>(rng() % 200);
        for (int k = 0; k < pieces; ++k) {
            bytes += alphabet[rng() % std::size(alphabet)];
        }
        bytes += '\n';
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(Scan(bytes), Reference(bytes));
    }
}

}  // namespace
