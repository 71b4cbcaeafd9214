// Write-back of a large model: in drawing order, and with polyline groups written last.
#include <benchmark/benchmark.h>

#include "exchange/DavGaibu.h"
#include "util/Platform.h"

namespace {

constexpr int kEntities = 1000000;

// Half of the entities are lines in polyline groups of two, each pair split by another
// entity; the other half mixes circles, texts, points, plain lines, solids and arcs, with the
// colour changing now and then.
void Build(TJGdata* m) {
    m->WidF = true;
    const int groups = kEntities / 4;
    for (int g = 1; g <= groups; ++g) {
        const double x = g % 1000;
        const double y = g / 1000;
        m->A_Col(1 + g % 3, 0);
        for (int half = 0; half < 2; ++half) {
            m->A_Line(x, y + half, x + 0.5, y + half + 0.5);
            m->EntLine[static_cast<size_t>(m->EntLineN) - 1].CrvNo = g;
            switch ((2 * g + half) % 6) {
                case 0: m->A_Circle(x, y, 1.25); break;
                case 1: m->A_Text(0, x, y, 10, 0, u"No.12"); break;
                case 2: m->A_Ten(x, y); break;
                case 3: m->A_Line(x, y, x, y + 2); break;
                case 4: m->A_Solid3(x, y, x + 1, y, x, y + 1); break;
                default: m->A_Arc(x, y, 2, 0, 90, 1, 0); break;
            }
        }
    }
}

TJGdata& Model() {
    static TJGdata jg;
    static const bool built = (Build(&jg), true);
    (void)built;
    return jg;
}

void WriteBack(benchmark::State& state, bool grouped) {
    Platform::SetDecimalSeparator(u'.');
    TJGdata& jg = Model();
    for (auto _ : state) {
        jg.StopDavGaibu();
        jg.S_Init();
        if (grouped) {
            jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
        } else {
            jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
        }
        benchmark::DoNotOptimize(jg.t_MemN);
    }
    state.SetItemsProcessed(state.iterations() * jg.EntN);
    state.counters["lines"] = jg.t_MemN;
}

}  // namespace

BENCHMARK_CAPTURE(WriteBack, in_drawing_order, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteBack, groups_last, true)->Unit(benchmark::kMillisecond);
