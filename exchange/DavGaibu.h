// DavGaibu: TJGdata, the model of the host's exchange file, its reader and its command writer.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

class TTextBlockDecoder;
class TDavReadSink;

// Entity kind codes, shared by the reader, the store and the write-back.
enum TDavKind : int {
    kKindLine = 1,
    kKindCircle = 2,
    kKindArc = 3,
    kKindText = 4,
    kKindPoint = 5,
    kKindMark = 6,
    kKindDim = 7,
    kKindBlock = 8,
    kKindSolid2 = 9,
    kKindSolid3 = 10,
    kKindSolid4 = 11,
    kKindSolidC = 12,
    kKindSolidE = 13,
    kKindSolidO = 14,
    kKindSolidG = 15,
};

// One picked point; sta tells how it was picked: 0 none, 1 "-", 2 "ln", 3 "ci", 4 "ch".
struct TDavIndPoint {
    bool flg = false;
    double x = 0.0;
    double y = 0.0;
    int sta = 0;
};

// One entry of the drawing-order index: kind code and index in that kind's list.
struct TDavEntNo {
    int yn = 0;
    int no = 0;
};

// The attributes every entity carries.
struct TDavEntAttr {
    int IPNo = 0;
    int LGrp = 0;
    int Lay = 0;
    int Col = 0;
    int Ltp = 0;
    int Wid = 0;
    int Attr = 0;
};

struct TDavEntLine {
    TDavEntAttr att;
    int CrvNo = 0;  // polyline group number, 0 = none
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
};

struct TDavEntCircle {
    TDavEntAttr att;
    double cx = 0.0, cy = 0.0, cr = 0.0;
};

struct TDavEntArc {
    TDavEntAttr att;
    double cx = 0.0, cy = 0.0, cr = 0.0;
    double sa = 0.0, ea = 0.0;  // the two angle values, in the host's order
    double he = 0.0;            // flatness ratio, 1 for a circular arc
    double ka = 0.0;            // tilt angle
};

struct TDavEntText {
    TDavEntAttr att;  // att.Col is the colour of the text type
    int no = 0;       // text kind 0..9: ch cv cs cr co cp ct ck cz c2
    int cc = 0;       // base-point code 0..8
    int cn = 0;       // text type; 1..10 index Mojisyu, anything else means free sizes
    double mw = 0.0, mh = 0.0, md = 0.0;
    double x1 = 0.0, y1 = 0.0;  // insertion point
    double x2 = 0.0, y2 = 0.0;  // direction vector
    std::u16string fo;          // font text
    std::u16string st;          // the text
};

struct TDavEntPnt {
    TDavEntAttr att;
    double px = 0.0, py = 0.0;
};

struct TDavEntMark {
    TDavEntAttr att;
    double px = 0.0, py = 0.0;
    double bai = 0.0;  // scale factor
    double ang = 0.0;
    int cod = 0;  // marker code
};

struct TDavEntDim {
    TDavEntAttr att;
    TDavEntLine lin;
    TDavEntText txt;
};

struct TDavEntBlk {
    TDavEntAttr att;
    double px = 0.0, py = 0.0;
    std::u16string nam;
};

struct TDavEntSld2 {
    TDavEntAttr att;
    int Color = 0;
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
};

struct TDavEntSld3 {
    TDavEntAttr att;
    int Color = 0;
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0, x3 = 0.0, y3 = 0.0;
};

struct TDavEntSld4 {
    TDavEntAttr att;
    int Color = 0;
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0, x3 = 0.0, y3 = 0.0, x4 = 0.0, y4 = 0.0;
};

// Circular solid: centre, radius, flatness, tilt, start and swept angle, and a code.
struct TDavEntSldC {
    TDavEntAttr att;
    int Color = 0;
    double cx = 0.0, cy = 0.0, cr = 0.0, he = 0.0, ka = 0.0, sa = 0.0, da = 0.0;
    int fl = 0;
};

// Ring solid: as the circular solid, with an inner radius in place of the code.
struct TDavEntSldD {
    TDavEntAttr att;
    int Color = 0;
    double cx = 0.0, cy = 0.0, cr = 0.0, he = 0.0, ka = 0.0, sa = 0.0, da = 0.0;
    double ri = 0.0;
};

struct TDavPLine {
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
};

// One of the host's text types: width, height, spacing and colour.
struct TDavMojisyu {
    double W = 3.0;
    double H = 3.0;
    double D = 0.0;
    int C = 2;
};

