// Tests of the ziv tool: the JSON dump against golden files, the dump read back and written
// as the library writes back the host file it came from (fixtures and generated host files in
// all four encodings), the generated drawings read cleanly, hostile JSON, the audit's findings, the
// summary and the picture.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "exchange/DavReadSink.h"
#include "hostgen/HostGen.h"
#include "scene/DavScene.h"
#include "tests/support/TestSupport.h"
#include "util/Platform.h"
#include "util/TextFile.h"
#include "ziv/ZivAudit.h"
#include "ziv/ZivDraw.h"
#include "ziv/ZivDump.h"
#include "ziv/ZivError.h"
#include "ziv/ZivInfo.h"
#include "ziv/ZivLoad.h"
#include "ziv/ZivModelJson.h"
#include "ziv/ZivSvg.h"
#include "ziv/ZivWriteBack.h"

namespace fs = std::filesystem;
using TestSupport::ReadAll;

namespace {

std::string Fixture(const std::string& name) {
    return ReadAll(fs::path(R407_FIXTURES) / name);
}

std::string DumpOf(const TJGdata& jg, const std::string& encoding) {
    std::string text;
    TZivOutput out(&text);
    DumpModel(jg, encoding, out);
    return text;
}

std::string DumpOfBytes(std::string_view bytes) {
    TJGdata jg;
    jg.OpenTempBytes(bytes);
    return DumpOf(jg, EncodingName(bytes));
}

// The library's own load and write-back of a host file.
std::string LibraryWriteBack(std::string_view bytes, bool plain) {
    TJGdata jg;
    jg.OpenTempBytes(bytes);
    jg.S_Init();
    if (plain) {
        jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
    } else {
        jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    }
    return jg.TempFileBytes();
}

// What `ziv dump F | ziv write -` writes; in pieces of three lines, so that every piece
// boundary of the program's encoding is crossed.
std::string ZivWriteBack(const std::string& json, bool plain) {
    TJGdata jg;
    ReadModelJson(json, jg);
    std::string bytes;
    TZivOutput out(&bytes);
    WriteModelBack(jg, plain, out, 3);
    return bytes;
}

// The first line where two texts differ, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b) {
    size_t line = 1, start = 0, i = 0;
    for (; i < a.size() && i < b.size() && a[i] == b[i]; ++i) {
        if (a[i] == '\n') {
            ++line;
            start = i + 1;
        }
    }
    if (i == a.size() && i == b.size()) {
        return "";
    }
    auto rest = [&](const std::string& s) { return s.substr(start, s.find('\n', start) - start); };
    return "line " + std::to_string(line) + ":\n  " + rest(a) + "\n  " + rest(b);
}

// The dump read back gives the same model (its dump is the same text) and the same bytes as
// the library's own write-back, grouped and plain.
void ExpectRoundTrip(std::string_view bytes) {
    const std::string json = DumpOfBytes(bytes);
    TJGdata again;
    ASSERT_NO_THROW(ReadModelJson(json, again));
    EXPECT_EQ(FirstDifference(DumpOf(again, EncodingName(bytes)), json), "");
    for (const bool plain : {false, true}) {
        EXPECT_EQ(FirstDifference(ZivWriteBack(json, plain), LibraryWriteBack(bytes, plain)), "")
            << "plain " << plain;
    }
}

std::vector<fs::path> FixtureFiles() {
    std::vector<fs::path> files;
    for (const auto& dir : {fs::path(R407_FIXTURES), fs::path(R407_FIXTURES) / "bad",
                            fs::path(R407_FIXTURES) / "e2e", fs::path(R407_EXAMPLES)}) {
        for (const auto& e : fs::directory_iterator(dir)) {
            if (e.is_regular_file() && e.path().extension() != ".json") {
                files.push_back(e.path());
            }
        }
    }
    return files;
}

TEST(ZivDump, GoldenJson) {
    // Every kind and every setting; lone surrogates written as U+FFFD.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"host_all_kinds_utf8_bom.txt", "ziv/host_all_kinds.json"},
        {"bad/utf16le_lone_surrogates.txt", "ziv/utf16le_lone_surrogates.json"},
    };
    for (const auto& [host, golden] : cases) {
        SCOPED_TRACE(host);
        EXPECT_EQ(DumpOfBytes(Fixture(host)), Fixture(golden));
    }
}

