// ZivModelJson: reads the JSON with a SAX parser; each entity is appended as soon as it is
// complete, so that a file of millions of entities is never held as one document. An entity
// whose "kind" comes first (as the dump writes it) is read straight into its record; any
// other is first a small document of its own.
#include "ziv/ZivModelJson.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "exchange/DavKinds.h"
#include "exchange/DavRules.h"
#include "util/TextFile.h"
#include "ziv/ZivDump.h"
#include "ziv/ZivError.h"
#include "ziv/ZivFields.h"
#include "ziv/ZivWriteBackNote.h"

namespace {

// Objects keep their members in a small vector rather than a tree: an entity has a dozen
// members at most, and a million of them are read one after another.
using json = nlohmann::ordered_json;

// Deeper nesting than this is refused: the format itself needs four levels.
constexpr size_t kMaxDepth = 64;

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// Where a field is, for the message of a refusal: built only when one is made.
struct TPlace {
    const std::string& base;
    const char* name;
};

std::string operator+(const TPlace& p, const char* text) {
    return p.base + "." + p.name + text;
}

// --- Values.

template <class W>
double ToDouble(const json& v, const W& where) {
    if (v.is_number()) {
        return v.get<double>();
    }
    if (v.is_string()) {
        const std::string& s = v.get_ref<const std::string&>();
        if (s == "inf") {
            return std::numeric_limits<double>::infinity();
        }
        if (s == "-inf") {
            return -std::numeric_limits<double>::infinity();
        }
        if (s == "nan") {
            return std::numeric_limits<double>::quiet_NaN();
        }
    }
    throw TZivError(where + ": expected a number");
}

template <class W>
int ToInt(const json& v, const W& where) {
    if (v.is_number_integer()) {
        // Signed and unsigned alike; an unsigned value too large for int64 reads as negative
        // only through get<int64_t>, so it is tested first.
        if (v.is_number_unsigned() && v.get<std::uint64_t>() > INT32_MAX) {
            throw TZivError(where + ": expected an integer from -2147483648 to 2147483647");
        }
        const std::int64_t i = v.get<std::int64_t>();
        if (i >= INT32_MIN && i <= INT32_MAX) {
            return static_cast<int>(i);
        }
    } else if (v.is_number_float()) {
        const double d = v.get<double>();
        if (d == std::floor(d) && d >= INT32_MIN && d <= INT32_MAX) {
            return static_cast<int>(d);
        }
        if (d != std::floor(d)) {
            throw TZivError(where + ": expected an integer");
        }
    } else {
        throw TZivError(where + ": expected an integer");
    }
    throw TZivError(where + ": expected an integer from -2147483648 to 2147483647");
}

template <class W>
bool ToBool(const json& v, const W& where) {
    if (!v.is_boolean()) {
        throw TZivError(where + ": expected true or false");
    }
    return v.get<bool>();
}

template <class W>
std::u16string ToText(const json& v, const W& where) {
    if (!v.is_string()) {
        throw TZivError(where + ": expected a string");
    }
    return FromUtf8(v.get_ref<const std::string&>());
}

const json& Object(const json& v, const std::string& where) {
    if (!v.is_object()) {
        throw TZivError(where + ": expected an object");
    }
    return v;
}

const json& Array(const json& v, const std::string& where, size_t most) {
    if (!v.is_array()) {
        throw TZivError(where + ": expected an array");
    }
    if (v.size() > most) {
        throw TZivError(where + ": more than " + std::to_string(most) + " entries");
    }
    return v;
}

// Layer groups and layers index the layer tables, as the reader keeps them: 0..15.
void LayerInRange(int v, const std::string& where) {
    if (v < 0 || v > DavRules::kMaxLayer) {
        throw TZivError(where + ": expected 0..15");
    }
}

// --- Records: every member of the object must be a field of the record (or one of the names
// in extra); fields that are missing keep the record's value.

class TFieldReader {
public:
    TFieldReader(const json& obj, std::string where) : obj_(obj), where_(std::move(where)) {}

    void operator()(const char* name, bool& v) {
        Take(name, [&](const json& j, const auto& w) { v = ToBool(j, w); });
    }
    void operator()(const char* name, int& v) {
        Take(name, [&](const json& j, const auto& w) { v = ToInt(j, w); });
    }
    void operator()(const char* name, double& v) {
        Take(name, [&](const json& j, const auto& w) { v = ToDouble(j, w); });
    }
    void operator()(const char* name, std::u16string& v) {
        Take(name, [&](const json& j, const auto& w) { v = ToText(j, w); });
    }
    template <class R>
    void operator()(const char* name, R& rec) {
        Take(name, [&](const json& j, const TPlace& place) {
            const std::string w = place.base + "." + place.name;
            TFieldReader inner(Object(j, w), w);
            ZivFields::Fields(rec, inner);
            inner.NoOthers({});
            if constexpr (std::is_same_v<R, TDavEntAttr>) {
                LayerInRange(rec.LGrp, w + ".LGrp");
                LayerInRange(rec.Lay, w + ".Lay");
            }
        });
    }

