/// \file
/// TJGdata, the model of the host's exchange file, its reader and its command writer, and the
/// records it holds. This header is the whole public interface of the exchange library
/// (target r407::exchange); docs/library.md is the guide.
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "DavLimits.h"

class TDavReadSink;
namespace DavKinds {
template <class K>
struct TWriterOf;
}

/// Entity kind codes: TDavEntNo::yn of each entity in the drawing order, shared by the reader,
/// the store and the write-back.
enum TDavKind : int {
    kKindLine = 1,     ///< a line, in TJGdata::EntLine
    kKindCircle = 2,   ///< a circle, in TJGdata::EntCirc
    kKindArc = 3,      ///< an arc or elliptic arc, in TJGdata::EntArc
    kKindText = 4,     ///< a text, in TJGdata::EntText
    kKindPoint = 5,    ///< a point, in TJGdata::EntPnt
    kKindMark = 6,     ///< a marker, in TJGdata::EntMark
    kKindDim = 7,      ///< a dimension, in TJGdata::EntDim
    kKindBlock = 8,    ///< a block insert, in TJGdata::EntBlk; never written back
    kKindSolid2 = 9,   ///< a two-point solid, in TJGdata::EntSld2
    kKindSolid3 = 10,  ///< a three-point solid, in TJGdata::EntSld3
    kKindSolid4 = 11,  ///< a four-point solid, in TJGdata::EntSld4
    kKindSolidC = 12,  ///< a circular solid ("sc"), in TJGdata::EntSldC
    kKindSolidE = 13,  ///< a circular solid ("se"), in TJGdata::EntSldE
    kKindSolidO = 14,  ///< a ring solid ("so"), in TJGdata::EntSldO
    kKindSolidG = 15,  ///< a ring solid ("sg"), in TJGdata::EntSldG
};

/// Why TJGdata::OpenTempFile or OpenTempBytes read nothing (TJGdata::OpenFault).
enum class TDavOpenFault {
    None,         ///< the file was read
    Missing,      ///< there is no such file
    Unreadable,   ///< it could not be opened or read through (a folder, a pipe, a failing disk)
    TooLarge,     ///< it is larger than DavLimits::kMaxFileBytes
    LineTooLong,  ///< a line is longer than DavLimits::kMaxLineBytes
};

/// One point that the user picked in the host before it started the program.
struct TDavIndPoint {
    bool flg = false;  ///< the host sent this point
    double x = 0.0;    ///< its x coordinate
    double y = 0.0;    ///< its y coordinate
    /// How it was picked, from the suffix of its line: 0 none, 1 "-", 2 "ln", 3 "ci", 4 "ch".
    int sta = 0;
};

/// One entry of the drawing-order index TJGdata::EntNo.
struct TDavEntNo {
    int yn = 0;  ///< the entity's kind, a TDavKind code 1..15
    int no = 0;  ///< its 0-based index in that kind's list
};

/// The attributes every entity carries, in the host's numbering.
struct TDavEntAttr {
    int IPNo = 0;  ///< the picked point the entity belongs to, 0 = none
    int LGrp = 0;  ///< layer group 0..15
    int Lay = 0;   ///< layer 0..15 within the group
    int Col = 0;   ///< colour code
    int Ltp = 0;   ///< line-type code
    int Wid = 0;   ///< line width
    int Attr = 0;  ///< attribute bits 1, 2, 4, 8, 16
};

/// A line (kind 1).
struct TDavEntLine {
    TDavEntAttr att;  ///< its attributes
    int CrvNo = 0;    ///< the polyline group it belongs to, 0 = none
    ///@{
    /// Start point (x1, y1) and end point (x2, y2).
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    ///@}
};

/// A circle (kind 2).
struct TDavEntCircle {
    TDavEntAttr att;  ///< its attributes
    ///@{
    /// Centre (cx, cy) and radius cr.
    double cx = 0.0, cy = 0.0, cr = 0.0;
    ///@}
};

/// An arc of a circle or of an ellipse (kind 3).
struct TDavEntArc {
    TDavEntAttr att;  ///< its attributes
    ///@{
    /// Centre (cx, cy) and radius cr.
    double cx = 0.0, cy = 0.0, cr = 0.0;
    ///@}
    ///@{
    /// The two angle values of the arc, in degrees, in the order the host gives them.
    double sa = 0.0, ea = 0.0;
    ///@}
    double he = 0.0;  ///< flatness ratio of the ellipse, 1 for a circular arc
    double ka = 0.0;  ///< tilt angle
};