TEST(ZivDump, NumbersRoundTripExactlyAndNonFiniteOnesSurvive) {
    TJGdata jg;
    jg.A_Line(0.1, 1e-300, 123456789.123456789, -0.0);
    jg.A_Circle(1.0 / 3.0, 2e22, 7.5);
    jg.EntCirc[0].cx = std::numeric_limits<double>::infinity();
    jg.Jikukaku = std::numeric_limits<double>::quiet_NaN();
    const std::string json = DumpOf(jg, "cp932");
    EXPECT_NE(json.find("\"x1\":0.1,\"y1\":1e-300,\"x2\":123456789.12345679,\"y2\":-0.0"),
              std::string::npos);
    EXPECT_NE(json.find("\"cx\":\"inf\",\"cy\":2e+22"), std::string::npos);
    EXPECT_NE(json.find("\"Jikukaku\":\"nan\""), std::string::npos);
    TJGdata back;
    ReadModelJson(json, back);
    EXPECT_EQ(back.EntLine[0].x2, 123456789.123456789);
    EXPECT_TRUE(std::signbit(back.EntLine[0].y2));
    EXPECT_TRUE(std::isinf(back.EntCirc[0].cx));
    EXPECT_TRUE(std::isnan(back.Jikukaku));
    EXPECT_EQ(DumpOf(back, "cp932"), json);
}

TEST(ZivRoundTrip, EveryFixture) {
    for (const fs::path& f : FixtureFiles()) {
        SCOPED_TRACE(f.string());
        ExpectRoundTrip(ReadAll(f));
    }
}

// --- Generated host files: random lines of every kind (hostgen's MixedLines), in all four
// encodings, and drawings (ziv generate) in every encoding the host writes.

TEST(ZivRoundTrip, GeneratedHostFilesInFourEncodings) {
    for (std::uint32_t i = 0; i < 60; ++i) {
        for (const THostEncoding enc : {THostEncoding::Utf8, THostEncoding::Utf16Le,
                                        THostEncoding::Utf16Be, THostEncoding::Cp932}) {
            SCOPED_TRACE("file " + std::to_string(i) + " encoding " + HostEncodingName(enc));
            THostFileRequest request;
            request.profile = THostProfile::MixedLines;
            request.entities = 0;
            request.encoding = enc;
            request.seed = 407 + i;
            ExpectRoundTrip(GenerateHostFile(request));
        }
    }
}

TEST(ZivGenerate, DrawingReadsCleanlyInEveryEncoding) {
    struct TCase {
        THostEncoding encoding;
        const char* read;  // the encoding the reader tells
    };
    const TCase cases[] = {
        {THostEncoding::Utf8, "utf8"},
        {THostEncoding::Utf16Le, "utf16le"},
        {THostEncoding::Utf16Be, "utf16be"},
        {THostEncoding::Utf16LeNoMark, "utf16le"},
        {THostEncoding::Utf16BeNoMark, "utf16be"},
        {THostEncoding::Cp932, "cp932"},
    };
    THostFileRequest request;
    request.entities = 3000;
    std::u16string first;
    for (const TCase& c : cases) {
        SCOPED_TRACE(HostEncodingName(c.encoding));
        request.encoding = c.encoding;
        const std::string bytes = GenerateHostFile(request);
        EXPECT_EQ(EncodingName(bytes), c.read);
        EXPECT_EQ(AuditText(AuditHostBytes(bytes)), "");
        // The same text in every encoding, Japanese included.
        const std::u16string text = DecodeTextBytes(bytes).text;
        if (first.empty()) {
            first = text;
        }
        EXPECT_TRUE(text == first);
        EXPECT_NE(text.find(u"lyn通り芯"), std::u16string::npos);
        // As many entities as asked, every kind among them.
        TJGdata jg;
        jg.OpenTempBytes(bytes);
        EXPECT_EQ(jg.EntN, request.entities);
        for (const int n : {jg.EntLineN, jg.EntCircN, jg.EntArcN, jg.EntTextN, jg.EntPntN,
                            jg.EntMarkN, jg.EntDimN, jg.EntBlkN, jg.EntSld2N, jg.EntSld3N,
                            jg.EntSld4N, jg.EntSldCN, jg.EntSldEN, jg.EntSldON, jg.EntSldGN}) {
            EXPECT_GT(n, 0);
        }
        EXPECT_GE(jg.IPointN, 2);
    }
}

