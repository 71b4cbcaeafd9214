// ZivWriteBackNote: what the library's write-back does with an entity of a model, as the
// entity's kind describes it (DavKinds.h, Note).
#include "ziv/ZivWriteBackNote.h"

#include "exchange/DavKinds.h"

const char* WriteBackNote(const TJGdata& jg, TDavEntNo en) {
    const char* note = nullptr;
    DavKinds::VisitKind(en.yn, [&](auto k) {
        using K = decltype(k);
        if (const typename K::Rec* e = K::At(jg, en.no)) {
            note = K::Note(*e);
        }
    });
    return note;
}
