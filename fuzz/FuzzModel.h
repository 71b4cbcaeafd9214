// FuzzModel: a model for each fuzz input that is as a new TJGdata is, but that keeps the
// storage of its lists from one input to the next.
//
// The store grows each list in blocks of a thousand records, so a new model of a few entities
// allocates and clears several hundred kilobytes, which under the address sanitizer costs far
// more than reading the input. Appending resets every record it hands out, and nothing reads
// past a list's count, so storage left over from an earlier input changes nothing the model
// shows.
#pragma once

#include <utility>  // for std::swap

#include "exchange/DavGaibu.h"
#include "exchange/DavKinds.h"

namespace FuzzModel {

inline TJGdata& Fresh() {
    static TJGdata& jg = *new TJGdata;     // lives for the whole run
    static TJGdata& spare = *new TJGdata;  // holds the storage while jg is reset
    DavKinds::ForEachKind([&](auto k) {
        using K = decltype(k);
        std::swap(K::ListOf(jg), K::ListOf(spare));
    });
    std::swap(jg.EntNo, spare.EntNo);
    std::swap(jg.t_Mem, spare.t_Mem);
    jg.DataInit();
    jg.RGB = {};  // the one field a reset leaves alone
    DavKinds::ForEachKind([&](auto k) {
        using K = decltype(k);
        std::swap(K::ListOf(jg), K::ListOf(spare));
    });
    std::swap(jg.EntNo, spare.EntNo);
    std::swap(jg.t_Mem, spare.t_Mem);
    return jg;
}

}  // namespace FuzzModel