/// A text (kind 4).
struct TDavEntText {
    TDavEntAttr att;  ///< its attributes; att.Col is the colour of the text type
    int no = 0;       ///< text kind 0..9: ch cv cs cr co cp ct ck cz c2
    int cc = 0;       ///< base-point code 0..8
    int cn = 0;       ///< text type; 1..10 index TJGdata::Mojisyu, anything else: free sizes
    ///@{
    /// Character width mw, height mh and spacing md.
    double mw = 0.0, mh = 0.0, md = 0.0;
    ///@}
    ///@{
    /// Insertion point.
    double x1 = 0.0, y1 = 0.0;
    ///@}
    ///@{
    /// Direction of the text as a vector.
    double x2 = 0.0, y2 = 0.0;
    ///@}
    std::u16string fo;  ///< font text
    std::u16string st;  ///< the text
};

/// A point (kind 5).
struct TDavEntPnt {
    TDavEntAttr att;  ///< its attributes
    ///@{
    /// Position.
    double px = 0.0, py = 0.0;
    ///@}
};

/// A marker (kind 6): a point drawn as one of the host's symbols.
struct TDavEntMark {
    TDavEntAttr att;  ///< its attributes
    ///@{
    /// Position.
    double px = 0.0, py = 0.0;
    ///@}
    double bai = 0.0;  ///< scale factor
    double ang = 0.0;  ///< angle
    int cod = 0;       ///< marker code
};

/// A dimension (kind 7): its line and its text.
struct TDavEntDim {
    TDavEntAttr att;  ///< its attributes
    TDavEntLine lin;  ///< the dimension line
    TDavEntText txt;  ///< the dimension text (text kind 2)
};

/// A block insert (kind 8): read from the host's file, never written back.
struct TDavEntBlk {
    TDavEntAttr att;  ///< its attributes
    ///@{
    /// Insertion point.
    double px = 0.0, py = 0.0;
    ///@}
    std::u16string nam;  ///< the block's name
};

/// A two-point solid (kind 9).
struct TDavEntSld2 {
    TDavEntAttr att;  ///< its attributes
    int Color = 0;    ///< RGB colour, written when att.Col is 10
    ///@{
    /// The two points.
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    ///@}
};

/// A three-point solid (kind 10).
struct TDavEntSld3 {
    TDavEntAttr att;  ///< its attributes
    int Color = 0;    ///< RGB colour, written when att.Col is 10
    ///@{
    /// The three corners.
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0, x3 = 0.0, y3 = 0.0;
    ///@}
};

/// A four-point solid (kind 11).
struct TDavEntSld4 {
    TDavEntAttr att;  ///< its attributes
    int Color = 0;    ///< RGB colour, written when att.Col is 10
    ///@{
    /// The four corners.
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0, x3 = 0.0, y3 = 0.0, x4 = 0.0, y4 = 0.0;
    ///@}
};

/// A circular solid (kinds 12 and 13).
struct TDavEntSldC {
    TDavEntAttr att;  ///< its attributes
    int Color = 0;    ///< RGB colour, written when att.Col is 10
    ///@{
    /// Centre (cx, cy), radius cr, flatness ratio he, tilt angle ka, start angle sa and swept
    /// angle da.
    double cx = 0.0, cy = 0.0, cr = 0.0, he = 0.0, ka = 0.0, sa = 0.0, da = 0.0;
    ///@}
    int fl = 0;  ///< the code given with the solid
};

/// A ring solid (kinds 14 and 15): as the circular solid, with an inner radius in place of
/// the code.
struct TDavEntSldD {
    TDavEntAttr att;  ///< its attributes
    int Color = 0;    ///< RGB colour, written when att.Col is 10
    ///@{
    /// Centre (cx, cy), radius cr, flatness ratio he, tilt angle ka, start angle sa and swept
    /// angle da.
    double cx = 0.0, cy = 0.0, cr = 0.0, he = 0.0, ka = 0.0, sa = 0.0, da = 0.0;
    ///@}
    double ri = 0.0;  ///< inner radius
};

/// One segment of the polyline buffer (TJGdata::S_PLineSet).
struct TDavPLine {
    ///@{
    /// Start point (x1, y1) and end point (x2, y2).
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    ///@}
};

/// One of the host's ten text types.
struct TDavMojisyu {
    double W = 3.0;  ///< character width
    double H = 3.0;  ///< character height
    double D = 0.0;  ///< character spacing
    int C = 2;       ///< colour code
};

/// The override arguments of the write-back (TJGdata::S_EntAll).
struct TDavOverrides {
    ///@{
    /// Layer group, layer, colour, line type, width, text colour, text base point and solid
    /// colour forced on every entity; -1 keeps the entity's own.
    int a1 = -1, a2 = -1, a3 = -1, a4 = -1, a5 = -1, a6 = -1, a7 = -1, a8 = -1;
    ///@}
};

