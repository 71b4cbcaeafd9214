// fuzz_TempFile: the host's exchange file read in every encoding, then the whole model written
// back; the model stays consistent and the written file, read and written again, is stable.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>  // for std::abort
#include <string>
#include <string_view>

#include "exchange/DavGaibu.h"
#include "util/Platform.h"

namespace {

// Large inputs only slow the search down; the reader's handling of long lines is tested apart.
constexpr size_t kMaxInput = size_t{1} << 16;
// The write-back of a model read from kMaxInput bytes stays well below this.
constexpr size_t kMaxOutput = size_t{64} << 20;

constexpr std::array<std::string_view, 4> kMarks = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};

void Require(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// EntN is the sum of the fifteen counts, and every EntNo entry names a record of its list.
void CheckModel(const TJGdata& jg) {
    const std::array<std::pair<int, size_t>, 16> lists = {{
        {0, 0},
        {jg.EntLineN, jg.EntLine.size()},
        {jg.EntCircN, jg.EntCirc.size()},
        {jg.EntArcN, jg.EntArc.size()},
        {jg.EntTextN, jg.EntText.size()},
        {jg.EntPntN, jg.EntPnt.size()},
        {jg.EntMarkN, jg.EntMark.size()},
        {jg.EntDimN, jg.EntDim.size()},
        {jg.EntBlkN, jg.EntBlk.size()},
        {jg.EntSld2N, jg.EntSld2.size()},
        {jg.EntSld3N, jg.EntSld3.size()},
        {jg.EntSld4N, jg.EntSld4.size()},
        {jg.EntSldCN, jg.EntSldC.size()},
        {jg.EntSldEN, jg.EntSldE.size()},
        {jg.EntSldON, jg.EntSldO.size()},
        {jg.EntSldGN, jg.EntSldG.size()},
    }};
    int sum = 0;
    for (size_t k = 1; k < lists.size(); ++k) {
        Require(lists[k].first >= 0 && static_cast<size_t>(lists[k].first) <= lists[k].second);
        sum += lists[k].first;
    }
    Require(jg.EntN == sum && jg.EntNo.size() >= static_cast<size_t>(jg.EntN));
    for (int i = 0; i < jg.EntN; ++i) {
        const TDavEntNo& e = jg.EntNo[static_cast<size_t>(i)];
        Require(e.yn >= 1 && e.yn <= 15);
        Require(e.no >= 0 && e.no < lists[static_cast<size_t>(e.yn)].first);
    }
    Require(jg.IPoints.size() == 100 && jg.LayStat.size() == 256 && jg.LayName.size() == 256);
    Require(jg.t_MemN >= 0 && static_cast<size_t>(jg.t_MemN) <= jg.t_Mem.size());
}

// Reads bytes as the host's file and writes the whole model back; returns the saved bytes.
std::string ReadAndWriteBack(std::string_view bytes) {
    TJGdata jg;
    jg.OpenTempBytes(bytes);
    CheckModel(jg);
    // The host's current layer, which the write-back restores at the end, is taken from the
    // first layer line; the attributes sent for a dropped entity can change which that is.
    jg.CurLGrp = 0;
    jg.CurLay = 0;
    jg.S_Init();
    jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    CheckModel(jg);
    std::string out = jg.TempFileBytes();
    Require(out.size() <= kMaxOutput);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) {
        return -1;
    }
    Platform::SetDecimalSeparator(u'.');
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::string_view mark : kMarks) {
        std::string bytes(mark);
        bytes += input;
        // The first write drops what cannot be written (degenerate geometry, blocks) but may
        // still send its attributes; from then on reading and writing give the same bytes.
        const std::string second = ReadAndWriteBack(ReadAndWriteBack(bytes));
        Require(ReadAndWriteBack(second) == second);
    }
    return 0;
}
