// Platform: the portable part of the platform layer, the Escape probe and the decimal separator.
#include "Platform.h"

#include <atomic>
#include <filesystem>
#include <mutex>
#include <utility>

#include "PlatformNative.h"

namespace {

// 0 until the separator has been taken from the user's settings or set by a caller.
std::atomic<char16_t> gDecimalSeparator{0};

std::mutex gProbeMutex;
bool gProbeInstalled = false;
std::function<bool()> gEscapeProbe;

}  // namespace

namespace Platform {

char16_t DecimalSeparator() {
    char16_t sep = gDecimalSeparator.load(std::memory_order_relaxed);
    if (sep == 0) {
        sep = Native::UserDecimalSeparator();
        if (sep == 0) {
            sep = u'.';
        }
        char16_t expected = 0;
        // A separator set meanwhile by a caller wins over the user's settings.
        if (!gDecimalSeparator.compare_exchange_strong(expected, sep)) {
            sep = expected;
        }
    }
    return sep;
}

std::u16string ProgramFolder() {
    const std::filesystem::path program = Native::ProgramPath();
    if (program.empty() || !program.has_parent_path()) {
        return {};
    }
    std::u16string folder = program.parent_path().u16string();
    if (folder.empty() || folder.back() != std::filesystem::path::preferred_separator) {
        folder += static_cast<char16_t>(std::filesystem::path::preferred_separator);
    }
    return folder;
}

void SetDecimalSeparator(char16_t separator) {
    gDecimalSeparator.store(separator, std::memory_order_relaxed);
}

bool EscapeKeyDown() {
    std::function<bool()> probe;
    {
        std::lock_guard<std::mutex> lock(gProbeMutex);
        if (!gProbeInstalled) {
            gEscapeProbe = Native::DefaultEscapeProbe();
            gProbeInstalled = true;
        }
        probe = gEscapeProbe;
    }
    return probe ? probe() : false;
}

void SetEscapeProbe(std::function<bool()> probe) {
    std::lock_guard<std::mutex> lock(gProbeMutex);
    gEscapeProbe = std::move(probe);
    gProbeInstalled = true;
}

}  // namespace Platform