// The override arguments of the write-back: layer group, layer, colour, line type, width,
// text colour, text base point and solid colour forced on every entity (-1: the entity's own).
struct TDavOverrides {
    int a1 = -1, a2 = -1, a3 = -1, a4 = -1, a5 = -1, a6 = -1, a7 = -1, a8 = -1;
};

class TJGdata {
public:
    TJGdata();   // Create: an empty model with every default
    ~TJGdata();  // Destroy
    TJGdata(const TJGdata&) = delete;
    TJGdata& operator=(const TJGdata&) = delete;

    // Writer state; while the host's file is read, the reader's current attributes.
    bool w_FlgLGrp = true, w_FlgLay = true, w_FlgCol = true, w_FlgLtp = true, w_FlgWid = true;
    bool w_FlgMjs = true, w_FlgMbs = true, w_FlgFont = true, w_FlgPCol = true, w_FlgSCol = true;
    int w_IPNo = 0;
    int w_LGrp = 0;
    int w_Lay = 0;
    int w_Col = 1;
    int w_Ltp = 1;
    int w_Wid = 0;
    int w_Mjs = 1;
    double w_MjsW = 2.0;
    double w_MjsH = 2.0;
    double w_MjsD = 0.0;
    int w_MjsC = 1;
    int w_Mbs = 0;
    std::u16string w_Font;
    int w_Attr = 0;
    int w_CrvNo = 0;
    bool w_CrvFl = false;
    bool w_DimFl = false;
    int w_PtCol = 1;
    int w_SlCol = 0;

    // The host's settings.
    bool MojiCode = false;  // the file was read as UTF-8, and is written back so
    double Jikukaku = 0.0;  // axis angle, degrees
    std::u16string ZumenFile;
    std::array<double, 16> LGrpScale{};
    double ZumenXsize = 1189.0;
    double ZumenYsize = 841.0;
    std::array<TDavMojisyu, 11> Mojisyu{};  // text types 1..10; entry 0 unused
    std::array<int, 357> RGB{};             // the "hrgb" values 1..356; entry 0 unused
    bool Zusun = false;                     // sheet-unit mode ("bz")
    double AreaX1 = 0.0, AreaY1 = 0.0, AreaX2 = 0.0, AreaY2 = 0.0;

    // The host's current attributes, from the first attribute line of each kind.
    int CurLGrp = 0;
    int CurLay = 0;
    int CurCol = 1;
    int CurLtp = 1;
    int CurWid = 0;
    int CurMjs = 1;
    double CurMjsW = 2.0;
    double CurMjsH = 2.0;
    double CurMjsD = 0.0;
    int CurMjsC = 1;
    std::u16string CurFont;

    // Picked points and layer tables.
    std::vector<TDavIndPoint> IPoints;  // 100 entries, points 1..99
    int IPointN = 0;
    bool WidF = false;          // a line-width line was read; widths are written only then
    std::vector<int> LGrpStat;  // 16
    std::vector<std::u16string> LGrpName;  // 16
    std::vector<int> LayStat;              // 256, index group * 16 + layer
    std::vector<std::u16string> LayName;   // 256

    // The entity store. Each list grows in blocks of 1000; its count is authoritative.
    int EntN = 0;
    std::vector<TDavEntNo> EntNo;
    int EntLineN = 0;
    std::vector<TDavEntLine> EntLine;
    TDavEntLine EntSunLine;  // the line of the dimension being read; not an entity
    int EntCircN = 0;
    std::vector<TDavEntCircle> EntCirc;
    int EntArcN = 0;
    std::vector<TDavEntArc> EntArc;
    int EntTextN = 0;
    std::vector<TDavEntText> EntText;
    int EntPntN = 0;
    std::vector<TDavEntPnt> EntPnt;
    int EntMarkN = 0;
    std::vector<TDavEntMark> EntMark;
    int EntDimN = 0;
    std::vector<TDavEntDim> EntDim;
    int EntBlkN = 0;
    std::vector<TDavEntBlk> EntBlk;
    int EntSld2N = 0;
    std::vector<TDavEntSld2> EntSld2;
    int EntSld3N = 0;
    std::vector<TDavEntSld3> EntSld3;
    int EntSld4N = 0;
    std::vector<TDavEntSld4> EntSld4;
    int EntSldCN = 0;
    std::vector<TDavEntSldC> EntSldC;
    int EntSldEN = 0;
    std::vector<TDavEntSldC> EntSldE;
    int EntSldON = 0;
    std::vector<TDavEntSldD> EntSldO;
    int EntSldGN = 0;
    std::vector<TDavEntSldD> EntSldG;

