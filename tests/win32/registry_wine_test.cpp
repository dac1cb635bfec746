// The registry class's contract against the real registry, through Win32RegistryApi (run under Wine
// or Windows). Saving, restoring and the in-memory registry's bookkeeping stay in the native tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "print/win32/registry_api_win.h"
#include "tests/registry_contract.h"

namespace corvane::testing {
namespace {

// Key paths, value names and texts are GBK bytes handed to the ANSI functions, which read them in
// the ANSI code page: the contract's GBK cases hold only under code page 936 (under Wine, run with
// LC_ALL=zh_CN.UTF-8).
TEST(Win32RegistryEnvironment, AnsiCodePageIsGbk) {
    EXPECT_EQ(936u, GetACP()) << "run the tests with the ANSI code page 936 (Wine: LC_ALL=zh_CN.UTF-8)";
}

INSTANTIATE_TEST_SUITE_P(Windows, RegistryContract,
                         ::testing::Values(RegistryBackend{
                             .name = "Win32RegistryApi",
                             .make = [] { return std::make_unique<win32::Win32RegistryApi>(); },
                             .scratchSubKey = "Software\\CorvaneRegistryTest",
                         }),
                         BackendName);

}  // namespace
}  // namespace corvane::testing
