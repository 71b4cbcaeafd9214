// ZivWriteBackNote: what the library's write-back does with an entity of a model.
#include "ziv/ZivWriteBackNote.h"

#include "exchange/DavKinds.h"
#include "exchange/DavRules.h"

const char* WriteBackNote(const TJGdata& jg, TDavEntNo en) {
    using namespace DavKinds;
    using namespace DavRules;
    const char* note = nullptr;
    VisitKind(en.yn, [&](auto k) {
        using K = decltype(k);
        const typename K::Rec* e = K::At(jg, en.no);
        if (e == nullptr) {
            return;
        }
        constexpr int code = K::kCode;
        if constexpr (code == kKindLine) {
            if (!TLine::Valid(e->x1, e->y1, e->x2, e->y2)) {
                note = "a line of no length: the write-back drops it";
            }
        } else if constexpr (code == kKindCircle) {
            if (!TCircle::Valid(e->cr)) {
                note = "a circle without a positive radius: the write-back drops it";
            }
        } else if constexpr (code == kKindArc) {
            if (!TArc::Valid(e->cr, e->he)) {
                note = "an arc without a positive radius or flatness: the write-back drops it";
            }
        } else if constexpr (code == kKindText) {
            if (!TText::Valid(e->x2, e->y2, e->st)) {
                note = "a text without direction or of blanks only: the write-back drops it";
            }
        } else if constexpr (code == kKindMark) {
            if (MarkCode(e->cod) != e->cod) {
                note = "a marker code outside -7..11: written as the default marker -3";
            } else if (OneIfNone(e->bai) != e->bai) {
                note = "a marker without scale: written with scale 1";
            }
        } else if constexpr (code == kKindDim) {
            if (!TDim::Valid(e->lin.x1, e->lin.y1, e->lin.x2, e->lin.y2, e->txt.x2, e->txt.y2)) {
                note =
                    "a dimension line of no length or a text without direction: "
                    "the write-back drops it";
            }
        } else if constexpr (code == kKindSolid2) {
            if (!TSolid2::Valid(e->x1, e->y1, e->x2, e->y2)) {
                note = "a solid whose corners coincide: the write-back drops it";
            }
        } else if constexpr (code == kKindSolid3) {
            if (!TSolid3::Valid(e->x1, e->y1, e->x2, e->y2, e->x3, e->y3)) {
                note = "a solid whose corners coincide: the write-back drops it";
            }
        } else if constexpr (code == kKindSolid4) {
            bool quad = false;
            bool triangle = false;
            TSolid4::Reduce(
                e->x1, e->y1, e->x2, e->y2, e->x3, e->y3, e->x4, e->y4,
                [&](double, double, double, double, double, double) { triangle = true; },
                [&] { quad = true; });
            if (!quad) {
                note = triangle
                           ? "a four-point solid with coinciding corners: written as a triangle"
                           : "a four-point solid with coinciding corners: the write-back drops it";
            }
        } else if constexpr (code == kKindSolidC || code == kKindSolidE) {
            if (!K::Valid(e->cr, e->he, e->fl)) {
                note =
                    "a circular solid without radius or flatness, or with a code the host does "
                    "not know: the write-back drops it";
            }
        } else if constexpr (code == kKindSolidO || code == kKindSolidG) {
            if (!K::Valid(e->cr, e->he, e->ri)) {
                note =
                    "a ring solid without radius or flatness, or whose inner radius is not "
                    "inside it: the write-back drops it";
            }
        }
    });
    return note;
}
