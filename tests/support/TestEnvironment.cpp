// TestEnvironment: linked into every unit-test program. Before each test the decimal separator
// is a full stop and the Escape key is never pressed, whatever the machine's settings and
// whatever the test before installed; a test that needs other values sets them itself and
// leaves them behind.
#include <gtest/gtest.h>

#include "util/Platform.h"

namespace {

class TPlatformForTests : public ::testing::EmptyTestEventListener {
public:
    static void Reset() {
        Platform::SetDecimalSeparator(u'.');
        Platform::SetEscapeProbe({});
    }
    void OnTestStart(const ::testing::TestInfo&) override { Reset(); }
};

class TTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override { TPlatformForTests::Reset(); }
};

// Registered before main runs; GoogleTest owns both objects.
[[maybe_unused]] const bool kRegistered = [] {
    ::testing::AddGlobalTestEnvironment(new TTestEnvironment);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TPlatformForTests);
    return true;
}();

}  // namespace