TEST(ZivGenerate, OneRequestGivesOneFileWrittenInPieces) {
    THostFileRequest request;
    request.entities = 5000;
    request.encoding = THostEncoding::Utf16Be;
    const std::string whole = GenerateHostFile(request);
    std::string joined;
    int pieces = 0;
    GenerateHostBytes(request, [&](std::string_view b) {
        joined += b;
        ++pieces;
    });
    EXPECT_GT(pieces, 1);
    EXPECT_TRUE(joined == whole);
    EXPECT_TRUE(GenerateHostFile(request) == whole);
    request.seed = 408;
    EXPECT_FALSE(GenerateHostFile(request) == whole);
    // No entities: the drawing's header alone, still a host file that reads cleanly.
    request.entities = 0;
    const std::string header = GenerateHostFile(request);
    EXPECT_EQ(AuditText(AuditHostBytes(header)), "");
    TJGdata jg;
    jg.OpenTempBytes(header);
    EXPECT_EQ(jg.EntN, 0);
}

// The generated files are the benchmarks' and the snapshot's inputs: the same bytes on every
// system and in every version, so that figures and fingerprints stay comparable. A change of
// the generator that changes them must change these numbers on purpose.
TEST(ZivGenerate, BytesAreTheSameOnEverySystem) {
    const auto fnv = [](const std::string& s) {
        std::uint64_t h = 1469598103934665603ull;
        for (const unsigned char c : s) {
            h = (h ^ c) * 1099511628211ull;
        }
        return h;
    };
    THostFileRequest drawing;
    drawing.entities = 2000;
    drawing.encoding = THostEncoding::Cp932;
    THostFileRequest mixed;
    mixed.profile = THostProfile::MixedLines;
    mixed.entities = 0;
    mixed.encodingBySeed = true;
    mixed.seed = 2654435761u;
    const std::string a = GenerateHostFile(drawing), b = GenerateHostFile(mixed);
    EXPECT_EQ(a.size(), 73637u);
    EXPECT_EQ(fnv(a), 589715203286439113ull);
    EXPECT_EQ(b.size(), 2800u);
    EXPECT_EQ(fnv(b), 7327966233141764761ull);
}

// --- JSON written by other programs.

TEST(ZivWrite, MinimalModelFromHand) {
    // Missing fields take the record's defaults; code and index may be left out; a line's
    // polyline group, which the appender does not take, is kept.
    const std::string json = R"({"settings":{"MojiCode":true},
        "entities":[
          {"kind":"EntLine","att":{"Col":3},"CrvNo":1,"x1":0,"y1":0,"x2":10,"y2":0},
          {"kind":"EntLine","att":{"Col":3},"CrvNo":1,"x1":10,"y1":0,"x2":10,"y2":10},
          {"kind":"EntText","att":{"Col":2},"cn":0,"mw":3,"mh":3,"x1":1,"y1":2,"x2":10,"y2":0,
           "fo":"<明朝>","st":"表題"}]})";
    // Read from a stream, as the program reads a file, the model is the same.
    TJGdata fromString, fromStream;
    ReadModelJson(json, fromString);
    std::istringstream in(json);
    ReadModelJson(in, fromStream);
    EXPECT_EQ(DumpOf(fromStream, "utf8"), DumpOf(fromString, "utf8"));
    EXPECT_EQ(ZivWriteBack(json, false),
              "\xEF\xBB\xBF" + ToUtf8(u"lg0\r\nly0\r\ncn0 3 3 0 2\r\ncc0\r\ncn\"$<明朝>\r\n"
                                      u"ch 1 2 10 0 \"表題\r\nlc3\r\nlt0\r\npl\r\n0 0 10 0\r\n"
                                      u"10 0 10 10\r\n#\r\n"));
}

