// fuzz_Settings: the dialog's settings file read from any bytes, written and read again; the
// second reading formats to the same lines as the first.
#include <cstddef>
#include <cstdint>
#include <cstdlib>  // for std::abort
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "app/Unit1Logic.h"
#include "util/LineBreaks.h"
#include "util/Platform.h"
#include "util/TextFile.h"

namespace {

constexpr size_t kMaxInput = size_t{1} << 16;
// The lists whose positions the file stores: orientations, text types, fonts, base points.
constexpr TListSizes kSizes{4, 11, 120, 9};
constexpr int kMsGothic = 7;

void Require(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// One file for the whole run in the temporary folder, removed at exit.
class TDatFile {
public:
    TDatFile() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("r407_fuzz_settings_" + std::to_string(rd()) + ".dat");
        name_ = path_.u16string();
    }
    ~TDatFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    const std::u16string& Name() const { return name_; }

private:
    std::filesystem::path path_;
    std::u16string name_;
};

const std::u16string& DatFile() {
    static const TDatFile file;
    return file.Name();
}

// The lines as they come back from a file: UTF-8 turns a lone surrogate into U+FFFD.
std::vector<std::u16string> AsSaved(std::vector<std::u16string> lines) {
    for (std::u16string& line : lines) {
        line = FromUtf8(ToUtf8(line));
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) {
        return -1;
    }
    Platform::SetDecimalSeparator(u'.');
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Require(WriteFileReplacing(DatFile(), bytes));

    TDialogSettings first = DefaultSettings(kMsGothic);
    Require(LoadSettingsFile(DatFile(), kSizes, first));
    const std::vector<std::u16string> lines = SettingsLines(first);
    // The lines read from bytes in memory are the lines read from the file.
    TDialogSettings fromLines = DefaultSettings(kMsGothic);
    std::vector<std::u16string> decoded;
    LineBreaks::ForEachLine(DecodeTextBytes(bytes).text,
                            [&decoded](std::u16string_view line) { decoded.emplace_back(line); });
    ApplySettingsLines(decoded, kSizes, fromLines);
    Require(SettingsLines(fromLines) == lines);

    Require(SaveSettingsFile(DatFile(), first));
    TDialogSettings second = DefaultSettings(kMsGothic);
    Require(LoadSettingsFile(DatFile(), kSizes, second));
    Require(SettingsLines(second) == AsSaved(lines));
    return 0;
}
