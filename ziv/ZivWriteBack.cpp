// ZivWriteBack: the library's write-back, its bytes written a piece at a time as they are made.
#include "ziv/ZivWriteBack.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "exchange/DavKinds.h"
#include "util/Platform.h"

namespace {

template <class T>
void Release(std::vector<T>& list) {
    std::vector<T>().swap(list);
}

}  // namespace

void WriteModelBack(TJGdata& jg, bool plain, TZivOutput& out, std::size_t linesPerPiece) {
    // The commands go out as they are made, linesPerPiece at a time, each piece encoded by the
    // library itself as a buffer of its own lines; the byte-order mark that starts every such
    // buffer in UTF-8 is written once. So neither the whole buffer nor its bytes are held.
    const std::string_view mark = "\xEF\xBB\xBF";
    TJGdata piece;
    piece.MojiCode = jg.MojiCode;
    bool first = true;
    const auto drain = [&](TJGdata& from) {
        const size_t n = static_cast<size_t>(TJGdata::CountIn(from.t_MemN, from.t_Mem));
        piece.t_Mem.clear();
        for (size_t i = 0; i < n; ++i) {
            piece.t_Mem.push_back(std::move(from.t_Mem[i]));
        }
        piece.t_MemN = static_cast<int>(n);
        from.t_MemN = 0;
        std::string bytes = piece.TempFileBytes();
        if (!first && jg.MojiCode && std::string_view(bytes).starts_with(mark)) {
            bytes.erase(0, mark.size());
        }
        first = false;
        out.Write(bytes);
    };
    // The library stops its write-back when Escape is held, anywhere on the desktop, for the
    // dialog's user; a command-line tool's output must not end where a key happened to be
    // down, with its lines already written and nothing said. The key is not asked.
    Platform::SetEscapeProbe({});
    jg.t_MemSink = drain;
    jg.t_MemSinkEvery = static_cast<int>(std::clamp<std::size_t>(linesPerPiece, 1, INT32_MAX));
    jg.S_Init();
    if (plain) {
        jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
    } else {
        jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    }
    jg.t_MemSink = nullptr;
    // The last lines, or the empty buffer's bytes when there were no lines at all.
    if (first || TJGdata::CountIn(jg.t_MemN, jg.t_Mem) > 0) {
        drain(jg);
    }
    jg.StopDavGaibu();
    DavKinds::ForEachKind([&](auto k) {
        using K = decltype(k);
        Release(K::ListOf(jg));
        K::CountOf(jg) = 0;
    });
    Release(jg.EntNo);
    jg.EntN = 0;
}
