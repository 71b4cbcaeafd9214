// fuzz_TempFileWriteBack: the host's exchange file read and its whole model written back, then
// the written file read and written again until it is stable. The first byte chooses the
// write-back (grouped or plain) and whether a set of overrides applies; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>  // for std::abort
#include <string>
#include <string_view>

#include "exchange/DavGaibu.h"
#include "fuzz/FuzzModel.h"
#include "tests/unit/ModelCheck.h"
#include "util/Platform.h"

namespace {

constexpr size_t kMaxInput = size_t{1} << 16;
// The write-back of a model read from kMaxInput bytes stays well below this.
constexpr size_t kMaxOutput = size_t{64} << 20;

void Require(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// Forced values that each writer treats in its own way: a layer group out of range, a layer,
// colour 10 with an RGB value, a line type, a width, a text colour and a base point.
constexpr TDavOverrides kForced{16, 3, 10, 2, 1, 4, 7, 255};

// Reads bytes as the host's file and writes the whole model back; returns the saved bytes.
std::string ReadAndWriteBack(std::string_view bytes, bool grouped, const TDavOverrides& o) {
    TJGdata& jg = FuzzModel::Fresh();
    jg.OpenTempBytes(bytes);
    Require(ModelCheck::Problem(jg).empty());
    // The host's current layer, which the write-back restores at the end, is taken from the
    // first layer line; the attributes sent for a dropped entity can change which that is.
    jg.CurLGrp = 0;
    jg.CurLay = 0;
    jg.S_Init();
    if (grouped) {
        jg.S_EntAllp(o.a1, o.a2, o.a3, o.a4, o.a5, o.a6, o.a7, o.a8);
    } else {
        jg.S_EntAll(o.a1, o.a2, o.a3, o.a4, o.a5, o.a6, o.a7, o.a8);
    }
    std::string out = jg.TempFileBytes();
    Require(out.size() <= kMaxOutput);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > kMaxInput) {
        return -1;
    }
    Platform::SetDecimalSeparator(u'.');
    const bool grouped = (data[0] & 1) != 0;
    const TDavOverrides first = (data[0] & 2) != 0 ? kForced : TDavOverrides{};
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    // The first write drops what cannot be written (degenerate geometry, blocks) and applies
    // the overrides, but may still send attributes for what it dropped; the second write of
    // that file is a fixed point of reading and writing.
    // A write that gives back its own input is that fixed point already, and a third round
    // would only repeat the second.
    const std::string once = ReadAndWriteBack(input, grouped, first);
    const std::string twice = ReadAndWriteBack(once, grouped, TDavOverrides{});
    if (twice != once) {
        Require(ReadAndWriteBack(twice, grouped, TDavOverrides{}) == twice);
    }
    return 0;
}
