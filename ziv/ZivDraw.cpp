// ZivDraw: one scene, or the host's scene dimmed beneath a program's output.
#include "ziv/ZivDraw.h"

#include <vector>

#include "scene/DavScene.h"
#include "ziv/ZivLoad.h"
#include "ziv/ZivSvg.h"

namespace {

void TakeTextType(const TJGdata& host, TDavEntText& t) {
    if (t.cn >= 1 && static_cast<size_t>(t.cn) < host.Mojisyu.size()) {
        const TDavMojisyu& m = host.Mojisyu[static_cast<size_t>(t.cn)];
        t.mw = m.W;
        t.mh = m.H;
        t.md = m.D;
        t.att.Col = m.C;
    }
}

}  // namespace

void TakeHostStyle(const TJGdata& host, TJGdata& output) {
    output.Mojisyu = host.Mojisyu;
    output.RGB = host.RGB;
    output.LGrpScale = host.LGrpScale;
    for (int i = 0; i < output.EntTextN; ++i) {
        TakeTextType(host, output.EntText[static_cast<size_t>(i)]);
    }
    for (int i = 0; i < output.EntDimN; ++i) {
        TakeTextType(host, output.EntDim[static_cast<size_t>(i)].txt);
    }
}

std::string DrawFile(const std::string& file, const std::string& host, int size,
                     std::size_t& leftOut) {
    if (host.empty()) {
        TJGdata jg;
        LoadHostFile(file, jg);
        const DavScene::TScene scene = DavScene::BuildScene(jg);
        const TSvgLayer layer{&scene, false};
        return SceneSvg({&layer, 1}, size, &leftOut);
    }
    TJGdata hostModel;
    LoadHostFile(host, hostModel);
    TJGdata output;
    LoadHostFile(file, output);
    TakeHostStyle(hostModel, output);
    const DavScene::TScene under = DavScene::BuildScene(hostModel);
    const DavScene::TScene over = DavScene::BuildScene(output);
    const std::vector<TSvgLayer> layers = {{&under, true}, {&over, false}};
    return SceneSvg(layers, size, &leftOut);
}
