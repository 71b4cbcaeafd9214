// StartupCheck: whether the host's exchange file lets the dialog do its work.
#include "StartupCheck.h"

#include <filesystem>
#include <system_error>

#include "exchange/DavGaibu.h"
#include "util/TextFile.h"

TStartupProblem StartupProblem(const THostFileState& state) {
    if (!state.present) {
        return TStartupProblem::NoHostFile;
    }
    if (!state.read) {
        return TStartupProblem::HostFileUnreadable;
    }
    if (state.readOnly) {
        return TStartupProblem::FileReadOnly;
    }
    if (!state.replaceable) {
        return TStartupProblem::FolderNotWritable;
    }
    return TStartupProblem::None;
}

THostFileState OpenHostFile(const std::u16string& fileName, TJGdata& jg) {
    THostFileState state;
    const std::string name = NativeFileName(fileName);
    std::error_code ec;
    state.present =
        !fileName.empty() &&
        std::filesystem::exists(std::filesystem::path(std::u8string(name.begin(), name.end())), ec);
    if (!state.present) {
        return state;
    }
    state.read = jg.OpenTempFile(fileName);
    if (!state.read) {
        return state;
    }
    state.readOnly = IsReadOnlyFile(fileName);
    state.replaceable = !state.readOnly && CanReplaceFile(fileName);
    return state;
}

namespace {

// What the user can do when OK could not write: move the program, and undo in the host what
// it drew from its own file once the program has ended.
constexpr std::u16string_view kMoveAdvice =
    u"を、書き込みのできるフォルダーに移して下さい。"
    u"CADの外部変形の設定も、そのフォルダーに合わせて下さい。\n"
    u"終了後にCADが選択した図形をもう一度作図したときは、CADで元に戻して下さい。";

}  // namespace

std::u16string StartupMessage(TStartupProblem problem, std::u16string_view folder,
                              std::u16string_view program) {
    const std::u16string where = u"\n\nフォルダー: " + std::u16string(folder);
    const std::u16string ending = u"\n\n何も書き込まずに終了します。";
    switch (problem) {
        case TStartupProblem::None: return {};
        case TStartupProblem::NoHostFile:
            return u"ZIV_TEMP.TXTがありません。" + where +
                   u"\n\nこのプログラムは、CADの外部変形のコマンドから起動して下さい。"
                   u"CADが選んだ図形と指示した点をZIV_TEMP.TXTに書き出してから、"
                   u"このプログラムを起動します。" +
                   ending;
        case TStartupProblem::HostFileUnreadable:
            return u"ZIV_TEMP.TXTを読み込めませんでした。" + where +
                   u"\n理由: ファイルを開けないか、CADが書き出すファイルとして大きすぎます。"
                   u"\n\nZIV_TEMP.TXTはそのまま残します。CADで外部変形をやり直して下さい。" +
                   ending;
        case TStartupProblem::FileReadOnly:
            return u"ZIV_TEMP.TXTが読み取り専用のため、文字を作図できません。" + where +
                   u"\n理由: 読み取り専用のZIV_TEMP.TXTは、作図のコマンドで置き換えることも"
                   u"削除することもできません。\n\n対処: ZIV_TEMP.TXTの読み取り専用を外すか、" +
                   std::u16string(program) + std::u16string(kMoveAdvice) + ending;
        case TStartupProblem::FolderNotWritable:
            return u"フォルダーに書き込めないため、文字を作図できません。" + where +
                   u"\n理由: このフォルダーにはファイルを作ることも削除することもできません"
                   u"(読み取り専用のフォルダーか、書き込む権限がありません)。"
                   u"ZIV_TEMP.TXTを作図のコマンドで置き換えられません。\n\n対処: " +
                   std::u16string(program) + std::u16string(kMoveAdvice) + ending;
    }
    return {};
}