/// The exchange model: the host's settings, picked points, layer tables and selected entities
/// as read from its exchange file, the entity store that callers append to, and the command
/// writer whose lines SaveTempFile writes back for the host to execute.
///
/// A typical external program: OpenTempFile on the host's file, read the model, S_Init, send
/// commands (S_* methods, or A_* appenders followed by S_EntAll), SaveTempFile. A program that
/// answers with a model of its own starts it with TakeHostSettings. One object
/// belongs to one thread at a time; objects on different threads are independent.
class TJGdata {
public:
    TJGdata();   ///< An empty model with every default.
    ~TJGdata();  ///< Releases the model.
    TJGdata(const TJGdata&) = delete;
    TJGdata& operator=(const TJGdata&) = delete;

    /// @name Writer state
    /// What the attribute commands last wrote, and their force flags (S_Init sets every flag,
    /// writing a line clears its own). While the host's file is read, the reader's current
    /// attributes; the entity store gives their values to new entities.
    ///@{
    /// Force flags: the next command of that attribute writes its line even when unchanged.
    bool w_FlgLGrp = true, w_FlgLay = true, w_FlgCol = true, w_FlgLtp = true, w_FlgWid = true;
    bool w_FlgMjs = true, w_FlgMbs = true, w_FlgFont = true, w_FlgPCol = true, w_FlgSCol = true;
    int w_IPNo = 0;         ///< picked point that the next entity is attached to, 0 = none
    int w_LGrp = 0;         ///< layer group 0..15
    int w_Lay = 0;          ///< layer 0..15
    int w_Col = 1;          ///< colour code
    int w_Ltp = 1;          ///< line-type code
    int w_Wid = 0;          ///< line width
    int w_Mjs = 1;          ///< text type: 1..10, or the free sizes below
    double w_MjsW = 2.0;    ///< width of the free text type
    double w_MjsH = 2.0;    ///< height of the free text type
    double w_MjsD = 0.0;    ///< character spacing of the free text type
    int w_MjsC = 1;         ///< colour of the free text type
    int w_Mbs = 0;          ///< text base-point code 0..8
    std::u16string w_Font;  ///< font text
    int w_Attr = 0;         ///< attribute bits for the next entity
    int w_CrvNo = 0;        ///< number of the last polyline group opened
    bool w_CrvFl = false;   ///< a polyline group is open
    bool w_DimFl = false;   ///< a dimension is being read
    int w_PtCol = 1;        ///< colour of points and markers
    int w_SlCol = 0;        ///< RGB colour of solids
    ///@}

    /// @name The host's settings
    ///@{
    bool MojiCode = false;  ///< the file was read as UTF-8, and is written back so
    double Jikukaku = 0.0;  ///< axis angle of the drawing, degrees
    std::u16string ZumenFile;  ///< the host's drawing file
    std::array<double, DavLimits::kScales> LGrpScale{};  ///< scale of each layer group 0..15
    double ZumenXsize = 1189.0;  ///< sheet width
    double ZumenYsize = 841.0;   ///< sheet height
    std::array<TDavMojisyu, DavLimits::kTextTypeSlots> Mojisyu{};  ///< text types 1..10; entry 0 unused
    std::array<int, DavLimits::kRgbSlots> RGB{};             ///< the "hrgb" values 1..356; entry 0 unused
    bool Zusun = false;                     ///< sheet-unit mode ("bz"): coordinates on paper
    ///@}
    ///@{
    /// A rectangle that the host gives and S_Area passes back unchanged.
    double AreaX1 = 0.0, AreaY1 = 0.0, AreaX2 = 0.0, AreaY2 = 0.0;
    ///@}

    /// @name The host's current attributes
    /// What the host had set when it started the program: the first attribute line of each
    /// kind in its file. Defaults for what a program draws.
    ///@{
    int CurLGrp = 0;         ///< layer group
    int CurLay = 0;          ///< layer
    int CurCol = 1;          ///< colour code
    int CurLtp = 1;          ///< line-type code
    int CurWid = 0;          ///< line width
    int CurMjs = 1;          ///< text type 1..10; 0: the free sizes below
    double CurMjsW = 2.0;    ///< width of the free text type
    double CurMjsH = 2.0;    ///< height of the free text type
    double CurMjsD = 0.0;    ///< character spacing of the free text type
    int CurMjsC = 1;         ///< colour of the free text type
    std::u16string CurFont;  ///< font text
    ///@}

