// Tests of the reader as a unit (exchange/DavReader.h): what each row of its grammar makes of a
// line, the counting pass against the parse, lines read a few at a time, and what the observer
// is told line by line. The lines' own forms (tokens, header and attribute values, encodings,
// hostile files) are TempParser_test's.
#include <iterator>  // for std::size
#include <string>
#include <string_view>
#include <utility>  // for std::pair
#include <vector>

#include <gtest/gtest.h>

#include "ModelDump.h"
#include "exchange/DavGaibu.h"
#include "exchange/DavGaibuReader.h"
#include "exchange/DavKinds.h"
#include "exchange/DavReadSink.h"
#include "exchange/DavReader.h"
#include "util/TextFile.h"

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// The kinds of the model's entities in drawing order.
std::vector<int> KindsIn(const TJGdata& jg) {
    std::vector<int> kinds;
    for (const TDavEntNo& e : TJGdata::Used(jg.EntNo, jg.EntN)) {
        kinds.push_back(e.yn);
    }
    return kinds;
}

// What the counting pass expects of the lines, by kind code (entry 0: all entities), and what
// the parse of the same lines made.
struct TCounted {
    std::vector<int> counted, parsed;
};

TCounted CountAndParse(std::u16string_view lines) {
    const std::string bytes = kBom + ToUtf8(lines) + "\n";
    DavReader::TListReserver reserver;
    reserver.Feed(bytes);
    TJGdata jg;
    EXPECT_TRUE(jg.OpenTempBytes(bytes));
    EXPECT_TRUE(ModelDump::Consistent(jg));
    TCounted c{{reserver.CountedEntities()}, {jg.EntN}};
    DavKinds::ForEachKind([&](auto kind) {
        using K = decltype(kind);
        c.counted.push_back(reserver.Counted(K::kCode));
        c.parsed.push_back(K::CountOf(jg));
    });
    return c;
}

// One row of the grammar at work: the lines and the kinds of the entities they make.
struct TRowCase {
    std::u16string lines;
    std::vector<int> makes;
};

const std::vector<TRowCase>& RowCases() {
    static const std::vector<TRowCase> cases = {
        {u"0 0 1 1", {kKindLine}},
        {u"ci 0 0 1", {kKindCircle}},
        {u"ci 0 0 1 0 90 1 0", {kKindArc}},
        {u"ch 0 0 1 0 文字", {kKindText}},
        {u"cs 0 0 1 0 文字", {kKindText}},
        {u"msg\n0 0 10 0\ncs 5 1 1 0 10", {kKindDim}},
        {u"pt 1 2", {kKindPoint}},
        {u"pt 1 2 1 0 1", {kKindMark}},
        {u"BL 1 2 部品", {kKindBlock}},
        {u"sl 0 0 1 0", {kKindSolid2}},
        {u"sl 0 0 1 0 1 1", {kKindSolid3}},
        {u"sl 0 0 1 0 1 1 0 1", {kKindSolid4}},
        {u"sc 0 0 1 1 0 0 360 0", {kKindSolidC}},
        {u"se 0 0 1 1 0 0 360 0", {kKindSolidE}},
        {u"so 0 0 2 1 0 0 360 1", {kKindSolidO}},
        {u"sg 0 0 2 1 0 0 360 1", {kKindSolidG}},
        // Rows whose key matches but whose count does not, and rows that make nothing
        {u"ci 0 0 1 0", {}},
        {u"sl 0 0 1 0 1", {}},
        {u"pt 1 2 3 4", {}},
        {u"lc3\nlt2\nz1\nhhp1\ncc4\ncn$<書体>\nlg1\nly2\nlgn名前", {}},
        {u"0 0 1", {}},
        {u"0 0 1 1 2", {}},
    };
    return cases;
}

std::u16string Repeat(std::u16string_view s, int n) {
    std::u16string out;
    for (int i = 0; i < n; ++i) {
        out += s;
    }
    return out;
}