// Escape held while the library writes back stops it; ziv write's output is whole all the same.
TEST(ZivWrite, EscapeHeldDoesNotCutTheOutput) {
    std::string host = "hk 0\r\n";
    for (int i = 0; i < 500; ++i) {
        host += std::to_string(i) + " 0 " + std::to_string(i + 1) + " 1\r\n";
    }
    const std::string expected = LibraryWriteBack(host, false);
    const std::string json = DumpOfBytes(host);
    Platform::SetEscapeProbe([] { return true; });
    EXPECT_EQ(ZivWriteBack(json, false), expected);
    Platform::SetEscapeProbe({});
}

TEST(ZivWrite, EveryEntityIsWrittenOrNamed) {
    // Each refused entity gets its own line and the reading goes on; an entity read whole that
    // the write-back leaves out (a circle of no radius, a block) is named as well; an entity
    // without attributes takes the host's current ones, also when they come after it.
    const std::string json = R"({"entities":[
          {"kind":"EntLine","x1":0,"y1":0,"x2":5,"y2":0},
          {"kind":"EntText","x1":0,"y1":0,"st":"a"},
          {"kind":"EntCirc","cx":0,"cy":0,"cr":0},
          {"x1":1},
          {"kind":"EntBlk","px":0,"py":0,"nam":"door"},
          {"kind":"EntCirc","cx":0,"cy":0,"cr":-1,"att":{"Col":7}}],
        "current":{"CurLGrp":2,"CurLay":3,"CurCol":4,"CurLtp":5,"CurWid":6}})";
    std::vector<std::string> refused, leftOut;
    TZivModelNotes notes;
    notes.refused = [&](const std::string& s) { refused.push_back(s); };
    notes.leftOut = [&](const std::string& s) { leftOut.push_back(s); };
    TJGdata jg;
    std::istringstream in(json);
    EXPECT_EQ(ReadModelJson(in, jg, notes), 2u);
    EXPECT_EQ(refused, (std::vector<std::string>{"entity 1 (EntText): missing \"x2\"",
                                                 "entity 3: missing \"kind\""}));
    ASSERT_EQ(leftOut.size(), 3u);
    EXPECT_EQ(leftOut[0].rfind("entity 2 (EntCirc): a circle without a positive radius", 0), 0u);
    EXPECT_EQ(leftOut[1].rfind("entity 4 (EntBlk): a block insert", 0), 0u);
    EXPECT_EQ(leftOut[2].rfind("entity 5 (EntCirc)", 0), 0u);
    ASSERT_EQ(jg.EntLineN, 1);
    const TDavEntAttr& a = jg.EntLine[0].att;
    EXPECT_EQ(std::vector<int>({a.LGrp, a.Lay, a.Col, a.Ltp, a.Wid}),
              std::vector<int>({2, 3, 4, 5, 6}));
    ASSERT_EQ(jg.EntCircN, 2);
    EXPECT_EQ(jg.EntCirc[1].att.Col, 7);
}

