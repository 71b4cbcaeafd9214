// DavGaibu: the exchange object's model, its loading and saving, and its command buffer.
#include "exchange/DavGaibu.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>  // for std::move
#include <vector>

#include "exchange/DavKeys.h"
#include "exchange/DavKinds.h"
#include "exchange/DavReader.h"
#include "exchange/DavRules.h"
#include "util/MyFunc.h"
#include "util/Platform.h"
#include "util/TextFile.h"

namespace {

// The host's default font; an ordinary blank separates the two words.
constexpr std::u16string_view kDefaultFont = u"<ＭＳ ゴシック>";
// Written in place of an empty command buffer: the host's "quit", nothing to do.
constexpr std::u16string_view kEmptyResult = DavKeys::kQuit;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
using DavRules::kLayerGroups;
using DavRules::kLayers;
using DavRules::kPickedPointSlots;

// Lines are converted to the legacy code page in batches of about this many code units.
constexpr size_t kEncodeBatch = size_t{1} << 16;

template <class T>
void Release(std::vector<T>& list) {
    std::vector<T>().swap(list);
}

// Calls f(line) for every line the saved file holds.
template <class F>
void ForEachSavedLine(const TJGdata& jg, F&& f) {
    const int n = TJGdata::CountIn(jg.t_MemN, jg.t_Mem);
    if (n == 0) {
        f(kEmptyResult);
        return;
    }
    for (int i = 0; i < n; ++i) {
        f(std::u16string_view(jg.t_Mem[static_cast<size_t>(i)]));
    }
}

// The saved file: UTF-8 with its mark when the host's file was UTF-8, else the legacy code
// page; every line ends with CR LF.
void BuildTempFileBytes(const TJGdata& jg, std::string& out) {
    out.clear();
    size_t units = 0;
    ForEachSavedLine(jg, [&](std::u16string_view line) { units += line.size() + 2; });
    if (jg.MojiCode) {
        out.reserve(kUtf8Mark.size() + units);
        out += kUtf8Mark;
        ForEachSavedLine(jg, [&](std::u16string_view line) {
            AppendUtf8(out, line);
            out += kLineEnd;
        });
        return;
    }
    out.reserve(units);
    std::u16string batch;
    const auto flush = [&]() {
        out += Platform::EncodeAnsi(batch);
        batch.clear();
    };
    ForEachSavedLine(jg, [&](std::u16string_view line) {
        batch += line;
        batch += u"\r\n";
        if (batch.size() >= kEncodeBatch) {
            flush();
        }
    });
    if (!batch.empty()) {
        flush();
    }
}

}  // namespace

TJGdata::TJGdata() {
    DataInit();
}

TJGdata::~TJGdata() {
    DataFree();
}

void TJGdata::DataInit() {
    // The writer's reset covers every writer field but the one-shot and group state.
    S_Init();
    w_IPNo = 0;
    w_Attr = 0;
    w_CrvNo = 0;
    w_CrvFl = false;
    w_DimFl = false;

    // RGB keeps the host's colour table: the only field a reset leaves alone.
    MojiCode = false;
    Jikukaku = 0.0;
    ZumenFile.clear();
    LGrpScale.fill(1.0);
    ZumenXsize = 1189.0;
    ZumenYsize = 841.0;
    Mojisyu.fill(TDavMojisyu{});
    Zusun = false;
    AreaX1 = AreaY1 = AreaX2 = AreaY2 = 0.0;

    CurLGrp = 0;
    CurLay = 0;
    CurCol = 1;
    CurLtp = 1;
    CurWid = 0;
    CurMjs = 1;
    CurMjsW = 2.0;
    CurMjsH = 2.0;
    CurMjsD = 0.0;
    CurMjsC = 1;
    CurFont.clear();

    IPoints.assign(kPickedPointSlots, TDavIndPoint{});
    IPointN = 0;
    WidF = false;
    LGrpStat.assign(kLayerGroups, 0);
    LGrpName.assign(kLayerGroups, std::u16string());
    LayStat.assign(kLayers, 0);
    LayName.assign(kLayers, std::u16string());

    EntN = 0;
    Release(EntNo);
    DavKinds::ForEachKind([this](auto k) {
        using K = decltype(k);
        K::CountOf(*this) = 0;
        Release(K::ListOf(*this));
    });
    EntSunLine = TDavEntLine{};
    EntSunLine.att.Col = 1;
    EntSunLine.att.Ltp = 1;
    EntSunLine.x2 = 1.0;

    t_MemN = 0;
    Release(t_Mem);
    t_PLineN = 0;
    Release(t_PLine);

    aCol = 0;
    aSCol = 0;
}