// Lines whose counting has to follow the parse's state: pending dimensions, polyline groups,
// lines that the tokenizer cuts or joins.
const std::vector<std::pair<const char*, std::u16string>>& CountingCases() {
    static const std::vector<std::pair<const char*, std::u16string>> cases = {
        {"a dimension's own line is no entity", u"msg\n0 0 1 1\n0 0 2 2\ncs 0 0 1 0 10"},
        {"attribute lines leave a dimension pending", u"msg\nlc3\n0 0 1 1\nz1\ncs 0 0 1 0 1"},
        {"another entity ends a pending dimension", u"msg\nci 0 0 1\n0 0 1 1\ncs 0 0 1 0 1"},
        {"a text of another kind ends it", u"msg\n0 0 1 1\nch 0 0 1 0 a\ncs 0 0 1 0 1"},
        {"a polyline or group end ends it", u"msg\npl\n0 0 1 1\n#\nmsg\n#\ncs 0 0 1 0 1"},
        {"a dimension without its line", u"msg\ncs 0 0 1 0 10\n0 0 1 1"},
        {"line breaks of every kind", u"ci 0 0 1\r\n0 0 1 1\r0 0 2 2\n\r\n\rpt 1 2"},
        {"blanks, tabs and a blank at the end", u"  ci\t0  0 \t1\n0 0 1 1 \nci 0 0 1 \t"},
        {"a quote ends the tokens", u"ch 0 0 1 0 \"a b c d e\nch \"0 0 1 0 a\n\"0 0 1 1"},
        {"an equals sign ends them", u"0 0 1=1\n0=0 1 1\nfile=a b c\n0 0 1 1="},
        {"a key longer than the counted units",
         u"00000000000000000000000000000000000000000001 0 1 1\n"
         u"sssssssssssssssssssssssssssssssssssssssssss 0 0 1 0 1 1 0 1"},
        {"more tokens than a line keeps",
         u"sl 0 0 1 0 1 1 0 1" + std::u16string(1000, u' ') + u"\nci" + Repeat(u" 1", 600)},
    };
    return cases;
}

}  // namespace

// Every row that makes an entity makes the kind its grammar row names: the parse, the row the
// grammar chooses and the counting pass agree, and every kind of the kind table is made by
// one of the cases (so that a new kind needs a case here).
TEST(Reader, EachRowMakesTheKindItNames) {
    std::vector<bool> made(DavKinds::kCount + 1, false);
    for (const TRowCase& c : RowCases()) {
        SCOPED_TRACE(ToUtf8(c.lines));
        TJGdata jg;
        DavReader::TReader(jg).ReadLines(c.lines);
        EXPECT_EQ(KindsIn(jg), c.makes);
        EXPECT_TRUE(ModelDump::Consistent(jg));
        const TCounted counted = CountAndParse(c.lines);
        EXPECT_EQ(counted.counted, counted.parsed);
        for (const int kind : c.makes) {
            made[static_cast<size_t>(kind)] = true;
        }
    }
    DavKinds::ForEachKind([&](auto kind) {
        using K = decltype(kind);
        EXPECT_TRUE(made[K::kCode]) << "no case makes kind " << K::kName;
    });
}

// The row the grammar chooses for a key and token count, and what it tells the counting pass.
TEST(Reader, TheGrammarNamesWhatEachRowMakes) {
    using DavReader::TPending;
    struct TChoice {
        std::u16string_view key;
        int count;
        bool plainKey;
        int makes;  // -1: no row takes the line
        TPending pending;
    };
    const TChoice choices[] = {
        {u"12.5", 4, true, kKindLine, TPending::TakesLine},
        {u"ci", 4, true, kKindCircle, TPending::Ends},
        {u"ci", 5, true, -1, TPending::Keeps},
        {u"ci", 400, true, kKindArc, TPending::Ends},
        {u"cs", 6, true, kKindText, TPending::TakesText},
        {u"cv", 6, true, kKindText, TPending::Ends},
        {u"sl", 5, true, kKindSolid2, TPending::Ends},
        {u"sl", 6, true, -1, TPending::Keeps},
        {u"sl", 7, true, kKindSolid3, TPending::Ends},
        {u"sl", 9, true, kKindSolid4, TPending::Ends},
        {u"msg", 1, true, 0, TPending::Opens},
        {u"pl", 1, true, 0, TPending::Ends},
        {u"#", 3, true, 0, TPending::Ends},
        {u"lc7", 1, true, 0, TPending::Keeps},
        {u"hp3ln", 3, true, 0, TPending::Keeps},
        {u"file=a b", 1, false, 0, TPending::Keeps},
        {u"file=a b", 1, true, -1, TPending::Keeps},
        {u"unknown", 3, true, -1, TPending::Keeps},
    };
    for (const TChoice& c : choices) {
        SCOPED_TRACE(ToUtf8(c.key) + " with " + std::to_string(c.count) + " tokens");
        const DavReader::TRow* row = DavReader::ChooseRow(c.key, c.count, c.plainKey);
        DavReader::TRowCache cache;
        EXPECT_EQ(cache.Choose(c.key, c.count, c.plainKey), row);
        if (c.makes < 0) {
            EXPECT_EQ(row, nullptr);
            continue;
        }
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->makes, c.makes);
        EXPECT_EQ(row->pending, c.pending);
    }
}

// The counting pass sizes the lists from the grammar's rows alone, so it has to follow what the
// parse makes of the same lines exactly: a pending dimension, the tokens' limits, the keys it
// cuts short.
TEST(Reader, TheCountingPassAgreesWithTheParse) {
    for (const auto& [name, lines] : CountingCases()) {
        SCOPED_TRACE(name);
        const TCounted c = CountAndParse(lines);
        EXPECT_EQ(c.counted, c.parsed);
        EXPECT_GT(c.parsed[0], 0);
    }
}