TEST(ZivWrite, HostileJsonIsRefusedWithItsPlace) {
    const std::string deep = std::string(200, '[') + std::string(200, ']');
    const std::vector<std::pair<std::string, std::string>> cases = {
        // Not JSON
        {"", "parse error at line 1, column 1"},
        {"{\"entities\":[}", "line 1, column 14"},
        {"{\n\"settings\": {\"Jikukaku\": 1,}\n}", "line 2, column 28"},
        {"{\"settings\":{\"ZumenFile\":\"\xFF\"}}", "invalid"},
        {"{\"a\":1}{", "end of input"},
        {"{\"settings\":{\"Jikukaku\":1e999}}", "1e999"},
        // Shape
        {deep, "nesting deeper than 64"},
        {"[1]", "not an object"},
        {"{\"format\":\"other\"}", "format"},
        {"{\"version\":2}", "version: 1 expected"},
        {"{\"extra\":1}", "unknown field \"extra\""},
        {"{\"settings\":{\"Jikukaku\":1,\"Jikukaku\":2}}", "duplicate key \"Jikukaku\""},
        // Entities
        {"{\"entities\":[{\"kind\":\"EntCurve\"}]}", "entity 0: unknown kind \"EntCurve\""},
        {"{\"entities\":[{\"x1\":1}]}", "entity 0: missing \"kind\""},
        {"{\"entities\":{}}", "entities: expected an array"},
        {"{\"entities\":\"x\"}", "entities: expected an array"},
        {"{\"entities\":[{\"kind\":\"EntText\",\"x1\":0,\"y1\":0,\"st\":\"a\"}]}",
         "entity 0 (EntText): missing \"x2\""},
        {"{\"entities\":[{\"kind\":\"EntCirc\",\"cx\":0,\"cy\":0}]}",
         "entity 0 (EntCirc): missing \"cr\""},
        {"{\"entities\":[{\"kind\":\"EntDim\",\"lin\":{},\"txt\":{}}]}",
         "entity 0 (EntDim).lin: missing \"x1\""},
        {"{\"entities\":[{\"kind\":\"EntLine\",\"index\":-1}]}", "index: expected 0.."},
        // Numbers JSON has no room for, with their place
        {"{\"entities\":[{\"kind\":\"EntLine\",\"x1\":1e400}]}",
         "entity 0, field \"x1\", byte 41: number overflow parsing '1e400'"},
        {"{\"entities\":[{\"kind\":\"EntLine\",\"x1\":NaN}]}",
         "entity 0, field \"x1\", parse error at line 1, column 37: NaN and Infinity are not JSON; "
         "this format writes a non-number as the string \"nan\""},
        {"{\"settings\":{\"Jikukaku\":-Infinity}}", "field \"Jikukaku\", parse error"},
        {"{\"entities\":[{\"kind\":\"EntPnt\",\"px\":0,\"py\":0},{\"kind\":\"EntLine\",\"x1\":"
         "\"1\"}]}",
         "entity 1 (EntLine).x1: expected a number"},
        {"{\"entities\":[{\"kind\":\"EntLine\",\"att\":{\"Col\":1.5}}]}",
         "entity 0 (EntLine).att.Col: expected an integer"},
        {"{\"entities\":[{\"kind\":\"EntLine\",\"CrvNo\":4294967296}]}", "-2147483648"},
        {"{\"entities\":[{\"kind\":\"EntLine\",\"code\":2}]}", "code: 1 expected"},
        {"{\"entities\":[{\"kind\":\"EntDim\",\"txt\":{\"st\":5}}]}",
         "entity 0 (EntDim).txt.st: expected a string"},
        {"{\"entities\":[{\"kind\":\"EntArc\",\"radius\":1}]}", "unknown field \"radius\""},
        {"{\"entities\":[{\"kind\":\"EntPnt\",\"px\":null}]}", "px: expected a number"},
        {"{\"entities\":[3]}", "entity 0: expected an object"},
        {"{\"entities\":[{\"kind\":\"EntPnt\",\"kind\":\"EntLine\"}]}", "duplicate key"},
        {"{\"entities\":[{\"kind\":\"EntDim\",\"lin\":{\"att\":{\"LGrp\":16}}}]}",
         "entity 0 (EntDim).lin.att.LGrp: expected 0..15"},
        {"{\"entities\":[{\"kind\":\"EntCirc\",\"att\":{\"Lay\":-1}}]}", "att.Lay: expected 0..15"},
        // Tables
        {"{\"current\":{\"CurLGrp\":22}}", "current.CurLGrp: expected 0..15"},
        {"{\"IPoints\":[{\"no\":100,\"x\":1,\"y\":1}]}", "IPoints[0].no: expected 1..99"},
        {"{\"Lay\":[{\"LGrp\":1}]}", "Lay[0]: \"Lay\" missing"},
        {"{\"settings\":{\"Mojisyu\":[{},{},{},{},{},{},{},{},{},{},{}]}}", "more than 10"},
        {"{\"settings\":{\"WidF\":1}}", "settings.WidF: expected true or false"},
    };
    for (const auto& [json, expected] : cases) {
        SCOPED_TRACE(json.substr(0, 80));
        TJGdata jg;
        try {
            ReadModelJson(json, jg);
            ADD_FAILURE() << "accepted";
        } catch (const TZivError& e) {
            EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        }
    }
}

// --- Audit.

struct TAuditCase {
    const char* fixture;
    std::vector<std::pair<int, std::string>> findings;  // line and the start of the reason
};