    // Output buffers: command lines waiting to be saved, polyline segments waiting to be sent.
    int t_MemN = 0;
    std::vector<std::u16string> t_Mem;
    int t_PLineN = 0;
    std::vector<TDavPLine> t_PLine;

    // Display colours of the colour and the solid colour last set through the store.
    int aCol = 0;
    int aSCol = 0;

    // Model and files.
    void DataInit();
    void DataFree();
    bool OpenTempFile(const std::u16string& fn);
    // What OpenTempFile does once the file's bytes are in memory: decode, split, parse.
    bool OpenTempBytes(std::string_view bytes);
    // An observer of the reader: every line read and every line skipped or mended (see
    // DavReadSink.h). nullptr, the default, reports nothing. The sink is not owned.
    void SetReadSink(TDavReadSink* sink) { readSink_ = sink; }
    TDavReadSink* ReadSink() const { return readSink_; }
    void S_Init();
    void SendMem(const std::u16string& s);
    void SendMem(std::u16string&& s);
    bool SaveTempFile(const std::u16string& fn);
    // The bytes SaveTempFile writes for the current buffer.
    std::string TempFileBytes() const;
    void SetEntNo(int a_yn, int a_no);
    void SetEntAttr(TDavEntAttr& at) const;
    static void CopyEntAttr(TDavEntAttr& a1, const TDavEntAttr& a2);
    void StopDavGaibu();

    // Appends one record to a list under the block policy and returns it (zero-filled).
    template <class T>
    static T& GrowAppend(std::vector<T>& list, int& count) {
        ++count;
        if (count % 1000 == 1) {
            list.resize(static_cast<size_t>(count) + 999);
        }
        T& rec = list[static_cast<size_t>(count) - 1];
        rec = T{};
        return rec;
    }
    // Appends a new entity of the given kind: its EntNo entry, its record and the current
    // attributes in its att.
    template <class T>
    T& NewEntity(int kind, std::vector<T>& list, int& count) {
        SetEntNo(kind, count);
        T& rec = GrowAppend(list, count);
        SetEntAttr(rec.att);
        return rec;
    }

    // General syntax.
    void S_Comment(const std::u16string& s);
    void S_Area();

    // Attribute commands: each writes its line only when the value changed or its force
    // flag is set.
    void S_LGrp(int lgrp);
    void S_Lay(int lay);
    void S_Col(int col, int mode);
    void S_Ltp(int ltp, int mode);
    void S_Wid(int wid);
    void S_Mjs(int mjs, double mw, double mh, double md, int col, int mode);
    void S_Mbs(int mbs);
    void S_Font(const std::u16string& fnt);
    void S_PCol(int col, int mode);
    void S_SCol(int col);
    void S_SColRGB(int r, int g, int b);
    void S_Attr(int att);
    void S_Attr(bool at1, bool at2, bool at3, bool at4, bool at5);
    void S_Attr(int at1, int at2, int at3, int at4, int at5);