// Lines handed over a few at a time make the model of the whole text: what a line leaves for
// the next (the current attributes, one-shot marks, an open polyline group, a pending
// dimension) carries from one call to the next.
TEST(Reader, LinesReadInPiecesMakeTheModelOfTheWhole) {
    const std::u16string text =
        u"lg1\nly2\nlc3\nlt2\nlw5\ncc4\ncn$<書体>\nz1\nz4\nhhp2\nci 0 0 1\n"
        u"pl\n0 0 1 1\n1 1 2 2\n#\n0 0 3 3\n"
        u"msg\n0 0 10 0\ncs 5 1 1 0 10\n"
        u"lc10 255\nsl 0 0 1 0 1 1\npl\n2 2 3 3\n";
    TJGdata whole;
    DavReader::TReader(whole).ReadLines(text);
    ASSERT_EQ(whole.EntN, 7);

    TJGdata pieces;
    DavReader::TReader reader(pieces);
    size_t from = 0;
    while (from < text.size()) {
        const size_t end = text.find(u'\n', from) + 1;
        reader.ReadLines(std::u16string_view(text).substr(from, end - from));
        from = end;
    }
    EXPECT_EQ(ModelDump::Dump(pieces), ModelDump::Dump(whole));
    EXPECT_TRUE(ModelDump::Consistent(pieces));

    // As the lines of a file the model is the same; the encoding flag is the file's.
    TJGdata file;
    ASSERT_TRUE(file.OpenTempBytes(kBom + ToUtf8(text)));
    file.MojiCode = false;
    EXPECT_EQ(ModelDump::Dump(file), ModelDump::Dump(whole));
}

namespace {

// Every line the reader hands on, each with the findings that belong to it after a "|".
struct TTranscript : TDavReadSink {
    std::vector<std::string> lines;
    void Line(std::u16string_view text) override { lines.push_back(ToUtf8(text)); }
    void Finding(std::string_view reason) override {
        lines.back() += " | ";
        lines.back() += reason;
    }
};

}  // namespace

// The observer hears of every line, empty ones included, in order, and of what was skipped or
// mended in it before the next line. A malformed line changes nothing else.
TEST(Reader, TellsTheObserverOfEachLineAndWhatItSkipped) {
    const std::string untaken = " | a known key with a number of values that no form of it takes";
    const std::pair<std::u16string_view, std::string> lines[] = {
        {u"ci 0 0 1", ""},
        {u"", ""},
        {u"ci 1 2", untaken},
        {u"zz 1", " | an unknown key"},
        {u"hp0 1 2", " | a picked-point number outside 1..99: the point is ignored"},
        {u"cc9", " | a base point that is not one digit 0..8: 0 is taken"},
        {u"  ", ""},
        {u"\"", ""},
        {u"sl 0 0 1 0 1", untaken},
        {u"0 0 1 1", ""},
    };
    // The lines end with CR LF, CR and LF in turn; the last has no line break.
    std::u16string text;
    std::vector<std::string> expected;
    const std::u16string_view breaks[] = {u"\r\n", u"\r", u"\n"};
    for (size_t k = 0; k < std::size(lines); ++k) {
        text += lines[k].first;
        text += k + 1 < std::size(lines) ? breaks[k % 3] : u"";
        expected.push_back(ToUtf8(lines[k].first) + lines[k].second);
    }
    TJGdata jg;
    TTranscript transcript;
    jg.SetReadSink(&transcript);
    DavReader::TReader(jg).ReadLines(text);
    EXPECT_EQ(transcript.lines, expected);
    EXPECT_EQ(KindsIn(jg), (std::vector<int>{kKindCircle, kKindLine}));
    EXPECT_EQ(jg.IPointN, 0);
    EXPECT_EQ(jg.w_Mbs, 0);

    // Without an observer the model comes out the same.
    TJGdata quiet;
    DavReader::TReader(quiet).ReadLines(text);
    EXPECT_EQ(ModelDump::Dump(quiet), ModelDump::Dump(jg));
}

// The reader's faults are the model's OpenFault; a refused file leaves the model as it was.
TEST(Reader, ARefusedFileLeavesTheModelAsItWas) {
    TJGdata jg;
    DavReader::TReader(jg).ReadLines(u"ci 0 0 1\n");
    const std::string before = ModelDump::Dump(jg);
    const std::string tooLong = std::string(DavLimits::kMaxLineBytes + 1, 'x') + "\n0 0 1 1\n";
    EXPECT_EQ(DavReader::TReader(jg).ReadBytes(tooLong), TDavOpenFault::LineTooLong);
    EXPECT_EQ(DavReader::TReader(jg).ReadFile(u"no such folder/none.txt"), TDavOpenFault::Missing);
    EXPECT_EQ(ModelDump::Dump(jg), before);
    EXPECT_FALSE(jg.OpenTempBytes(tooLong));
    EXPECT_EQ(jg.OpenFault(), TDavOpenFault::LineTooLong);
}
