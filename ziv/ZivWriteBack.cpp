// ZivWriteBack: the library's write-back, then its bytes a piece at a time.
#include "ziv/ZivWriteBack.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "exchange/DavKinds.h"

namespace {

template <class T>
void Release(std::vector<T>& list) {
    std::vector<T>().swap(list);
}

}  // namespace

void WriteModelBack(TJGdata& jg, bool plain, TZivOutput& out, std::size_t linesPerPiece) {
    // About one command line per entity and a few attribute lines: room for them at once, so
    // that the buffer is not grown by doubling, which would hold it twice for a moment.
    jg.t_Mem.reserve(static_cast<size_t>(jg.EntN) + static_cast<size_t>(jg.EntN) / 4 + 1000);
    jg.S_Init();
    if (plain) {
        jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
    } else {
        jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    }
    // The commands hold everything now: the records go before the bytes are made.
    DavKinds::ForEachKind([&](auto k) {
        using K = decltype(k);
        Release(K::ListOf(jg));
        K::CountOf(jg) = 0;
    });
    Release(jg.EntNo);
    jg.EntN = 0;

    // Each piece is encoded by the library itself, as a buffer of its own lines; the
    // byte-order mark that starts every such buffer in UTF-8 is written once.
    const size_t n = static_cast<size_t>(TJGdata::CountIn(jg.t_MemN, jg.t_Mem));
    const std::string_view mark = "\xEF\xBB\xBF";
    TJGdata piece;
    piece.MojiCode = jg.MojiCode;
    if (n == 0) {
        out.Write(piece.TempFileBytes());
        return;
    }
    for (size_t from = 0; from < n; from += linesPerPiece) {
        const size_t to = std::min(n, from + linesPerPiece);
        piece.t_Mem.clear();
        for (size_t i = from; i < to; ++i) {
            piece.t_Mem.push_back(std::move(jg.t_Mem[i]));
            std::u16string().swap(jg.t_Mem[i]);
        }
        piece.t_MemN = static_cast<int>(to - from);
        std::string bytes = piece.TempFileBytes();
        if (from > 0 && jg.MojiCode && std::string_view(bytes).starts_with(mark)) {
            bytes.erase(0, mark.size());
        }
        out.Write(bytes);
    }
    jg.StopDavGaibu();
}