TEST(ZivAudit, FindingsOfTheBadInputFixtures) {
    const std::vector<TAuditCase> cases = {
        {"host_all_kinds_utf8_bom.txt", {{43, "a circular solid"}, {44, "a circular solid"}}},
        {"bad/empty.txt", {}},
        {"bad/utf8_mark_only.txt", {}},
        {"bad/only_equals_signs.txt",
         {{1, "an unknown key"},
          {2, "an unknown key"},
          {3, "an unknown key"},
          {4, "an unknown key"},
          {6, "an unknown key"}}},
        {"bad/utf8_invalid_sequences.txt",
         {{2, "bytes that are not valid UTF-8"},
          {2, "a line of no length"},
          {3, "an unknown key"},
          {3, "bytes that are not valid UTF-8"},
          {4, "bytes that are not valid UTF-8"},
          {6, "an unknown key"},
          {6, "bytes that are not valid UTF-8"}}},
        {"bad/utf16le_odd_length.txt", {{0, "the file ends in half a UTF-16 unit"}}},
        {"bad/thousands_of_tokens.txt", {{2, "a solid whose corners coincide"}}},
    };
    for (const TAuditCase& c : cases) {
        SCOPED_TRACE(c.fixture);
        const std::vector<TAuditFinding> got = AuditHostBytes(Fixture(c.fixture));
        ASSERT_EQ(got.size(), c.findings.size()) << AuditText(got);
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].line, c.findings[i].first) << AuditText(got);
            EXPECT_TRUE(got[i].reason.starts_with(c.findings[i].second)) << got[i].reason;
        }
    }
}

TEST(ZivAudit, ReaderFindingsNameTheLineAndLeaveTheModelAlone) {
    const std::string host =
        "lc3\r\nlgG\r\nly7\r\ncc9\r\nhp0 1 2\r\nhhp7x\r\nsl 0 0 1 1 2\r\nfoo bar\r\n"
        "0 0 0 0\r\npt 1 2 0 0 20\r\nsl 0 0 1e-11 0 5 5\r\n";
    const std::vector<std::pair<int, std::string>> expected = {
        {2, "a layer group or layer that is not one hexadecimal digit"},
        {4, "a base point that is not one digit 0..8"},
        {5, "a picked-point number outside 1..99"},
        {6, "not a picked-point number 1..99"},
        {7, "a known key with a number of values that no form of it takes"},
        {8, "an unknown key"},
        {9, "a line of no length"},
        {10, "a marker code outside -7..11"},
        {11, "a solid whose corners coincide"},
    };
    const std::vector<TAuditFinding> got = AuditHostBytes(host);
    ASSERT_EQ(got.size(), expected.size()) << AuditText(got);
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].line, expected[i].first);
        EXPECT_TRUE(got[i].reason.starts_with(expected[i].second)) << got[i].reason;
    }
    EXPECT_EQ(AuditText(got).substr(0, 2), "2:");
    // The observer changes nothing the reader does.
    EXPECT_EQ(DumpOfBytes(host), [&] {
        TJGdata jg;
        struct TQuiet : TDavReadSink {
            void Line(std::u16string_view) override {}
            void Finding(std::string_view) override {}
        } quiet;
        jg.SetReadSink(&quiet);
        jg.OpenTempBytes(host);
        return DumpOf(jg, "cp932");
    }());
}

// --- Summary and picture.

