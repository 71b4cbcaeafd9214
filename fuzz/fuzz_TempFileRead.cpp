// fuzz_TempFileRead: the host's exchange file read once, as the program reads it (the input
// brings its own byte-order mark, if any); the model keeps its invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>  // for std::abort
#include <string_view>

#include "exchange/DavGaibu.h"
#include "fuzz/FuzzModel.h"
#include "tests/unit/ModelCheck.h"

namespace {

// Large inputs only slow the search down; the reader's handling of long lines is tested apart.
constexpr size_t kMaxInput = size_t{1} << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) {
        return -1;
    }
    TJGdata& jg = FuzzModel::Fresh();
    jg.OpenTempBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!ModelCheck::Problem(jg).empty()) {
        std::abort();
    }
    return 0;
}