// Releases the storage of the tables and lists. The count of each released list becomes 0, so
// that the object stays usable: an appender after DataFree starts a new list, a save writes the
// empty result. The host's settings and the writer's state stay as they are.
void TJGdata::DataFree() {
    Release(LGrpStat);
    Release(LGrpName);
    Release(LayStat);
    Release(LayName);
    Release(IPoints);
    IPointN = 0;
    Release(EntNo);
    EntN = 0;
    DavKinds::ForEachKind([this](auto k) {
        using K = decltype(k);
        K::CountOf(*this) = 0;
        Release(K::ListOf(*this));
    });
    Release(t_Mem);
    t_MemN = 0;
    Release(t_PLine);
    t_PLineN = 0;
}

// The reader (DavReader.h) reads the file; a missing or unreadable file leaves the model as it
// is and reads nothing.
bool TJGdata::OpenTempFile(const std::u16string& fn) {
    MojiCode = false;
    openFault_ = DavReader::TReader(*this).ReadFile(fn);
    return openFault_ == TDavOpenFault::None;
}

bool TJGdata::OpenTempBytes(std::string_view bytes) {
    openFault_ = DavReader::TReader(*this).ReadBytes(bytes);
    return openFault_ == TDavOpenFault::None;
}

// Resets the writer: with every force flag set, the first command of each kind is written
// whatever the host's file held. The one-shot and group state is left as reading left it.
void TJGdata::S_Init() {
    w_FlgLGrp = w_FlgLay = w_FlgCol = w_FlgLtp = w_FlgWid = true;
    w_FlgMjs = w_FlgMbs = w_FlgFont = w_FlgPCol = w_FlgSCol = true;
    w_LGrp = 0;
    w_Lay = 0;
    w_Col = 1;
    w_Ltp = 1;
    w_Wid = 0;
    w_Mjs = 1;
    w_MjsW = 2.0;
    w_MjsH = 2.0;
    w_MjsD = 0.0;
    w_MjsC = 1;
    w_Mbs = 0;
    w_Font = kDefaultFont;
    w_PtCol = 1;
    w_SlCol = 0;
}

void TJGdata::SinkMemIfFull() {
    if (t_MemSink && t_MemN >= t_MemSinkEvery) {
        t_MemSink(*this);
    }
}

void TJGdata::SendMem(const std::u16string& s) {
    GrowAppend(t_Mem, t_MemN) = s;
    SinkMemIfFull();
}

void TJGdata::SendMem(std::u16string&& s) {
    GrowAppend(t_Mem, t_MemN) = std::move(s);
    SinkMemIfFull();
}

// Replaces fn with the command buffer. A failed save leaves no exchange file behind, so the
// host never executes its own input as commands; the buffer stays as it is.
bool TJGdata::SaveTempFile(const std::u16string& fn) {
    std::string bytes;
    BuildTempFileBytes(*this, bytes);
    if (WriteFileReplacing(fn, bytes)) {
        return true;
    }
    if (ExistsFile(fn)) {
        RemoveFile(fn);
    }
    return false;
}

std::string TJGdata::TempFileBytes() const {
    std::string bytes;
    BuildTempFileBytes(*this, bytes);
    return bytes;
}

void TJGdata::SetEntNo(int a_yn, int a_no) {
    TDavEntNo& e = GrowAppend(EntNo, EntN);
    e.yn = a_yn;
    e.no = a_no;
}

void TJGdata::SetEntAttr(TDavEntAttr& at) const {
    at.IPNo = w_IPNo;
    at.LGrp = w_LGrp;
    at.Lay = w_Lay;
    at.Col = w_Col;
    at.Ltp = w_Ltp;
    at.Wid = w_Wid;
    at.Attr = w_Attr;
}

void TJGdata::CopyEntAttr(TDavEntAttr& a1, const TDavEntAttr& a2) {
    a1 = a2;
}

// Drops every command sent so far; a save then writes "hq" unless more are sent.
void TJGdata::StopDavGaibu() {
    t_MemN = 0;
    Release(t_Mem);
}