    // Text and dimension commands.
    void S_Text(int no, double x1, double y1, double x2, double y2, const std::u16string& m);
    void S_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1, double tx2,
               double ty2, const std::u16string& m);

    // Geometry commands.
    void S_Line(double x1, double y1, double x2, double y2);
    void S_PLineStart();
    void S_PLineEnd();
    void S_PLineSet(double px1, double py1, double px2, double py2);
    void S_PLineReset();
    void S_PLine();
    void S_Ten(double x, double y);
    void S_Mark(double x, double y, double bai, double ang, int cod);
    void S_Circle(double x, double y, double r);
    void S_Arc(double x, double y, double r, double sa, double ea, double h, double ka);
    void S_Solid2(double x1, double y1, double x2, double y2);
    void S_Solid3(double x1, double y1, double x2, double y2, double x3, double y3);
    void S_Solid4(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                  double y4);
    void S_SolidC(double x, double y, double r, double h, double ka, double sa, double da, int cod);
    void S_SolidD(double x, double y, double r, double h, double ka, double sa, double da, int cod);
    void S_SolidO(double x, double y, double r, double h, double ka, double sa, double da,
                  double ri);
    void S_SolidG(double x, double y, double r, double h, double ka, double sa, double da,
                  double ri);

    // Entity store: attribute setters.
    void A_LGrp(int lgrp);
    void A_Lay(int lay);
    void A_Col(int col, int mode);
    void A_Ltp(int ltp, int mode);
    void A_Wid(int wid);
    void A_Mjs(int mjs, double mw, double mh, double md, int col, int mode);
    void A_Mbs(int mbs);
    void A_Font(const std::u16string& fnt);
    void A_PCol(int col, int mode);
    void A_SCol(int col);
    void A_SColRGB(int r, int g, int b);
    void A_Attr(int att);

    // Entity store: appenders, with the current attributes or with explicit ones.
    void A_Line(double ax1, double ay1, double ax2, double ay2);
    void A_Line(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2);
    void A_Ten(double ax, double ay);
    void A_Ten(TDavEntAttr at, double ax, double ay);
    void A_Mark(double ax, double ay, double abai, double aang, int acod);
    void A_Mark(TDavEntAttr at, double ax, double ay, double abai, double aang, int acod);
    void A_Circle(double ax, double ay, double ar);
    void A_Circle(TDavEntAttr at, double ax, double ay, double ar);
    void A_Arc(double ax, double ay, double ar, double asa, double aea, double ah, double aka);
    void A_Arc(TDavEntAttr at, double ax, double ay, double ar, double asa, double aea, double ah,
               double aka);
    void A_Text(int ano, double ax1, double ay1, double ax2, double ay2, const std::u16string& am);
    void A_Text(TDavEntAttr at, int ano, double ax1, double ay1, double ax2, double ay2,
                const std::u16string& am);
    void A_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1, double tx2,
               double ty2, const std::u16string& m);
    void A_Dim(TDavEntAttr at, double lx1, double ly1, double lx2, double ly2, double tx1,
               double ty1, double tx2, double ty2, const std::u16string& m);
    void A_Solid2(double ax1, double ay1, double ax2, double ay2);
    void A_Solid2(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2);
    void A_Solid3(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3);
    void A_Solid3(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2, double ax3,
                  double ay3);
    void A_Solid4(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3,
                  double ax4, double ay4);
    void A_Solid4(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2, double ax3,
                  double ay3, double ax4, double ay4);
    void A_SolidC(double ax, double ay, double ar, double ah, double aka, double asa, double ada,
                  int acod);
    void A_SolidC(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                  double asa, double ada, int acod);
    void A_SolidD(double ax, double ay, double ar, double ah, double aka, double asa, double ada,
                  int acod);
    void A_SolidD(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                  double asa, double ada, int acod);
    void A_SolidO(double ax, double ay, double ar, double ah, double aka, double asa, double ada,
                  double ari);
    void A_SolidO(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                  double asa, double ada, double ari);
    void A_SolidG(double ax, double ay, double ar, double ah, double aka, double asa, double ada,
                  double ari);
    void A_SolidG(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                  double asa, double ada, double ari);
    int GetColorDisp(int col) const;

    // Write-back of the whole model.
    void S_EntAll(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8);
    void S_EntAllp(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8);

private:
    void ParseTempText(TTextBlockDecoder& text);
    void ParseTempLine(std::u16string_view line);

    int ConvColNo(int col) const;
    int ConvLtpNo(int ltp) const;

    void S_EntLine(int no, const TDavOverrides& o);
    void S_EntLineP(int no, int p, int& c, const TDavOverrides& o);
    void S_EntCirc(int no, const TDavOverrides& o);
    void S_EntArc(int no, const TDavOverrides& o);
    void S_EntText(int no, const TDavOverrides& o);
    void S_EntPnt(int no, const TDavOverrides& o);
    void S_EntMark(int no, const TDavOverrides& o);
    void S_EntDim(int no, const TDavOverrides& o);
    void S_EntSld2(int no, const TDavOverrides& o);
    void S_EntSld3(int no, const TDavOverrides& o);
    void S_EntSld4(int no, const TDavOverrides& o);
    void S_EntSldC(int no, const TDavOverrides& o);
    void S_EntSldE(int no, const TDavOverrides& o);
    void S_EntSldO(int no, const TDavOverrides& o);
    void S_EntSldG(int no, const TDavOverrides& o);
    // The writer of one EntNo entry's kind; blocks and unknown kinds write nothing.
    void S_EntOne(int yn, int no, const TDavOverrides& o);

    // Reused token storage of the line parser: views into the line, and the one token that
    // had to be joined because a double quote was dropped from its middle.
    std::vector<std::u16string_view> parseTokens_;
    std::u16string parseJoined_;
    TDavReadSink* readSink_ = nullptr;
};