    /// @name Picked points and layer tables
    ///@{
    std::vector<TDavIndPoint> IPoints;  ///< 100 entries, points 1..99 by their number
    int IPointN = 0;                    ///< number of picked-point lines read
    bool WidF = false;          ///< a line-width line was read; widths are written only then
    std::vector<int> LGrpStat;  ///< status of each layer group, 16 entries
    std::vector<std::u16string> LGrpName;  ///< name of each layer group, 16 entries
    std::vector<int> LayStat;              ///< status of each layer, index group * 16 + layer
    std::vector<std::u16string> LayName;   ///< name of each layer, same index
    ///@}

    /// @name The entity store
    /// One list per kind. Each list grows in blocks of 1000 and may hold more records than
    /// it uses: its count (the member ending in N) is authoritative. EntNo is the drawing
    /// order over all lists.
    ///@{
    int EntN = 0;                        ///< number of entities, the length of EntNo in use
    std::vector<TDavEntNo> EntNo;        ///< every entity in drawing order: kind and index
    int EntLineN = 0;                    ///< number of lines
    std::vector<TDavEntLine> EntLine;    ///< lines (kind 1)
    TDavEntLine EntSunLine;  ///< the line of the dimension being read; not an entity
    int EntCircN = 0;                    ///< number of circles
    std::vector<TDavEntCircle> EntCirc;  ///< circles (kind 2)
    int EntArcN = 0;                     ///< number of arcs
    std::vector<TDavEntArc> EntArc;      ///< arcs and elliptic arcs (kind 3)
    int EntTextN = 0;                    ///< number of texts
    std::vector<TDavEntText> EntText;    ///< texts (kind 4)
    int EntPntN = 0;                     ///< number of points
    std::vector<TDavEntPnt> EntPnt;      ///< points (kind 5)
    int EntMarkN = 0;                    ///< number of markers
    std::vector<TDavEntMark> EntMark;    ///< markers (kind 6)
    int EntDimN = 0;                     ///< number of dimensions
    std::vector<TDavEntDim> EntDim;      ///< dimensions (kind 7)
    int EntBlkN = 0;                     ///< number of block inserts
    std::vector<TDavEntBlk> EntBlk;      ///< block inserts (kind 8)
    int EntSld2N = 0;                    ///< number of two-point solids
    std::vector<TDavEntSld2> EntSld2;    ///< two-point solids (kind 9)
    int EntSld3N = 0;                    ///< number of three-point solids
    std::vector<TDavEntSld3> EntSld3;    ///< three-point solids (kind 10)
    int EntSld4N = 0;                    ///< number of four-point solids
    std::vector<TDavEntSld4> EntSld4;    ///< four-point solids (kind 11)
    int EntSldCN = 0;                    ///< number of "sc" circular solids
    std::vector<TDavEntSldC> EntSldC;    ///< "sc" circular solids (kind 12)
    int EntSldEN = 0;                    ///< number of "se" circular solids
    std::vector<TDavEntSldC> EntSldE;    ///< "se" circular solids (kind 13)
    int EntSldON = 0;                    ///< number of "so" ring solids
    std::vector<TDavEntSldD> EntSldO;    ///< "so" ring solids (kind 14)
    int EntSldGN = 0;                    ///< number of "sg" ring solids
    std::vector<TDavEntSldD> EntSldG;    ///< "sg" ring solids (kind 15)
    ///@}

    /// @name Output buffers
    ///@{
    int t_MemN = 0;                    ///< number of command lines waiting to be saved
    std::vector<std::u16string> t_Mem;  ///< the command lines (t_MemN of them are in use)
    /// When set, SendMem hands the buffer to t_MemSink each time t_MemN reaches t_MemSinkEvery,
    /// so that a caller who streams the commands out (ziv write) never holds them all at once;
    /// the sink takes the t_MemN lines in use and sets t_MemN to 0. Unset, the default, the
    /// buffer keeps every line until it is saved.
    std::function<void(TJGdata&)> t_MemSink;
    int t_MemSinkEvery = 0;  ///< lines that make the buffer go to t_MemSink
    int t_PLineN = 0;                  ///< number of polyline segments waiting to be sent
    std::vector<TDavPLine> t_PLine;    ///< the polyline segments
    ///@}

    /// @name Display colours
    ///@{
    int aCol = 0;   ///< display colour of the colour last set through the store
    int aSCol = 0;  ///< display colour of the solid colour last set through the store
    ///@}