TEST(ZivInfo, SummaryOfTheFixture) {
    TJGdata jg;
    const std::string bytes = Fixture("host_all_kinds_cp932.txt");
    jg.OpenTempBytes(bytes);
    const std::string text = InfoText(jg, EncodingName(bytes));
    for (const char* part :
         {"Encoding: Shift_JIS (code page 932)", "Axis angle: 30 degrees", "Sheet size: 594 x 420",
          "Sheet-unit mode: yes", "F=0.5", "type 10 (width 10, height 10.5, spacing 1, colour 1)",
          "group A \" 寸法グループ\": 18 entities", "layer F \" 通り芯 X\": 18 entities",
          "Font: \"<ＭＳ 明朝>\"", "12: (50, 60) (line)", "Entities: 18", "EntSldG  1"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    }
}

// The encoding is named as the library reads the file: UTF-16 without a mark as well.
TEST(ZivInfo, EncodingAsTheLibraryReadsIt) {
    const std::pair<const char*, const char*> kCases[] = {
        {"host_all_kinds_utf8_bom.txt", "utf8"},
        {"host_all_kinds_cp932.txt", "cp932"},
        {"host_all_kinds_utf16le_bom.txt", "utf16le"},
        {"host_all_kinds_utf16le_nomark.txt", "utf16le"},
        {"host_all_kinds_utf16be_nomark.txt", "utf16be"},
    };
    for (const auto& [file, name] : kCases) {
        SCOPED_TRACE(file);
        EXPECT_EQ(EncodingName(Fixture(file)), name);
    }
}

TEST(ZivDraw, PictureHoldsEveryPrimitiveInsideItsBox) {
    TJGdata jg;
    jg.OpenTempBytes(Fixture("host_all_kinds_utf8_bom.txt"));
    const DavScene::TScene scene = DavScene::BuildScene(jg);
    const std::string svg = SceneSvg(scene);
    auto count = [&](const std::string& s) {
        size_t n = 0;
        for (size_t p = svg.find(s); p != std::string::npos; p = svg.find(s, p + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count("class=\"picked\""), 5u);
    EXPECT_EQ(count("class=\"text\""), 3u);  // two texts and the dimension's
    EXPECT_EQ(count("class=\"marker\""), 1u);
    EXPECT_EQ(count("<text "), 3u + 5u);
    EXPECT_NE(svg.find(">日本語 の テキスト</text>"), std::string::npos);
    EXPECT_EQ(count("<svg "), 1u);
    EXPECT_EQ(count("</svg>"), 1u);
    // An empty model is a valid, empty picture.
    TJGdata empty;
    EXPECT_NE(SceneSvg(DavScene::BuildScene(empty)).find("viewBox=\"0 0 "), std::string::npos);
}

TEST(ZivDraw, WhatIsNotFiniteIsLeftOutAndCounted) {
    // The frame is fitted to what is finite, even across the whole range of numbers; a
    // primitive with a number that is not finite never reaches the picture.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    DavScene::TScene scene;
    auto add = [&](DavScene::TPrimKind kind, std::initializer_list<double> g) {
        DavScene::TScenePrim p;
        p.kind = kind;
        std::copy(g.begin(), g.end(), p.g);
        scene.prims.push_back(p);
    };
    add(DavScene::TPrimKind::Line, {-1.7e308, 0, 1.7e308, 0});
    add(DavScene::TPrimKind::Line, {0, 0, inf, 5});
    add(DavScene::TPrimKind::Arc, {0, 0, nan, 1, 0, 0, 360, 0});
    add(DavScene::TPrimKind::Point, {1e308, 1e308});
    const TSvgLayer layer{&scene, false};
    size_t leftOut = 0;
    const std::string svg = SceneSvg({&layer, 1}, 400, &leftOut);
    EXPECT_EQ(leftOut, 2u);
    EXPECT_EQ(svg.find("inf"), std::string::npos) << svg;
    EXPECT_EQ(svg.find("nan"), std::string::npos) << svg;
    EXPECT_NE(svg.find("viewBox=\"0 0 400 146\" width=\"400\" height=\"146\""), std::string::npos)
        << svg;
    EXPECT_NE(svg.find("<path d=\"M 20 125.88235 L 380 125.88235\""), std::string::npos) << svg;
}

TEST(ZivDraw, ProgramOutputTakesTheHostsTextTypes) {
    // A program's output names text type 2; the host's table gives its sizes and colour.
    TJGdata host;
    host.OpenTempBytes(
        "hcw 1 7 3 4 5 6 7 8 9 10\r\nhch 1 9 3 4 5 6 7 8 9 10\r\n"
        "hcd 0 0.5 0 0 0 0 0 0 0 0\r\nhcc 1 6 1 1 1 1 1 1 1 1\r\n");
    TJGdata output;
    output.OpenTempBytes("cn2\r\nch 0 0 1 0 \"AB\r\n");
    ASSERT_EQ(output.EntTextN, 1);
    TakeHostStyle(host, output);
    const TDavEntText& t = output.EntText[0];
    EXPECT_EQ(std::vector<double>({t.mw, t.mh, t.md}), std::vector<double>({7, 9, 0.5}));
    EXPECT_EQ(t.att.Col, 6);
}

}  // namespace