    // Every member was a field or one of extra.
    void NoOthers(std::initializer_list<const char*> extra) const {
        size_t known = taken_;
        for (const char* e : extra) {
            known += obj_.contains(e) ? 1 : 0;
        }
        if (known == obj_.size()) {
            return;
        }
        for (auto it = obj_.begin(); it != obj_.end(); ++it) {
            if (!Known(it.key(), extra)) {
                throw TZivError(where_ + ": unknown field " + Quoted(it.key()));
            }
        }
    }

private:
    template <class F>
    void Take(const char* name, F&& f) {
        const auto it = obj_.find(name);
        if (it == obj_.end()) {
            return;
        }
        if (taken_ < names_.size()) {
            names_[taken_] = name;
        }
        ++taken_;
        f(*it, TPlace{where_, name});
    }

    bool Known(const std::string& key, std::initializer_list<const char*> extra) const {
        for (size_t i = 0; i < taken_ && i < names_.size(); ++i) {
            if (key == names_[i]) {
                return true;
            }
        }
        for (const char* e : extra) {
            if (key == e) {
                return true;
            }
        }
        return false;
    }

    const json& obj_;
    std::string where_;
    size_t taken_ = 0;
    // The fields taken; a record has fewer than this many.
    std::array<const char*, 32> names_{};
};

// --- Entities.

// Lists grow by a quarter rather than double, so that a model read from JSON, whose counts are
// not known in advance, holds little more than its records.
template <class T>
void Headroom(std::vector<T>& list) {
    if (list.size() == list.capacity()) {
        list.reserve(list.size() + list.size() / 4 + 1000);
    }
}

// Appends the record as given, with its drawing-order entry, as the reader appends what it
// reads: the store's appenders would take the same record (or refuse a degenerate one, which
// the write-back then drops as it drops the same entity read from a host file).
template <class K>
void AppendRecord(TJGdata& jg, const typename K::Rec& rec) {
    Headroom(K::ListOf(jg));
    Headroom(jg.EntNo);
    K::Append(jg) = rec;
}

int KindCode(const std::string& name) {
    int code = 0;
    DavKinds::ForEachKind([&](auto k) {
        using K = decltype(k);
        if (name.size() > 3 && name.compare(0, 3, "Ent") == 0 &&
            name.compare(3, std::string::npos, K::kName) == 0) {
            code = K::kCode;
        }
    });
    return code;
}

// The fields an entity must give (the kind table's Given fields): its geometry, without which
// the host has nothing to draw. The others (attributes, a line's polyline group, a text's
// sizes and font, a tilt of 0) have a meaningful default. A dimension's are those of its line
// and its text.
template <class R>
std::span<const char* const> RequiredFields() {
    return DavKinds::kRequiredNames<R>;
}

std::span<const char* const> RequiredFields(int code) {
    std::span<const char* const> names;
    DavKinds::VisitKind(code, [&](auto k) { names = RequiredFields<typename decltype(k)::Rec>(); });
    return names;
}

void RequireFields(const json& obj, std::span<const char* const> names, const std::string& where) {
    for (const char* name : names) {
        if (!obj.contains(name)) {
            throw TZivError(where + ": missing " + Quoted(name));
        }
    }
}

// An entity read: its place in the model, and whether it gave its attributes.
struct TEntityRead {
    TDavEntNo en;
    bool hasAtt = true;
};

TEntityRead AddEntity(TJGdata& jg, const json& j, size_t index) {
    std::string where = "entity " + std::to_string(index);
    if (!j.is_object()) {
        throw TZivError(where + ": expected an object");
    }
    const auto kind = j.find("kind");
    if (kind == j.end()) {
        throw TZivError(where + ": missing \"kind\"");
    }
    if (!kind->is_string()) {
        throw TZivError(where + ".kind: expected a string such as \"EntLine\"");
    }
    const std::string& name = kind->get_ref<const std::string&>();
    const int code = KindCode(name);
    if (code == 0) {
        throw TZivError(where + ": unknown kind " + Quoted(name));
    }
    where += " (" + name + ")";
    if (const auto c = j.find("code"); c != j.end() && ToInt(*c, where + ".code") != code) {
        throw TZivError(where + ".code: " + std::to_string(code) + " expected for this kind");
    }
    if (const auto i = j.find("index"); i != j.end()) {
        const int at = ToInt(*i, where + ".index");
        if (at < 0 || at >= kZivMaxEntities) {
            throw TZivError(where + ".index: expected 0.." + std::to_string(kZivMaxEntities - 1));
        }
    }
    if (jg.EntN >= kZivMaxEntities) {
        throw TZivError(where + ": more than " + std::to_string(kZivMaxEntities) + " entities");
    }
    TEntityRead read;
    read.hasAtt = j.contains("att");
    DavKinds::VisitKind(code, [&](auto k) {
        using K = decltype(k);
        typename K::Rec rec{};
        TFieldReader r(j, where);
        ZivFields::Fields(rec, r);
        r.NoOthers({"kind", "code", "index"});
        RequireFields(j, RequiredFields(code), where);
        if constexpr (K::kCode == kKindDim) {
            RequireFields(j.at("lin"), RequiredFields<TDavEntLine>(), where + ".lin");
            RequireFields(j.at("txt"), RequiredFields<TDavEntText>(), where + ".txt");
        }
        AppendRecord<K>(jg, rec);
        read.en = {code, K::CountOf(jg) - 1};
    });
    return read;
}

// --- Entities read straight into their records, without a document of their own: the path
// of every entity whose first member is its "kind", as the dump writes them. Its messages are
// those of AddEntity; what it does not take (an entity without "kind" first) goes that way.

// One field of a record: where it is and what it holds.
struct TFieldSpec {
    enum class TType : std::uint8_t { Bool, Int, Double, Text, Record };
    std::string_view name;
    TType type;
    size_t offset;
    const struct TFieldTable* nested;  // records: their own fields
};

struct TFieldTable {
    std::vector<TFieldSpec> fields;
    // The field's position, or -1. The search starts at from, where the next field is in a
    // record written in the table's order, as the dump writes it.
    int Find(std::string_view name, size_t from = 0) const {
        const size_t n = fields.size();
        for (size_t k = 0; k < n; ++k) {
            const size_t i = from + k < n ? from + k : from + k - n;
            if (name == fields[i].name) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    // Whether a record that holds the fields in mask has every one of names.
    std::string Missing(std::uint32_t mask, std::span<const char* const> names) const {
        for (const char* n : names) {
            const int i = Find(n);
            if (i < 0 || (mask & (1u << i)) == 0) {
                return n;
            }
        }
        return {};
    }
    void CheckFits() const {
        if (fields.size() > 32) {
            throw std::logic_error("a record of more than 32 fields");
        }
    }
    // The fields of names as a mask of positions: what a record must have seen to hold them
    // all. A name the table lacks can never be seen: every bit, so that Missing names it.
    std::uint32_t MaskOf(std::span<const char* const> names) const {
        std::uint32_t mask = 0;
        for (const char* n : names) {
            const int i = Find(n);
            if (i < 0) {
                return ~std::uint32_t{0};
            }
            mask |= 1u << i;
        }
        return mask;
    }
};

template <class R>
const TFieldTable& FieldTable();

// Records each field's place in a prototype record.
template <class R>
struct TTableMaker {
    const R& proto;
    TFieldTable& table;
    size_t Offset(const void* member) const {
        return static_cast<size_t>(static_cast<const char*>(member) -
                                   reinterpret_cast<const char*>(&proto));
    }
    void operator()(const char* name, const bool& v) {
        table.fields.push_back({name, TFieldSpec::TType::Bool, Offset(&v), nullptr});
    }
    void operator()(const char* name, const int& v) {
        table.fields.push_back({name, TFieldSpec::TType::Int, Offset(&v), nullptr});
    }
    void operator()(const char* name, const double& v) {
        table.fields.push_back({name, TFieldSpec::TType::Double, Offset(&v), nullptr});
    }
    void operator()(const char* name, const std::u16string& v) {
        table.fields.push_back({name, TFieldSpec::TType::Text, Offset(&v), nullptr});
    }
    template <class N>
    void operator()(const char* name, const N& rec) {
        table.fields.push_back({name, TFieldSpec::TType::Record, Offset(&rec), &FieldTable<N>()});
    }
};

template <class R>
const TFieldTable& FieldTable() {
    static const TFieldTable table = [] {
        TFieldTable t;
        const R proto{};
        TTableMaker<R> maker{proto, t};
        ZivFields::Fields(proto, maker);
        t.CheckFits();
        return t;
    }();
    return table;
}

// The record of one kind being filled, reused from entity to entity.
class TRecordBox {
public:
    virtual ~TRecordBox() = default;
    virtual char* Reset() = 0;  // a fresh record; its bytes
    virtual const TFieldTable& Table() const = 0;
    virtual TDavEntNo Append(TJGdata& jg) = 0;
    virtual const TDavEntAttr* Attr(std::string_view field) const = 0;
};

template <class K>
class TRecordBoxOf : public TRecordBox {
public:
    char* Reset() override {
        rec_ = typename K::Rec{};
        return reinterpret_cast<char*>(&rec_);
    }
    const TFieldTable& Table() const override { return FieldTable<typename K::Rec>(); }
    TDavEntNo Append(TJGdata& jg) override {
        AppendRecord<K>(jg, rec_);
        return {K::kCode, K::CountOf(jg) - 1};
    }
    const TDavEntAttr* Attr(std::string_view) const override { return &rec_.att; }

private:
    typename K::Rec rec_{};
};

// Fills one entity's record from the parser's events.
class TTypedEntity {
public:
    // Starts an entity of the given kind; index is its place in "entities".
    void Start(int code, const std::string& name, size_t index) {
        auto& box = boxes_[static_cast<size_t>(code)];
        if (!box) {
            DavKinds::VisitKind(
                code, [&](auto k) { box = std::make_unique<TRecordBoxOf<decltype(k)>>(); });
            const TFieldTable& t = box->Table();
            required_[static_cast<size_t>(code)] = t.MaskOf(RequiredFields(code));
            const int att = t.Find("att");
            attBit_[static_cast<size_t>(code)] = att < 0 ? 0 : 1u << att;
        }
        box_ = box.get();
        code_ = code;
        name_ = name;
        index_ = index;
        levels_.clear();
        levels_.push_back({&box_->Table(), box_->Reset(), 0, {}, 0});
        sawCode_ = sawIndex_ = false;
        pending_ = -1;
        extra_ = TExtra::None;
        skip_ = 0;
        error_.clear();
        dimLin_ = dimTxt_ = 0;
    }

    const std::string& Name() const { return name_; }
    bool Refused() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }
    size_t Depth() const { return levels_.size() + skip_; }

    // A member's name. False for a duplicate key, which ends the reading as it does
    // everywhere else.
    bool Key(const std::string& k, std::string& duplicate) {
        if (Refused()) {
            return true;
        }
        TLevel& l = levels_.back();
        extra_ = TExtra::None;
        pending_ = l.table->Find(k, l.next);
        if (pending_ >= 0) {
            l.next = static_cast<size_t>(pending_) + 1;
            if (l.seen & (1u << pending_)) {
                duplicate = k;
                return false;
            }
            l.seen |= 1u << pending_;
            return true;
        }
        if (levels_.size() == 1 && (k == "kind" || k == "code" || k == "index")) {
            bool& seen = k == "kind" ? sawKind_ : k == "code" ? sawCode_ : sawIndex_;
            if (k == "kind" || seen) {
                duplicate = k;
                return false;
            }
            seen = true;
            extra_ = k == "code" ? TExtra::Code : TExtra::Index;
            return true;
        }
        Refuse(Where(levels_.size()) + ": unknown field " + Quoted(k));
        return true;
    }

    void Scalar(const json& v) {
        if (Refused()) {
            return;
        }
        try {
            if (extra_ != TExtra::None) {
                Extra(v);
                return;
            }
            TLevel& l = levels_.back();
            const TFieldSpec& f = l.table->fields[static_cast<size_t>(pending_)];
            const TLevelPlace place{this, levels_.size(), f.name.data()};
            char* at = l.base + f.offset;
            switch (f.type) {
                case TFieldSpec::TType::Bool:
                    *reinterpret_cast<bool*>(at) = ToBool(v, place);
                    break;
                case TFieldSpec::TType::Int: *reinterpret_cast<int*>(at) = ToInt(v, place); break;
                case TFieldSpec::TType::Double:
                    *reinterpret_cast<double*>(at) = ToDouble(v, place);
                    break;
                case TFieldSpec::TType::Text:
                    *reinterpret_cast<std::u16string*>(at) = ToText(v, place);
                    break;
                case TFieldSpec::TType::Record:
                    Object(v, Where(levels_.size()) + "." + std::string(f.name));
                    break;
            }
        } catch (const TZivError& e) {
            Refuse(e.what());
        }
    }

    // An object or array opens: a nested record, or something refused and skipped.
    void Open(bool object) {
        if (Refused()) {
            ++skip_;
            return;
        }
        if (extra_ != TExtra::None) {
            Scalar(object ? json::object() : json::array());
            ++skip_;
            return;
        }
        TLevel& l = levels_.back();
        const TFieldSpec& f = l.table->fields[static_cast<size_t>(pending_)];
        if (!object || f.type != TFieldSpec::TType::Record) {
            Scalar(object ? json::object() : json::array());
            ++skip_;
            return;
        }
        levels_.push_back({f.nested, l.base + f.offset, 0, f.name, 0});
    }

    // An object or array closes; true when it was the entity itself.
    bool Close() {
        if (skip_ > 0) {
            --skip_;
            return false;
        }
        const TLevel done = levels_.back();
        const size_t doneDepth = levels_.size();
        if (levels_.size() == 1) {
            rootSeen_ = done.seen;
        }
        levels_.pop_back();
        if (Refused()) {
            return levels_.empty();
        }
        if (done.table == &FieldTable<TDavEntAttr>()) {
            const auto& a = *reinterpret_cast<const TDavEntAttr*>(done.base);
            try {
                if (a.LGrp < 0 || a.LGrp > DavRules::kMaxLayer || a.Lay < 0 ||
                    a.Lay > DavRules::kMaxLayer) {
                    LayerInRange(a.LGrp, WhereBefore(done, doneDepth) + ".LGrp");
                    LayerInRange(a.Lay, WhereBefore(done, doneDepth) + ".Lay");
                }
            } catch (const TZivError& e) {
                Refuse(e.what());
            }
        } else if (!levels_.empty() && code_ == kKindDim && levels_.size() == 1) {
            (done.table == &FieldTable<TDavEntLine>() ? dimLin_ : dimTxt_) = done.seen;
        }
        return levels_.empty();
    }

    // The entity is complete: checked and appended. Throws TZivError when refused.
    TEntityRead Finish(TJGdata& jg) {
        if (Refused()) {
            throw TZivError(error_);
        }
        const TFieldTable& t = box_->Table();
        const std::uint32_t seen = rootSeen_;
        const std::uint32_t need = required_[static_cast<size_t>(code_)];
        if ((seen & need) != need) {
            const std::string m = t.Missing(seen, RequiredFields(code_));
            throw TZivError(Where(1) + ": missing " + Quoted(m));
        }
        if (code_ == kKindDim) {
            static const std::uint32_t needLin =
                FieldTable<TDavEntLine>().MaskOf(RequiredFields<TDavEntLine>());
            static const std::uint32_t needTxt =
                FieldTable<TDavEntText>().MaskOf(RequiredFields<TDavEntText>());
            if ((dimLin_ & needLin) != needLin) {
                const std::string m =
                    FieldTable<TDavEntLine>().Missing(dimLin_, RequiredFields<TDavEntLine>());
                throw TZivError(Where(1) + ".lin: missing " + Quoted(m));
            }
            if ((dimTxt_ & needTxt) != needTxt) {
                const std::string m =
                    FieldTable<TDavEntText>().Missing(dimTxt_, RequiredFields<TDavEntText>());
                throw TZivError(Where(1) + ".txt: missing " + Quoted(m));
            }
        }
        if (jg.EntN >= kZivMaxEntities) {
            throw TZivError(Where(1) + ": more than " + std::to_string(kZivMaxEntities) +
                            " entities");
        }
        TEntityRead read;
        read.hasAtt = (seen & attBit_[static_cast<size_t>(code_)]) != 0;
        read.en = box_->Append(jg);
        return read;
    }

private:
    enum class TExtra : std::uint8_t { None, Code, Index };
    struct TLevel {
        const TFieldTable* table;
        char* base;
        std::uint32_t seen;
        std::string_view field;  // its name in the record above; empty for the entity
        size_t next = 0;         // where the next field is looked for first
    };

public:
    // The entity's name for a message, "entity 3 (EntLine)", and that of its first depth
    // levels, "entity 3 (EntLine).att": made only when a message is.
    std::string Where(size_t depth) const {
        std::string w = "entity " + std::to_string(index_) + " (" + name_ + ")";
        for (size_t i = 1; i < depth && i < levels_.size(); ++i) {
            w += ".";
            w += levels_[i].field;
        }
        return w;
    }

private:
    // The same for a level already closed, once at depth.
    std::string WhereBefore(const TLevel& done, size_t depth) const {
        std::string w = Where(depth - 1);
        if (depth > 1) {
            w += ".";
            w += done.field;
        }
        return w;
    }
    // A field of a level, for a message: built only when one is made.
    struct TLevelPlace {
        const TTypedEntity* entity;
        size_t depth;
        const char* name;
        friend std::string operator+(const TLevelPlace& p, const char* text) {
            return p.entity->Where(p.depth) + "." + p.name + text;
        }
    };

    void Refuse(std::string what) {
        if (error_.empty()) {
            error_ = std::move(what);
        }
    }

    void Extra(const json& v) {
        if (extra_ == TExtra::Code) {
            if (ToInt(v, Where(1) + ".code") != code_) {
                throw TZivError(Where(1) + ".code: " + std::to_string(code_) +
                                " expected for this kind");
            }
            return;
        }
        const int at = ToInt(v, Where(1) + ".index");
        if (at < 0 || at >= kZivMaxEntities) {
            throw TZivError(Where(1) + ".index: expected 0.." +
                            std::to_string(kZivMaxEntities - 1));
        }
    }

    std::array<std::unique_ptr<TRecordBox>, 16> boxes_;
    // Per kind code: the fields an entity must give, and its "att" field (0: none).
    std::array<std::uint32_t, 16> required_{}, attBit_{};
    TRecordBox* box_ = nullptr;
    int code_ = 0;
    std::string name_, error_;
    size_t index_ = 0;
    std::vector<TLevel> levels_;
    bool sawKind_ = true, sawCode_ = false, sawIndex_ = false;
    int pending_ = -1;
    TExtra extra_ = TExtra::None;
    size_t skip_ = 0;
    std::uint32_t rootSeen_ = 0, dimLin_ = 0, dimTxt_ = 0;
};

// --- The parts before the entities.

void ReadSettings(TJGdata& jg, const json& v) {
    const std::string where = "settings";
    TFieldReader r(Object(v, where), where);
    ZivFields::SettingFields(jg, r);
    if (const auto s = v.find("LGrpScale"); s != v.end()) {
        const json& a = Array(*s, where + ".LGrpScale", jg.LGrpScale.size());
        for (size_t g = 0; g < a.size(); ++g) {
            jg.LGrpScale[g] = ToDouble(a[g], where + ".LGrpScale[" + std::to_string(g) + "]");
        }
    }
    if (const auto m = v.find("Mojisyu"); m != v.end()) {
        const json& a = Array(*m, where + ".Mojisyu", jg.Mojisyu.size() - 1);
        for (size_t k = 0; k < a.size(); ++k) {
            const std::string w = where + ".Mojisyu[" + std::to_string(k) + "]";
            TFieldReader t(Object(a[k], w), w);
            ZivFields::Fields(jg.Mojisyu[k + 1], t);
            t.NoOthers({});
        }
    }
    if (const auto c = v.find("RGB"); c != v.end()) {
        const json& a = Array(*c, where + ".RGB", jg.RGB.size() - 1);
        for (size_t k = 0; k < a.size(); ++k) {
            jg.RGB[k + 1] = ToInt(a[k], where + ".RGB[" + std::to_string(k) + "]");
        }
    }
    r.NoOthers({"LGrpScale", "Mojisyu", "RGB"});
}

void ReadCurrent(TJGdata& jg, const json& v) {
    TFieldReader r(Object(v, "current"), "current");
    ZivFields::CurrentFields(jg, r);
    r.NoOthers({});
    LayerInRange(jg.CurLGrp, "current.CurLGrp");
    LayerInRange(jg.CurLay, "current.CurLay");
}

int NumberIn(const json& obj, const char* name, int lo, int hi, const std::string& where) {
    const auto it = obj.find(name);
    if (it == obj.end()) {
        throw TZivError(where + ": \"" + name + "\" missing");
    }
    const int n = ToInt(*it, where + "." + name);
    if (n < lo || n > hi) {
        throw TZivError(where + "." + name + ": expected " + std::to_string(lo) + ".." +
                        std::to_string(hi));
    }
    return n;
}

void ReadPoints(TJGdata& jg, const json& v) {
    const json& a = Array(v, "IPoints", jg.IPoints.size());
    for (size_t i = 0; i < a.size(); ++i) {
        const std::string w = "IPoints[" + std::to_string(i) + "]";
        const json& p = Object(a[i], w);
        const int no = NumberIn(p, "no", 1, static_cast<int>(jg.IPoints.size()) - 1, w);
        TDavIndPoint& ip = jg.IPoints[static_cast<size_t>(no)];
        ip.flg = true;
        TFieldReader r(p, w);
        r("x", ip.x);
        r("y", ip.y);
        r("sta", ip.sta);
        r.NoOthers({"no"});
    }
}

void ReadLayers(TJGdata& jg, const json& groups, const json& layers) {
    if (!groups.is_null()) {
        const json& a = Array(groups, "LGrp", jg.LGrpStat.size());
        for (size_t i = 0; i < a.size(); ++i) {
            const std::string w = "LGrp[" + std::to_string(i) + "]";
            const json& g = Object(a[i], w);
            const auto no = static_cast<size_t>(NumberIn(g, "no", 0, 15, w));
            TFieldReader r(g, w);
            r("LGrpStat", jg.LGrpStat[no]);
            r("LGrpName", jg.LGrpName[no]);
            r.NoOthers({"no"});
        }
    }
    if (!layers.is_null()) {
        const json& a = Array(layers, "Lay", jg.LayStat.size());
        for (size_t i = 0; i < a.size(); ++i) {
            const std::string w = "Lay[" + std::to_string(i) + "]";
            const json& l = Object(a[i], w);
            const int g = NumberIn(l, "LGrp", 0, 15, w);
            const int y = NumberIn(l, "Lay", 0, 15, w);
            const auto k = static_cast<size_t>(g * 16 + y);
            TFieldReader r(l, w);
            r("LayStat", jg.LayStat[k]);
            r("LayName", jg.LayName[k]);
            r.NoOthers({"LGrp", "Lay"});
        }
    }
}

void ReadHead(TJGdata& jg, const json& root) {
    if (!root.is_object()) {
        throw TZivError("the JSON text is not an object");
    }
    for (auto it = root.begin(); it != root.end(); ++it) {
        const std::string& k = it.key();
        if (k == "format") {
            if (!it->is_string() || it->get_ref<const std::string&>() != kZivFormat) {
                throw TZivError("format: \"" + std::string(kZivFormat) + "\" expected");
            }
        } else if (k == "version") {
            if (ToInt(*it, std::string("version")) != kZivFormatVersion) {
                throw TZivError("version: " + std::to_string(kZivFormatVersion) + " expected");
            }
        } else if (k == "encoding") {
            ToText(*it, std::string("encoding"));
        } else if (k != "settings" && k != "current" && k != "IPoints" && k != "LGrp" &&
                   k != "Lay" && k != "entities") {
            throw TZivError("unknown field " + Quoted(k));
        }
    }
    if (const auto s = root.find("settings"); s != root.end()) {
        ReadSettings(jg, *s);
    }
    if (const auto c = root.find("current"); c != root.end()) {
        ReadCurrent(jg, *c);
    }
    if (const auto p = root.find("IPoints"); p != root.end()) {
        ReadPoints(jg, *p);
    }
    const auto g = root.find("LGrp");
    const auto l = root.find("Lay");
    ReadLayers(jg, g != root.end() ? *g : json(), l != root.end() ? *l : json());
}

// --- The SAX handler: builds the document, except that each element of the top-level
// "entities" array is built on its own and handed to AddEntity once complete.

class TModelSax : public nlohmann::json_sax<json> {
public:
    TModelSax(TJGdata& jg, const TZivModelNotes* notes) : jg_(jg), notes_(notes) {}