    /// @name Model and files
    ///@{
    /// Empties the model and the buffers and restores every default.
    void DataInit();
    /// Releases the storage of every list, table and buffer; DataInit makes the model usable
    /// again.
    void DataFree();
    /// Reads the host's exchange file fn (UTF-8 or UTF-16 with byte-order mark, or code page
    /// 932 without) into the model. False when the file is missing or cannot be read, and
    /// the model is then as it was; lines the reader does not know are skipped, values out of
    /// range replaced by defaults. The file is read through a buffer of one block, so its
    /// bytes are never held whole. (Should a read fail after the file has been read through
    /// once, the result is false too, and the model keeps the lines read before it.)
    /// A file larger than DavLimits::kMaxFileBytes, or with a line longer than
    /// DavLimits::kMaxLineBytes, is refused: false, the model as it was, and OpenFault says
    /// which limit; the first is found from the file's size, the second while no more than
    /// about twice the longest line of the file's bytes is held.
    bool OpenTempFile(const std::u16string& fn);
    /// What OpenTempFile does once the file's bytes are in memory: decode, split, parse. The
    /// same limits refuse the same bytes.
    bool OpenTempBytes(std::string_view bytes);
    /// Why the last OpenTempFile or OpenTempBytes returned false; TDavOpenFault::None after
    /// one that read its file.
    TDavOpenFault OpenFault() const { return openFault_; }
    /// An observer of the reader: every line read and every line skipped or mended (see
    /// DavReadSink.h). nullptr, the default, reports nothing. The sink is not owned.
    void SetReadSink(TDavReadSink* sink) { readSink_ = sink; }
    TDavReadSink* ReadSink() const { return readSink_; }
    /// Resets the writer state before commands are sent: every force flag set, the
    /// remembered attributes back to their defaults.
    void S_Init();
    /// Appends one command line to the buffer. A program that sends its own commands for a
    /// host file in sheet units (Zusun) sends "bz" through it first.
    void SendMem(const std::u16string& s);
    /// Appends one command line to the buffer, taking its storage.
    void SendMem(std::u16string&& s);
    /// Replaces the file fn with the buffered command lines (UTF-8 with byte-order mark when
    /// the host's file was UTF-8, else code page 932; CR LF line ends), atomically: the host
    /// finds either its old file or the whole new one. False when it could not be written;
    /// the old file is then left as it was.
    bool SaveTempFile(const std::u16string& fn);
    /// The bytes SaveTempFile writes for the current buffer.
    std::string TempFileBytes() const;
    /// Appends an entry to the drawing order: kind a_yn, index a_no in its list.
    void SetEntNo(int a_yn, int a_no);
    /// Fills at from the current attributes (w_IPNo, w_LGrp, ..., w_Attr).
    void SetEntAttr(TDavEntAttr& at) const;
    /// Copies every attribute of a2, IPNo included, into a1.
    static void CopyEntAttr(TDavEntAttr& a1, const TDavEntAttr& a2);
    /// Drops every buffered command line (what an aborted write-back does).
    void StopDavGaibu();

    /// A list's count as the code reads it: the count itself when the list holds that many
    /// records, else 0 (a count that a caller set out of range, or one left over from storage
    /// that was released).
    template <class T>
    static int CountIn(int count, const std::vector<T>& list) {
        return count >= 0 && static_cast<size_t>(count) <= list.size() ? count : 0;
    }
    /// Appends one record to a list under the block policy and returns it (zero-filled). A
    /// count out of range starts the list afresh.
    /// With tight (the reader of the host's file, whose lists are sized beforehand), a list that
    /// is full grows by the one record instead, built once in place; the reader then fills the
    /// rest of the last block.
    template <class T>
    static T& GrowAppend(std::vector<T>& list, int& count, bool tight = false) {
        count = CountIn(count, list) + 1;
        if (static_cast<size_t>(count) > list.size()) {
            if (tight) {
                return list.emplace_back();
            }
            list.resize(BlockLength(count));
        }
        T& rec = list[static_cast<size_t>(count) - 1];
        rec = T{};
        return rec;
    }
    /// The length of a list that holds count records under the block policy: whole blocks of
    /// 1000.
    static size_t BlockLength(int count) {
        return (static_cast<size_t>(count) + 999) / 1000 * 1000;
    }
    /// Appends a new entity of the given kind: its EntNo entry, its record and the current
    /// attributes in its att.
    template <class T>
    T& NewEntity(int kind, std::vector<T>& list, int& count) {
        SetEntNo(kind, count);
        T& rec = GrowAppend(list, count);
        SetEntAttr(rec.att);
        lastStored_ = TDavEntNo{kind, count - 1};
        return rec;
    }
    /// The records of a list that are in use, as a span: the first count of them (CountIn;
    /// none for a count out of range). For every list with a count: entity lists, EntNo,
    /// t_Mem, t_PLine.
    ///
    ///     for (const TDavEntLine& l : TJGdata::Used(jg.EntLine, jg.EntLineN)) { ... }
    template <class T>
    static std::span<T> Used(std::vector<T>& list, int count) {
        return std::span<T>(list.data(), static_cast<size_t>(CountIn(count, list)));
    }
    /// The records of a list that are in use, read-only.
    template <class T>
    static std::span<const T> Used(const std::vector<T>& list, int count) {
        return std::span<const T>(list.data(), static_cast<size_t>(CountIn(count, list)));
    }
    ///@}

