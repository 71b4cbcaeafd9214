// ZivFields: the fields of each record of the model under their own names, in declaration
// order, for the JSON writer and reader alike. f(name, field) is called once per field; a
// nested record (att, a dimension's lin and txt) is passed whole.
#pragma once

#include <concepts>
#include <type_traits>

#include "exchange/DavGaibu.h"

namespace ZivFields {

template <class T, class R>
concept Is = std::same_as<std::remove_const_t<T>, R>;

template <class T, class F>
requires Is<T, TDavEntAttr>
void Fields(T& e, F&& f) {
    f("IPNo", e.IPNo);
    f("LGrp", e.LGrp);
    f("Lay", e.Lay);
    f("Col", e.Col);
    f("Ltp", e.Ltp);
    f("Wid", e.Wid);
    f("Attr", e.Attr);
}

template <class T, class F>
requires Is<T, TDavEntLine>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("CrvNo", e.CrvNo);
    f("x1", e.x1);
    f("y1", e.y1);
    f("x2", e.x2);
    f("y2", e.y2);
}

template <class T, class F>
requires Is<T, TDavEntCircle>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("cx", e.cx);
    f("cy", e.cy);
    f("cr", e.cr);
}

template <class T, class F>
requires Is<T, TDavEntArc>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("cx", e.cx);
    f("cy", e.cy);
    f("cr", e.cr);
    f("sa", e.sa);
    f("ea", e.ea);
    f("he", e.he);
    f("ka", e.ka);
}

template <class T, class F>
requires Is<T, TDavEntText>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("no", e.no);
    f("cc", e.cc);
    f("cn", e.cn);
    f("mw", e.mw);
    f("mh", e.mh);
    f("md", e.md);
    f("x1", e.x1);
    f("y1", e.y1);
    f("x2", e.x2);
    f("y2", e.y2);
    f("fo", e.fo);
    f("st", e.st);
}

template <class T, class F>
requires Is<T, TDavEntPnt>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("px", e.px);
    f("py", e.py);
}

template <class T, class F>
requires Is<T, TDavEntMark>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("px", e.px);
    f("py", e.py);
    f("bai", e.bai);
    f("ang", e.ang);
    f("cod", e.cod);
}

template <class T, class F>
requires Is<T, TDavEntDim>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("lin", e.lin);
    f("txt", e.txt);
}

template <class T, class F>
requires Is<T, TDavEntBlk>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("px", e.px);
    f("py", e.py);
    f("nam", e.nam);
}

template <class T, class F>
requires Is<T, TDavEntSld2>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("Color", e.Color);
    f("x1", e.x1);
    f("y1", e.y1);
    f("x2", e.x2);
    f("y2", e.y2);
}

template <class T, class F>
requires Is<T, TDavEntSld3>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("Color", e.Color);
    f("x1", e.x1);
    f("y1", e.y1);
    f("x2", e.x2);
    f("y2", e.y2);
    f("x3", e.x3);
    f("y3", e.y3);
}

template <class T, class F>
requires Is<T, TDavEntSld4>
void Fields(T& e, F&& f) {
    f("att", e.att);
    f("Color", e.Color);
    f("x1", e.x1);
    f("y1", e.y1);
    f("x2", e.x2);
    f("y2", e.y2);
    f("x3", e.x3);
    f("y3", e.y3);
    f("x4", e.x4);
    f("y4", e.y4);
}

// The circular and the ring solid share centre, radius, flatness, tilt and angles.
template <class T, class F>
void RoundFields(T& e, F& f) {
    f("att", e.att);
    f("Color", e.Color);
    f("cx", e.cx);
    f("cy", e.cy);
    f("cr", e.cr);
    f("he", e.he);
    f("ka", e.ka);
    f("sa", e.sa);
    f("da", e.da);
}

template <class T, class F>
requires Is<T, TDavEntSldC>
void Fields(T& e, F&& f) {
    RoundFields(e, f);
    f("fl", e.fl);
}

template <class T, class F>
requires Is<T, TDavEntSldD>
void Fields(T& e, F&& f) {
    RoundFields(e, f);
    f("ri", e.ri);
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
