// fuzz_TempFile: the host's exchange file read in every encoding, then the whole model written
// back; the model stays consistent and the written file, read and written again, is stable.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>  // for std::abort
#include <string>
#include <string_view>

#include "exchange/DavGaibu.h"
#include "tests/unit/ModelCheck.h"
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

void CheckModel(const TJGdata& jg) {
    Require(ModelCheck::Problem(jg).empty());
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