    const json& Root() const { return root_; }
    bool SawEntities() const { return sawEntities_; }
    const std::string& Error() const { return error_; }
    size_t Refused() const { return refused_; }
    const std::vector<TDavEntNo>& WithoutAtt() const { return withoutAtt_; }

    bool null() override { return Value(json()); }

    bool boolean(bool v) override { return Value(json(v)); }
    bool number_integer(number_integer_t v) override { return Value(json(v)); }
    bool number_unsigned(number_unsigned_t v) override { return Value(json(v)); }
    bool number_float(number_float_t v, const string_t&) override { return Value(json(v)); }
    bool string(string_t& v) override { return Value(json(std::move(v))); }
    bool binary(binary_t&) override { return Fail("binary values are not JSON"); }

    bool start_object(std::size_t) override { return Open(json::value_t::object); }
    bool start_array(std::size_t) override { return Open(json::value_t::array); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }

    bool key(string_t& k) override {
        if (typed_ != TTyped::None) {
            return TypedKey(k);
        }
        json& obj = *stack_.back();
        if (obj.contains(k)) {
            return Fail("duplicate key " + Quoted(k));
        }
        key_ = std::move(k);
        return true;
    }

    bool parse_error(std::size_t position, const std::string& token,
                     const nlohmann::detail::exception& ex) override {
        std::string what = ex.what();
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..."
        if (const size_t p = what.find("] "); p != std::string::npos) {
            what.erase(0, p + 2);
        }
        // Python's json module writes a non-number as NaN, Infinity or -Infinity, which JSON
        // does not have.
        const size_t last = token.find_last_not_of("0123456789.eE+-\"", token.size());
        const std::string_view tail =
            last == std::string::npos ? std::string_view() : std::string_view(token).substr(last);
        if (ex.id == 101 && (tail.starts_with("N") || tail.starts_with("I"))) {
            const size_t colon = what.find(": ");
            return Fail(Place() + (colon == std::string::npos ? what : what.substr(0, colon)) +
                        ": NaN and Infinity are not JSON; this format writes a non-number as "
                        "the string \"nan\", \"inf\" or \"-inf\"");
        }
        // A number too large for a double: nlohmann names neither the place nor the field.
        if (ex.id == 406) {
            return Fail(Place() + "byte " + std::to_string(position) + ": " + what +
                        ": out of the range of a double (about 1.8e308)");
        }
        return Fail(what);
    }

private:
    // Where the parser is, for a message: "entity 3, field \"x1\": ", or the field alone.
    std::string Place() const {
        std::string p;
        if (!stack_.empty() && (stack_.back() == &entity_ || stack_.back() == entities_)) {
            p = "entity " + std::to_string(count_) + ", ";
        }
        if (!key_.empty() && !stack_.empty() &&
            (stack_.back()->is_object() || typed_ == TTyped::Filling)) {
            p += "field " + Quoted(key_) + ", ";
        }
        return p;
    }

