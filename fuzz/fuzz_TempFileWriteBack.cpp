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

// The host's current attributes: what the write-back ends with (layer group and layer) and what
// an entity's out-of-range value stands for (text type and sizes, width, font). They are taken
// from the first attribute line of each kind, and the first write-back may still send the
// attributes of an entity it then drops, which changes which line is first. The host keeps its
// settings between the rounds, so every round writes with those read in the first.
struct THostCurrent {
    int lgrp = 0, lay = 0, wid = 0, mjs = 1, mjsC = 1;
    double mjsW = 2.0, mjsH = 2.0, mjsD = 0.0;
    std::u16string font;

    static THostCurrent Of(const TJGdata& jg) {
        return {jg.CurLGrp, jg.CurLay,  jg.CurWid,  jg.CurMjs, jg.CurMjsC,
                jg.CurMjsW, jg.CurMjsH, jg.CurMjsD, jg.CurFont};
    }
    void To(TJGdata& jg) const {
        jg.CurLGrp = lgrp;
        jg.CurLay = lay;
        jg.CurWid = wid;
        jg.CurMjs = mjs;
        jg.CurMjsC = mjsC;
        jg.CurMjsW = mjsW;
        jg.CurMjsH = mjsH;
        jg.CurMjsD = mjsD;
        jg.CurFont = font;
    }
};

// Reads bytes as the host's file and writes the whole model back; returns the saved bytes.
// The first round keeps the host's current attributes in host, the others write with them.
std::string ReadAndWriteBack(std::string_view bytes, bool grouped, const TDavOverrides& o,
                             THostCurrent& host, bool firstRound) {
    TJGdata& jg = FuzzModel::Fresh();
    jg.OpenTempBytes(bytes);
    Require(ModelCheck::Problem(jg).empty());
    if (firstRound) {
        host = THostCurrent::Of(jg);
    } else {
        host.To(jg);
    }
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
    THostCurrent host;
    const std::string once = ReadAndWriteBack(input, grouped, first, host, true);
    const std::string twice = ReadAndWriteBack(once, grouped, TDavOverrides{}, host, false);
    if (twice != once) {
        Require(ReadAndWriteBack(twice, grouped, TDavOverrides{}, host, false) == twice);
    }
    return 0;
}
