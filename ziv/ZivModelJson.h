// ZivModelJson: a model built from JSON in the format the dump writes (docs/ziv-json.md).
#pragma once

#include <functional>
#include <istream>
#include <string>
#include <string_view>

#include "exchange/DavGaibu.h"

// The most entities a model read from JSON may hold.
inline constexpr int kZivMaxEntities = 100'000'000;

// Fills jg, a new model, from the JSON text. The settings, current attributes, picked points
// and layer tables are set as given; each entity is appended to its list as given, every
// field included. An entity must give its geometry (a text its x2, y2 and st, a circle its
// cr); one without att takes the host's current attributes (current.CurLGrp …).
// Throws TZivError naming the place and what was expected; jg is then incomplete and must
// not be written.
void ReadModelJson(std::string_view json, TJGdata& jg);
// The same from a stream, read as it is parsed, so that a large model is never held as text.
void ReadModelJson(std::istream& json, TJGdata& jg);

// What ziv write tells its user about single entities, one line each ("entity 12 (EntText):
// missing \"x2\"").
struct TZivModelNotes {
    // An entity that cannot be written (not an object, no kind, a required field missing, a
    // value of the wrong type or out of range). With this set, reading goes on after it.
    std::function<void(const std::string&)> refused;
    // An entity read whole that the write-back drops or changes (a circle of no radius).
    std::function<void(const std::string&)> leftOut;
};

// From a stream, reporting each refused entity and going on; returns how many were refused
// (the model must then not be written). Other faults throw TZivError as above.
size_t ReadModelJson(std::istream& json, TJGdata& jg, const TZivModelNotes& notes);