    bool Fail(std::string what) {
        if (error_.empty()) {
            error_ = std::move(what);
        }
        return false;
    }

    // Where a new value goes: the root, the end of an array or the pending key of an object.
    json* Place(json&& v) {
        if (stack_.empty()) {
            root_ = std::move(v);
            return &root_;
        }
        json& top = *stack_.back();
        if (&top == entities_) {
            entity_ = std::move(v);
            return &entity_;
        }
        if (top.is_array()) {
            top.push_back(std::move(v));
            return &top.back();
        }
        json& slot = top[key_];
        slot = std::move(v);
        return &slot;
    }

    bool Value(json&& v) {
        if (typed_ != TTyped::None) {
            return TypedValue(std::move(v));
        }
        if (!stack_.empty() && stack_.back() == entities_) {
            return Entity(std::move(v));
        }
        if (stack_.size() == 1 && key_ == "entities") {
            return Fail("entities: expected an array of objects");
        }
        Place(std::move(v));
        return true;
    }

    bool Open(json::value_t type) {
        const size_t depth =
            stack_.size() + (typed_ == TTyped::Filling ? typed_entity_.Depth() : 0);
        if (depth >= kMaxDepth) {
            return Fail("nesting deeper than " + std::to_string(kMaxDepth) + " levels");
        }
        if (typed_ == TTyped::Filling) {
            typed_entity_.Open(type == json::value_t::object);
            return true;
        }
        if (typed_ == TTyped::KindValue) {
            // "kind" holds an object or an array: read as a document, refused there.
            ToDocument();
            key_ = "kind";
        } else if (!stack_.empty() && stack_.back() == entities_ && type == json::value_t::object) {
            // An entity: read straight into its record if "kind" comes first.
            typed_ = TTyped::FirstKey;
            return true;
        }
        if (stack_.size() == 1 && key_ == "entities" && type != json::value_t::array) {
            return Fail("entities: expected an array of objects");
        }
        const bool isEntities =
            stack_.size() == 1 && key_ == "entities" && type == json::value_t::array;
        json* v = Place(json(type));
        if (isEntities) {
            entities_ = v;
            sawEntities_ = true;
        }
        stack_.push_back(v);
        return true;
    }

