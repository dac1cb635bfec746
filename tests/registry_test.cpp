// The registry class against the in-memory registry: the shared contract, plus what only an
// in-memory registry can show (open handles, events, saving and restoring, a watch that is set).
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "print/registry.h"
#include "tests/fakes/memory_registry.h"
#include "tests/registry_contract.h"

namespace corvane::testing {
namespace {

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    InMemory, RegistryContract,
    ::testing::Values(RegistryBackend{
        .name = "MemoryRegistry",
        .make = [] { return std::make_unique<MemoryRegistry>(); },
        .openKeyCount = [](RegistryApi& api) { return static_cast<MemoryRegistry&>(api).OpenKeyCount(); },
    }),
    BackendName);

class MemoryRegistryTest : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(0u, api_.OpenKeyCount()) << ::testing::PrintToString(api_.OpenKeyPaths());
        EXPECT_EQ(0, api_.BadCloseCount());
        for (const auto& file : files_) std::filesystem::remove(file);
    }

    std::string TempFile(const std::string& name) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        files_.push_back(std::filesystem::path(::testing::TempDir()) /
                         (std::string("corvane_registry_") + info->name() + "_" + name));
        std::filesystem::remove(files_.back());
        return files_.back().string();
    }

    MemoryRegistry api_;
    CountingToolkit ui_;
    注册表类 registry_{api_, ui_};
    std::vector<std::filesystem::path> files_;
};

