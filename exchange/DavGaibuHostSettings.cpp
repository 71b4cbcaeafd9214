// DavGaibuHostSettings: a model of the program's own takes the host's settings and current
// attributes from the model read from the host's file, for a write-back that fits the host.
#include "DavGaibu.h"

void TJGdata::TakeHostSettings(const TJGdata& host) {
    if (&host == this) {
        A_CurAttr();
        return;
    }
    MojiCode = host.MojiCode;
    Jikukaku = host.Jikukaku;
    ZumenFile = host.ZumenFile;
    LGrpScale = host.LGrpScale;
    ZumenXsize = host.ZumenXsize;
    ZumenYsize = host.ZumenYsize;
    Mojisyu = host.Mojisyu;
    RGB = host.RGB;
    Zusun = host.Zusun;
    AreaX1 = host.AreaX1;
    AreaY1 = host.AreaY1;
    AreaX2 = host.AreaX2;
    AreaY2 = host.AreaY2;

    CurLGrp = host.CurLGrp;
    CurLay = host.CurLay;
    CurCol = host.CurCol;
    CurLtp = host.CurLtp;
    CurWid = host.CurWid;
    CurMjs = host.CurMjs;
    CurMjsW = host.CurMjsW;
    CurMjsH = host.CurMjsH;
    CurMjsD = host.CurMjsD;
    CurMjsC = host.CurMjsC;
    CurFont = host.CurFont;

    IPoints = host.IPoints;
    IPointN = host.IPointN;
    WidF = host.WidF;
    LGrpStat = host.LGrpStat;
    LGrpName = host.LGrpName;
    LayStat = host.LayStat;
    LayName = host.LayName;

    A_CurAttr();
}

TDavEntAttr TJGdata::CurAttr() const {
    TDavEntAttr at{};
    at.LGrp = CurLGrp;
    at.Lay = CurLay;
    at.Col = CurCol;
    at.Ltp = CurLtp;
    at.Wid = CurWid;
    return at;
}

void TJGdata::A_CurAttr() {
    w_IPNo = 0;
    A_LGrp(CurLGrp);
    A_Lay(CurLay);
    A_Col(CurCol, 0);
    A_Ltp(CurLtp, 0);
    A_Wid(CurWid);
    A_Mjs(CurMjs, CurMjsW, CurMjsH, CurMjsD, CurMjsC, 0);
    A_Font(CurFont);
    A_Attr(0);
}
