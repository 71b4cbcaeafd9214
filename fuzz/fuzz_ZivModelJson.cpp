// fuzz_ZivModelJson: a model read from JSON as `ziv write` reads it. Reading either fails with
// its one message or gives a model that keeps the model's invariants; that model dumped, read
// back and dumped again gives the same text, and its write-back ends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>  // for std::abort
#include <string>
#include <string_view>

#include "exchange/DavGaibu.h"
#include "tests/unit/ModelCheck.h"
#include "ziv/ZivDump.h"
#include "ziv/ZivError.h"
#include "ziv/ZivModelJson.h"

namespace {

constexpr size_t kMaxInput = size_t{1} << 16;

void Require(bool ok) {
    if (!ok) {
        std::abort();
    }
}

std::string Dump(const TJGdata& jg) {
    std::string text;
    TZivOutput out(&text);
    DumpModel(jg, "utf8", out);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) {
        return -1;
    }
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    TJGdata jg;
    try {
        ReadModelJson(json, jg);
    } catch (const TZivError& e) {
        Require(e.what()[0] != '\0');
        return 0;
    }
    Require(ModelCheck::Problem(jg).empty());
    const std::string first = Dump(jg);
    TJGdata again;
    try {
        ReadModelJson(first, again);
    } catch (const TZivError&) {
        std::abort();  // a dump always reads back
    }
    Require(Dump(again) == first);
    again.S_Init();
    again.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    Require(!again.TempFileBytes().empty());
    return 0;
}