    /// @name Answering the host with a model of the program's own
    /// A new TJGdata has the defaults of a model without a file: the host's current
    /// attributes layer group 0, layer 0, colour 1, line type 1, width 0, text type 1, no
    /// font; no sheet-unit mode; code page 932 on saving. Written back as it is, it would
    /// switch the host's current layer to 0-0 (S_EntAll ends with the model's CurLGrp and
    /// CurLay). TakeHostSettings gives it the host's instead.
    ///@{
    /// Takes from the model host, read from the host's file, everything but its entities:
    /// the host's settings (MojiCode, Jikukaku, ZumenFile, LGrpScale, the sheet size,
    /// Mojisyu, RGB, Zusun, the area), its current attributes (CurLGrp to CurFont), the
    /// picked points and the layer tables (WidF included); then A_CurAttr. So a write-back of
    /// this model sends "bz" when the host's file did, ends on the host's current layer
    /// group and layer, writes widths only when the host sent them, is saved in the host's
    /// encoding, and its entities appended without attributes carry the host's current ones.
    /// The entity lists, the command buffer and the force flags are left as they are.
    void TakeHostSettings(const TJGdata& host);
    /// The host's current attributes as an entity's: CurLGrp, CurLay, CurCol, CurLtp,
    /// CurWid; IPNo and Attr 0. For the appenders that take explicit attributes.
    TDavEntAttr CurAttr() const;
    /// Makes the host's current attributes the current attributes that the appenders
    /// without explicit attributes give new entities: layer group, layer, colour, line type
    /// and width (as CurAttr), the text type with its free sizes (CurMjs to CurMjsC) and the
    /// font (CurFont); no picked point, no attribute bits. The base point and the colours of
    /// points and solids stay as they are. Writes no command.
    void A_CurAttr();
    ///@}

    /// @name General syntax
    ///@{
    /// Sends the comment line "h#" followed by s.
    void S_Comment(const std::u16string& s);
    /// Sends the host's rectangle back unchanged ("hn").
    void S_Area();
    ///@}

    /// @name Attribute commands
    /// Each writes its line only when the value differs from the one last written or its
    /// force flag is set. A mode of 1 maps the value from the caller's numbering to the
    /// host's code; any other mode takes it as the host's code.
    ///@{
    void S_LGrp(int lgrp);  ///< layer group 0..15
    void S_Lay(int lay);    ///< layer 0..15
    void S_Col(int col, int mode);  ///< colour
    void S_Ltp(int ltp, int mode);  ///< line type
    void S_Wid(int wid);  ///< line width 0..30000; written only when the host sent widths
    /// Text type mjs 1..10, or 0 with the free width mw, height mh, spacing md and colour col.
    void S_Mjs(int mjs, double mw, double mh, double md, int col, int mode);
    void S_Mbs(int mbs);                   ///< text base-point code 0..8
    void S_Font(const std::u16string& fnt);  ///< font text; empty or "<>": the host's font
    void S_PCol(int col, int mode);        ///< colour of points and markers
    void S_SCol(int col);                  ///< RGB colour of solids, 0..0xFFFFFF
    void S_SColRGB(int r, int g, int b);   ///< RGB colour of solids from its components
    void S_Attr(int att);                  ///< attribute bits of the next entity
    /// Attribute bits of the next entity, one flag each.
    void S_Attr(bool at1, bool at2, bool at3, bool at4, bool at5);
    /// Attribute bits of the next entity, each set when its value is not 0.
    void S_Attr(int at1, int at2, int at3, int at4, int at5);
    ///@}