    bool Close() {
        if (typed_ == TTyped::Filling) {
            if (typed_entity_.Close()) {
                typed_ = TTyped::None;
                const size_t index = count_++;
                return Finished(
                    index, [&] { return typed_entity_.Finish(jg_); }, typed_entity_.Name());
            }
            return true;
        }
        if (typed_ == TTyped::FirstKey) {
            // An empty object.
            typed_ = TTyped::None;
            return Entity(json::object());
        }
        json* done = stack_.back();
        stack_.pop_back();
        if (done == &entity_) {
            return Entity(std::move(entity_));
        }
        return true;
    }

    // Appends one entity read as a document.
    bool Entity(json&& v) {
        const size_t index = count_++;
        const auto kind = v.is_object() ? v.find("kind") : v.end();
        const std::string name =
            kind != v.end() && kind->is_string() ? kind->get<std::string>() : std::string();
        const bool ok = Finished(
            index, [&] { return AddEntity(jg_, v, index); }, name);
        entity_ = json();
        return ok;
    }

    // Appends one entity through add. Without notes the first refusal ends the reading; with
    // them each refused entity is reported and the reading goes on, so that every one is
    // named.
    template <class F>
    bool Finished(size_t index, F&& add, const std::string& kind) {
        try {
            const TEntityRead read = add();
            if (!read.hasAtt) {
                withoutAtt_.push_back(read.en);
            }
            if (notes_ != nullptr && notes_->leftOut) {
                NoteWriteBack(read.en, kind, index);
            }
        } catch (const TZivError& e) {
            if (notes_ == nullptr || !notes_->refused) {
                return Fail(e.what());
            }
            ++refused_;
            notes_->refused(e.what());
        }
        return true;
    }