TEST_F(MemoryRegistryTest, OpenKeyLeavesItsHandleToTheCaller) {
    const RegKey key = registry_.OpenKey("HKEY_CURRENT_USER\\Software\\A", true);
    ASSERT_NE(0u, key);
    EXPECT_EQ(1u, api_.OpenKeyCount());
    EXPECT_EQ(std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\A"}, api_.OpenKeyPaths());
    EXPECT_EQ(kRegSuccess, api_.CloseKey(key));
    EXPECT_EQ(0u, api_.OpenKeyCount());
}

// The bookkeeping that every test's final check rests on.
TEST(MemoryRegistryBookkeeping, CountsOpenHandlesAndClosesOfHandlesThatAreNotOpen) {
    MemoryRegistry api;
    RegKey key = 0;
    ASSERT_EQ(kRegSuccess, api.CreateKey(kHkeyCurrentUser, "A", &key));
    EXPECT_EQ(1u, api.OpenKeyCount());
    EXPECT_EQ(kRegSuccess, api.CloseKey(key));
    EXPECT_EQ(0u, api.OpenKeyCount());
    EXPECT_EQ(6, api.CloseKey(key));
    EXPECT_EQ(1, api.BadCloseCount());
    EXPECT_EQ(kRegSuccess, api.CloseKey(kHkeyLocalMachine));
    EXPECT_EQ(1, api.BadCloseCount()) << "a predefined key may always be closed";
    const RegEvent event = api.CreateNamedEvent("e");
    EXPECT_EQ(1u, api.OpenEventCount());
    api.CloseEvent(event);
    EXPECT_EQ(0u, api.OpenEventCount());
    api.CloseEvent(event);
    EXPECT_EQ(2, api.BadCloseCount());
}

TEST_F(MemoryRegistryTest, HandlesOfDeletedKeysAnswerKeyDeleted) {
    RegKey key = 0;
    ASSERT_EQ(kRegSuccess, api_.CreateKey(kHkeyCurrentUser, "Gone", &key));
    EXPECT_TRUE(registry_.DeleteKey("HKEY_CURRENT_USER\\Gone"));
    EXPECT_EQ(1018, api_.SetValue(key, "v", kRegBinary, reinterpret_cast<const unsigned char*>("x"), 1));
    EXPECT_EQ(kRegSuccess, api_.CloseKey(key));
}

TEST_F(MemoryRegistryTest, WatchKeyBlocksUntilAChangeAndClosesItsEvent) {
    ASSERT_TRUE(registry_.WriteText("HKEY_CURRENT_USER\\W\\deep", "v", "0"));
    std::atomic<bool> returned = false;
    std::atomic<bool> result = false;
    std::thread watcher([&] {
        result = registry_.WatchKey("HKEY_CURRENT_USER\\W");
        returned = true;
    });
    ASSERT_TRUE(api_.WaitForWatches(1));
    EXPECT_FALSE(returned) << "the watch returned before anything changed";
    // A value set two levels down: the watch covers the subtree and last-set changes.
    EXPECT_TRUE(registry_.WriteText("HKEY_CURRENT_USER\\W\\deep", "v", "1"));
    watcher.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(std::vector<std::string>{"Quillon_reg"}, api_.CreatedEventNames());
    EXPECT_EQ(0u, api_.OpenEventCount());
}

TEST_F(MemoryRegistryTest, WatchKeyWakesWhenASubkeyIsCreated) {
    ASSERT_TRUE(registry_.WriteText("HKEY_CURRENT_USER\\W", "v", "0"));
    std::thread watcher([&] { EXPECT_TRUE(registry_.WatchKey("HKEY_CURRENT_USER\\W")); });
    ASSERT_TRUE(api_.WaitForWatches(1));
    const RegKey key = registry_.OpenKey("HKEY_CURRENT_USER\\W\\new", true);
    watcher.join();
    api_.CloseKey(key);
}

TEST_F(MemoryRegistryTest, SavedKeysRestoreWithTheirValuesAndSubkeys) {
    ASSERT_TRUE(registry_.WriteText("HKEY_CURRENT_USER\\Src", "text", "入党"));
    ASSERT_TRUE(registry_.WriteNumber("HKEY_CURRENT_USER\\Src\\a\\b", "n", 7));
    ASSERT_TRUE(registry_.WriteBytes("HKEY_CURRENT_USER\\Src\\c", "", "\0\1"s));
    ASSERT_TRUE(registry_.WriteText("HKEY_CURRENT_USER\\Dst\\old", "gone", "x"));
    ASSERT_TRUE(registry_.WriteText("HKEY_CURRENT_USER\\Dst", "gone", "x"));
    const std::string file = TempFile("src.dat");

    EXPECT_TRUE(registry_.SaveKey("HKEY_CURRENT_USER\\Src", file));
    EXPECT_TRUE(registry_.RestoreKey("HKEY_CURRENT_USER\\Dst", file));

    std::vector<Text> names;
    EXPECT_EQ(2, registry_.ListSubKeys("HKEY_CURRENT_USER\\Dst", names));
    EXPECT_EQ((std::vector<Text>{"a", "c"}), names);
    std::vector<Bytes> data;
    EXPECT_EQ(1, registry_.ListValues("HKEY_CURRENT_USER\\Dst", names, &data));
    EXPECT_EQ(std::vector<Text>{"text"}, names);
    EXPECT_EQ(std::vector<Bytes>{"入党"}, data);
    EXPECT_EQ(7, registry_.ReadNumber("HKEY_CURRENT_USER\\Dst\\a\\b", "n"));
    std::int32_t type = 0;
    EXPECT_EQ("\0\1"s, registry_.ReadBytes("HKEY_CURRENT_USER\\Dst\\c", "", &type));
    EXPECT_EQ(kRegBinary, type);
    EXPECT_FALSE(registry_.Exists("HKEY_CURRENT_USER\\Dst\\old"));
    EXPECT_TRUE(registry_.Exists("HKEY_CURRENT_USER\\Src\\a\\b", "n")) << "saving changed the source";
}

TEST_F(MemoryRegistryTest, SaveAndRestoreFailWithoutTheirKeyOrFile) {
    ASSERT_TRUE(registry_.WriteText("HKEY_CURRENT_USER\\K", "v", "x"));
    const std::string file = TempFile("k.dat");
    EXPECT_FALSE(registry_.SaveKey("HKEY_CURRENT_USER\\Missing", file));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(registry_.RestoreKey("HKEY_CURRENT_USER\\K", file)) << "no such file";
    EXPECT_TRUE(registry_.SaveKey("HKEY_CURRENT_USER\\K", file));
    EXPECT_FALSE(registry_.SaveKey("HKEY_CURRENT_USER\\K", file)) << "Windows will not overwrite a file";
    EXPECT_FALSE(registry_.RestoreKey("HKEY_CURRENT_USER\\Missing", file));
    EXPECT_FALSE(registry_.Exists("HKEY_CURRENT_USER\\Missing"));

    const std::string corrupt = TempFile("corrupt.dat");
    std::ofstream(corrupt, std::ios::binary) << "not a saved key";
    EXPECT_FALSE(registry_.RestoreKey("HKEY_CURRENT_USER\\K", corrupt));
    EXPECT_EQ("x", registry_.ReadText("HKEY_CURRENT_USER\\K", "v")) << "a failed restore changed the key";
}

}  // namespace
}  // namespace corvane::testing