    /// @name Text and dimension commands
    ///@{
    /// A text m of kind no (0 "ch" horizontal, 1 "cv" vertical, 8 "cz", 9 "c2") at (x1, y1)
    /// in the direction of the vector (x2, y2).
    void S_Text(int no, double x1, double y1, double x2, double y2, const std::u16string& m);
    /// A dimension: its line from (lx1, ly1) to (lx2, ly2), its text m at (tx1, ty1) in the
    /// direction (tx2, ty2).
    void S_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1, double tx2,
               double ty2, const std::u16string& m);
    ///@}

    /// @name Geometry commands
    /// Degenerate geometry (a line of no length, a radius or flatness of about 0) writes
    /// nothing.
    ///@{
    void S_Line(double x1, double y1, double x2, double y2);  ///< a line
    void S_PLineStart();  ///< opens a polyline block ("pl")
    void S_PLineEnd();    ///< closes a polyline block ("#")
    /// Appends a segment to the polyline buffer.
    void S_PLineSet(double px1, double py1, double px2, double py2);
    void S_PLineReset();  ///< empties the polyline buffer
    /// Sends the buffered segments: one segment as a line, more as a polyline block.
    void S_PLine();
    void S_Ten(double x, double y);  ///< a point
    /// A marker of code cod at (x, y), scale factor bai, angle ang.
    void S_Mark(double x, double y, double bai, double ang, int cod);
    void S_Circle(double x, double y, double r);  ///< a circle
    /// An arc: centre (x, y), radius r, angles sa and ea, flatness h, tilt ka.
    void S_Arc(double x, double y, double r, double sa, double ea, double h, double ka);
    void S_Solid2(double x1, double y1, double x2, double y2);  ///< a two-point solid
    /// A three-point solid; nothing when two corners coincide.
    void S_Solid3(double x1, double y1, double x2, double y2, double x3, double y3);
    /// A four-point solid; with coinciding corners a three-point solid or nothing.
    void S_Solid4(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                  double y4);
    /// An "sc" circular solid (codes 100, 5, 0, -1).
    void S_SolidC(double x, double y, double r, double h, double ka, double sa, double da, int cod);
    /// An "se" circular solid (codes 100, 0).
    void S_SolidD(double x, double y, double r, double h, double ka, double sa, double da, int cod);
    /// An "so" ring solid with inner radius ri.
    void S_SolidO(double x, double y, double r, double h, double ka, double sa, double da,
                  double ri);
    /// An "sg" ring solid with inner radius ri.
    void S_SolidG(double x, double y, double r, double h, double ka, double sa, double da,
                  double ri);
    ///@}

    /// @name Entity store: attribute setters
    /// Set the current attributes that the appenders without explicit attributes give new
    /// entities. They write no command and leave the force flags alone.
    ///@{
    void A_LGrp(int lgrp);  ///< layer group
    void A_Lay(int lay);    ///< layer
    void A_Col(int col, int mode);  ///< colour (mode 1: the caller's numbering)
    void A_Ltp(int ltp, int mode);  ///< line type (mode 1: the caller's numbering)
    void A_Wid(int wid);    ///< line width
    /// Text type and free sizes, as S_Mjs.
    void A_Mjs(int mjs, double mw, double mh, double md, int col, int mode);
    void A_Mbs(int mbs);  ///< text base-point code
    void A_Font(const std::u16string& fnt);  ///< font text
    void A_PCol(int col, int mode);  ///< colour of points and markers
    void A_SCol(int col);            ///< RGB colour of solids
    void A_SColRGB(int r, int g, int b);  ///< RGB colour of solids from its components
    void A_Attr(int att);                 ///< attribute bits
    ///@}

    /// @name Entity store: appenders
    /// Each appends one entity to its kind's list and to the drawing order, with the current
    /// attributes or with the explicit ones in at. Degenerate geometry is not stored.
    ///
    /// **The current attributes** are the fields w_IPNo, w_LGrp, w_Lay, w_Col, w_Ltp, w_Wid
    /// and w_Attr (texts: w_Mjs to w_MjsC, w_Mbs, w_Font), which the A_ setters change. They
    /// are not the host's current attributes (CurLGrp, ...): after OpenTempFile they hold
    /// what the last attribute lines of the host's file set, after S_Init the writer's
    /// defaults (layer group 0, layer 0, colour 1, line type 1). To append with the host's
    /// current attributes, call A_CurAttr first or pass CurAttr() as at.
    ///
    /// An appender returns nothing; A_Stored tells whether the call stored its entity and
    /// where.
    ///@{
    /// What the last appender call stored (A_Line to A_SolidG, either overload): the new
    /// entity's kind and its index in that kind's list, as its EntNo entry holds them
    /// (a four-point solid reduced to three corners: kind 10); kind 0 and index -1 when that
    /// call refused its input (a number that is not finite, degenerate geometry, a blank
    /// text, a code out of range), and before any appender call. Reading a file does not
    /// change it.
    TDavEntNo A_Stored() const { return lastStored_; }
    void A_Line(double ax1, double ay1, double ax2, double ay2);  ///< a line
    void A_Line(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2);  ///< a line
    void A_Ten(double ax, double ay);                  ///< a point
    void A_Ten(TDavEntAttr at, double ax, double ay);  ///< a point
    /// A marker.
    void A_Mark(double ax, double ay, double abai, double aang, int acod);
    /// A marker.
    void A_Mark(TDavEntAttr at, double ax, double ay, double abai, double aang, int acod);
    void A_Circle(double ax, double ay, double ar);                  ///< a circle
    void A_Circle(TDavEntAttr at, double ax, double ay, double ar);  ///< a circle
    /// An arc.
    void A_Arc(double ax, double ay, double ar, double asa, double aea, double ah, double aka);
    /// An arc.
    void A_Arc(TDavEntAttr at, double ax, double ay, double ar, double asa, double aea, double ah,
               double aka);
    /// A text, with the current text type, base point and font.
    void A_Text(int ano, double ax1, double ay1, double ax2, double ay2, const std::u16string& am);
    /// A text, with the current text type, base point and font.
    void A_Text(TDavEntAttr at, int ano, double ax1, double ay1, double ax2, double ay2,
                const std::u16string& am);
    /// A dimension.
    void A_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1, double tx2,
               double ty2, const std::u16string& m);
    /// A dimension.
    void A_Dim(TDavEntAttr at, double lx1, double ly1, double lx2, double ly2, double tx1,
               double ty1, double tx2, double ty2, const std::u16string& m);
    /// A two-point solid.
    void A_Solid2(double ax1, double ay1, double ax2, double ay2);
    /// A two-point solid.
    void A_Solid2(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2);
    /// A three-point solid.
    void A_Solid3(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3);
    /// A three-point solid.
    void A_Solid3(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2, double ax3,
                  double ay3);
    /// A four-point solid.
    void A_Solid4(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3,
                  double ax4, double ay4);
    /// A four-point solid.
    void A_Solid4(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2, double ax3,
                  double ay3, double ax4, double ay4);
    /// An "sc" circular solid.
    void A_SolidC(double ax, double ay, double ar, double ah, double aka, double asa, double ada,
                  int acod);
    /// An "sc" circular solid.
    void A_SolidC(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                  double asa, double ada, int acod);
    /// An "se" circular solid.
    void A_SolidD(double ax, double ay, double ar, double ah, double aka, double asa, double ada,
                  int acod);
    /// An "se" circular solid.
    void A_SolidD(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                  double asa, double ada, int acod);
    /// An "so" ring solid.
    void A_SolidO(double ax, double ay, double ar, double ah, double aka, double asa, double ada,
                  double ari);
    /// An "so" ring solid.
    void A_SolidO(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                  double asa, double ada, double ari);
    /// An "sg" ring solid.
    void A_SolidG(double ax, double ay, double ar, double ah, double aka, double asa, double ada,
                  double ari);
    /// An "sg" ring solid.
    void A_SolidG(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                  double asa, double ada, double ari);
    /// The display colour (0xBBGGRR) of the host's colour code col; 0 for a code without one.
    int GetColorDisp(int col) const;
    ///@}

    /// @name Write-back of the whole model
    /// Every entity in drawing order becomes its attribute commands and its command. The
    /// arguments force a layer group (a1), layer (a2), colour (a3), line type (a4), width
    /// (a5), text colour (a6), text base point (a7) and, with a3 = 10, solid RGB colour (a8)
    /// on every entity; -1 keeps each entity's own. Holding Escape down stops the write-back
    /// and drops the buffered commands.
    ///
    /// When Zusun is set, both send the line "bz" first (no other call does, so a program that
    /// also sends commands of its own does not send it again). Both end with S_LGrp(CurLGrp)
    /// and S_Lay(CurLay), so that the host's current layer follows the last entity: a model
    /// of the program's own takes the host's with TakeHostSettings.
    ///@{
    /// Entities in drawing order; lines of polyline groups as single lines.
    void S_EntAll(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8);
    /// As S_EntAll, with the lines of each polyline group written last as one polyline block.
    void S_EntAllp(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8);
    ///@}

private:
    int ConvColNo(int col) const;
    // Hands the buffer to t_MemSink once it holds t_MemSinkEvery lines.
    void SinkMemIfFull();
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
    // Each kind's description names its writer above (DavKinds.h).
    template <class K>
    friend struct DavKinds::TWriterOf;

    TDavReadSink* readSink_ = nullptr;
    // What the last appender call stored (A_Stored); every appender starts by clearing it.
    TDavEntNo lastStored_{0, -1};
    void ClearStored() { lastStored_ = TDavEntNo{0, -1}; }
    TDavOpenFault openFault_ = TDavOpenFault::None;
};