    // What the write-back will drop or change of an entity that was read whole.
    void NoteWriteBack(TDavEntNo en, const std::string& kind, size_t index) const {
        const char* note = en.yn == kKindBlock
                               ? "a block insert: the host inserts blocks itself, the write-back "
                                 "never sends them"
                               : WriteBackNote(jg_, en);
        if (note != nullptr) {
            notes_->leftOut("entity " + std::to_string(index) + " (" + kind + "): " + note);
        }
    }

    // The entity read straight into its record: a member's name.
    bool TypedKey(std::string& k) {
        if (typed_ == TTyped::FirstKey) {
            if (k == "kind") {
                typed_ = TTyped::KindValue;
                key_ = std::move(k);
                return true;
            }
            ToDocument();
            return key(k);
        }
        std::string duplicate;
        if (!typed_entity_.Key(k, duplicate)) {
            return Fail("duplicate key " + Quoted(duplicate));
        }
        key_ = std::move(k);
        return true;
    }

    // The entity read straight into its record: a value; the first is its kind.
    bool TypedValue(json&& v) {
        if (typed_ == TTyped::KindValue) {
            const int code = v.is_string() ? KindCode(v.get_ref<const std::string&>()) : 0;
            if (code == 0) {
                ToDocument();
                key_ = "kind";
                Place(std::move(v));
                return true;
            }
            typed_entity_.Start(code, v.get_ref<const std::string&>(), count_);
            typed_ = TTyped::Filling;
            return true;
        }
        typed_entity_.Scalar(v);
        return true;
    }

