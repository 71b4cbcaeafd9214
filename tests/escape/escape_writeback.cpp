// escape_writeback: writes back a model of many lines with S_EntAll and reports what the
// Escape key did, for escape_key.sh. Unlike the unit tests it keeps the platform's own Escape
// probe, so the key state comes from the X server (or from nowhere without one).
//
// Prints "escape=<0|1> lines=<command lines written>" and exits 0.
#include <cstdio>

#include "exchange/DavGaibu.h"
#include "util/MyFunc.h"

int main() {
    constexpr int kLines = 5000;
    TJGdata jg;
    for (int i = 0; i < kLines; ++i) {
        jg.A_Line(0.0, i, 100.0, i);
    }
    const bool pressed = EscapePressed();
    jg.S_Init();
    jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
    std::printf("escape=%d lines=%d\n", pressed ? 1 : 0, jg.t_MemN);
    return 0;
}
