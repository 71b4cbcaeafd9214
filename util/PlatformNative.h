// PlatformNative: what each operating system's implementation gives the portable platform layer.
#pragma once

#include <functional>

namespace Platform::Native {

// The decimal separator of the user's regional settings.
char16_t UserDecimalSeparator();
// The Escape-key probe used until another one is installed; empty when the system has none.
std::function<bool()> DefaultEscapeProbe();

}  // namespace Platform::Native