    // The entity is read as a document after all, from its start.
    void ToDocument() {
        const bool hadKind = typed_ == TTyped::KindValue;
        typed_ = TTyped::None;
        entity_ = json::object();
        stack_.push_back(&entity_);
        if (hadKind) {
            key_ = "kind";
        }
    }

    // How the current entity is being read: as a document (None), or straight into its
    // record: its opening seen, its "kind" key seen, or its record being filled.
    enum class TTyped : std::uint8_t { None, FirstKey, KindValue, Filling };
    TTyped typed_ = TTyped::None;
    TTypedEntity typed_entity_;

    TJGdata& jg_;
    const TZivModelNotes* notes_;
    json root_;
    json entity_;
    json* entities_ = nullptr;
    bool sawEntities_ = false;
    std::vector<json*> stack_;
    std::string key_;
    size_t count_ = 0;
    size_t refused_ = 0;
    std::vector<TDavEntNo> withoutAtt_;
    std::string error_;
};

}  // namespace

namespace {

// An entity that gave no attributes takes the host's current ones, which the JSON may give
// after its entities.
void CurrentAttributes(TJGdata& jg, const std::vector<TDavEntNo>& entities) {
    TDavEntAttr att;
    att.LGrp = jg.CurLGrp;
    att.Lay = jg.CurLay;
    att.Col = jg.CurCol;
    att.Ltp = jg.CurLtp;
    att.Wid = jg.CurWid;
    for (const TDavEntNo en : entities) {
        DavKinds::VisitKind(en.yn, [&](auto k) {
            using K = decltype(k);
            K::ListOf(jg)[static_cast<size_t>(en.no)].att = att;
        });
    }
}

// A stream's characters for the parser, read a block at a time: the parser takes one
// character per call, which an istream's own adapter serves through its buffer's virtual calls.
class TStreamChars {
public:
    explicit TStreamChars(std::istream& in) : in_(in), buf_(kBlock, '\0') {}

