// KindCheck: an entity kind built like the line, with the one part that LACKS names left out;
// its check (DavKinds::CheckKind) must fail to compile with the message that names that part,
// and compile when nothing is left out.
#include <tuple>

#include "exchange/DavKinds.h"

#define LACKS_NOTHING 0
#define LACKS_NAME 1
#define LACKS_FIELDS 2
#define LACKS_FIELD 3
#define LACKS_DRAW 4
#define LACKS_NOTE 5
#define LACKS_WRITER 6

using DavKinds::Field;
using DavKinds::TLine;

struct TNewKind : DavKinds::TKind<kKindLine, TDavEntLine, &TJGdata::EntLine, &TJGdata::EntLineN> {
#if LACKS != LACKS_NAME
    static constexpr const char* kName = "New";
#endif
    static constexpr std::u16string_view kKey = u"";
#if LACKS == LACKS_FIELD
    // y2 forgotten.
    static constexpr auto kFields = std::make_tuple(
        Field("att", &Rec::att, ""), Field("CrvNo", &Rec::CrvNo, ""), Field("x1", &Rec::x1, ""),
        Field("y1", &Rec::y1, ""), Field("x2", &Rec::x2, ""));
#elif LACKS != LACKS_FIELDS
    static constexpr auto kFields = TLine::kFields;
#endif
#if LACKS != LACKS_DRAW
    template <class D>
    static void Draw(D& d, const Rec& e) {
        TLine::Draw(d, e);
    }
#endif
#if LACKS != LACKS_NOTE
    static const char* Note(const Rec& e) {
        return TLine::Note(e);
    }
#endif
#if LACKS != LACKS_WRITER
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        TLine::Style(jg, e, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) {
        TLine::Shape(jg, e);
    }
#endif
};

#if LACKS != LACKS_WRITER
template <>
struct DavKinds::TWriterOf<TNewKind> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntLine;
};
#endif

static_assert(DavKinds::CheckKind<TNewKind>::kOk);
