// ZivFields: the fields of each record of the model under their own names, in declaration
// order, for the JSON writer and reader alike. f(name, field) is called once per field; a
// nested record (att, a dimension's lin and txt) is passed whole. The entities' records are
// those of the kind table; the host's settings are listed here.
#pragma once

#include <concepts>
#include <type_traits>

#include "exchange/DavGaibu.h"
#include "exchange/DavKinds.h"

namespace ZivFields {

template <class T, class R>
concept Is = std::same_as<std::remove_const_t<T>, R>;

// A record of the model: its fields as the kind table describes them (DavKinds::FieldsOf).
template <class T, class F>
requires DavKinds::Described<std::remove_const_t<T>>
void Fields(T& e, F&& f) {
    DavKinds::ForEachField(e, [&](const auto& field, auto& v) { f(field.name, v); });
}

template <class T, class F>
requires Is<T, TDavMojisyu>
void Fields(T& e, F&& f) {
    f("W", e.W);
    f("H", e.H);
    f("D", e.D);
    f("C", e.C);
}

// The host's settings that are single values, and its current attributes.
template <class T, class F>
requires Is<T, TJGdata>
void SettingFields(T& jg, F&& f) {
    f("MojiCode", jg.MojiCode);
    f("Jikukaku", jg.Jikukaku);
    f("ZumenFile", jg.ZumenFile);
    f("ZumenXsize", jg.ZumenXsize);
    f("ZumenYsize", jg.ZumenYsize);
    f("Zusun", jg.Zusun);
    f("AreaX1", jg.AreaX1);
    f("AreaY1", jg.AreaY1);
    f("AreaX2", jg.AreaX2);
    f("AreaY2", jg.AreaY2);
    f("WidF", jg.WidF);
    f("IPointN", jg.IPointN);
}

template <class T, class F>
requires Is<T, TJGdata>
void CurrentFields(T& jg, F&& f) {
    f("CurLGrp", jg.CurLGrp);
    f("CurLay", jg.CurLay);
    f("CurCol", jg.CurCol);
    f("CurLtp", jg.CurLtp);
    f("CurWid", jg.CurWid);
    f("CurMjs", jg.CurMjs);
    f("CurMjsW", jg.CurMjsW);
    f("CurMjsH", jg.CurMjsH);
    f("CurMjsD", jg.CurMjsD);
    f("CurMjsC", jg.CurMjsC);
    f("CurFont", jg.CurFont);
}

}  // namespace ZivFields