    // At the end when the block is used up and the stream gives no more.
    bool AtEnd() {
        if (pos_ < n_) {
            return false;
        }
        in_.read(buf_.data(), static_cast<std::streamsize>(buf_.size()));
        n_ = static_cast<size_t>(in_.gcount());
        pos_ = 0;
        return n_ == 0;
    }
    const char& Current() const { return buf_[pos_]; }
    void Advance() { ++pos_; }

    class TIterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = char;
        using difference_type = std::ptrdiff_t;
        using pointer = const char*;
        using reference = const char&;

        TIterator() = default;
        explicit TIterator(TStreamChars* chars) : chars_(chars) {}
        reference operator*() const { return chars_->Current(); }
        TIterator& operator++() {
            chars_->Advance();
            return *this;
        }
        bool operator==(const TIterator& o) const { return AtEnd() == o.AtEnd(); }
        bool operator!=(const TIterator& o) const { return !(*this == o); }

    private:
        bool AtEnd() const { return chars_ == nullptr || chars_->AtEnd(); }
        TStreamChars* chars_ = nullptr;
    };

private:
    static constexpr size_t kBlock = size_t{1} << 16;
    std::istream& in_;
    std::string buf_;
    size_t pos_ = 0, n_ = 0;
};

template <class TInput>
size_t ReadWith(TInput&& input, TJGdata& jg, const TZivModelNotes* notes) {
    TModelSax sax(jg, notes);
    bool ok = false;
    try {
        if constexpr (requires { input.first; }) {
            ok = json::sax_parse(input.first, input.second, &sax, json::input_format_t::json, true);
        } else {
            ok = json::sax_parse(std::forward<TInput>(input), &sax, json::input_format_t::json,
                                 true);
        }
    } catch (const nlohmann::json::exception& e) {
        throw TZivError(e.what());
    }
    if (!ok) {
        throw TZivError(sax.Error().empty() ? std::string("not a JSON text") : sax.Error());
    }
    ReadHead(jg, sax.Root());
    CurrentAttributes(jg, sax.WithoutAtt());
    return sax.Refused();
}

}  // namespace

void ReadModelJson(std::string_view text, TJGdata& jg) {
    ReadWith(text, jg, nullptr);
}

void ReadModelJson(std::istream& in, TJGdata& jg) {
    ReadModelJson(in, jg, TZivModelNotes{});
}

size_t ReadModelJson(std::istream& in, TJGdata& jg, const TZivModelNotes& notes) {
    TStreamChars chars(in);
    const size_t refused = ReadWith(
        std::make_pair(TStreamChars::TIterator(&chars), TStreamChars::TIterator()), jg, &notes);
    if (in.bad()) {
        throw TZivError("cannot read the JSON text");
    }
    return refused;
}
