#include "tests/registry_contract.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <iomanip>
#include <thread>

namespace corvane::testing {

using namespace std::string_literals;

void CountingToolkit::EndProcess(int) {
    Unexpected("EndProcess");
    std::abort();
}

void PrintTo(const RegistryBackend& backend, std::ostream* os) {
    *os << backend.name;
}

std::string BackendName(const ::testing::TestParamInfo<RegistryBackend>& info) {
    return info.param.name;
}

void PrintTo(const StoredValue& value, std::ostream* os) {
    *os << "type " << value.type << ", " << value.data.size() << " bytes:";
    for (const char c : value.data) {
        *os << ' ' << std::hex << std::setw(2) << std::setfill('0') << (static_cast<unsigned>(c) & 0xFF);
    }
    *os << std::dec;
}

bool RemoveKeyTree(RegistryApi& api, RegKey parent, const std::string& subKey) {
    RegKey key = 0;
    if (api.OpenKey(parent, subKey.c_str(), &key) != kRegSuccess) return false;
    char name[1024];
    while (api.EnumKey(key, 0, name, sizeof name) == kRegSuccess) {
        if (!RemoveKeyTree(api, key, name)) break;
    }
    api.CloseKey(key);
    return api.DeleteKey(parent, subKey.c_str()) == kRegSuccess;
}

void RegistryContract::SetUp() {
    api_ = GetParam().make();
    registry_ = std::make_unique<注册表类>(*api_, ui_);
    RemoveKeyTree(*api_, kHkeyCurrentUser, SubKey());  // left over from an interrupted run
    MakeKey("");
}

void RegistryContract::TearDown() {
    registry_.reset();
    EXPECT_TRUE(RemoveKeyTree(*api_, kHkeyCurrentUser, SubKey())) << "the scratch key could not be removed";
    if (GetParam().openKeyCount) {
        EXPECT_EQ(0u, GetParam().openKeyCount(*api_)) << "keys were left open";
    }
}

std::string RegistryContract::SubKey(std::string_view relative) const {
    std::string subKey = GetParam().scratchSubKey;
    if (!relative.empty()) subKey.append("\\").append(relative);
    return subKey;
}

Text RegistryContract::Path(std::string_view relative) const {
    return "HKEY_CURRENT_USER\\" + SubKey(relative);
}

void RegistryContract::MakeKey(std::string_view relative) {
    // Created below an open scratch key: Wine's ANSI functions refuse subkey paths longer than
    // MAX_PATH characters, and the long names of some cases would make one.
    RegKey scratch = 0;
    ASSERT_EQ(kRegSuccess, api_->CreateKey(kHkeyCurrentUser, SubKey().c_str(), &scratch));
    RegKey key = 0;
    EXPECT_EQ(kRegSuccess, api_->CreateKey(scratch, std::string(relative).c_str(), &key)) << relative;
    if (key != 0) api_->CloseKey(key);
    api_->CloseKey(scratch);
}

void RegistryContract::Put(std::string_view relative, std::string_view valueName, std::uint32_t type,
                           std::string_view data) {
    RegKey key = 0;
    ASSERT_EQ(kRegSuccess, api_->CreateKey(kHkeyCurrentUser, SubKey(relative).c_str(), &key)) << relative;
    // A non-zero byte after the data, so that RegSetValueExA stores exactly these bytes.
    const std::string guarded = std::string(data) + '\x01';
    EXPECT_EQ(kRegSuccess, api_->SetValue(key, std::string(valueName).c_str(), type,
                                          reinterpret_cast<const unsigned char*>(guarded.data()),
                                          static_cast<std::uint32_t>(data.size())));
    api_->CloseKey(key);
}

std::optional<StoredValue> RegistryContract::Get(std::string_view relative, std::string_view valueName) {
    RegKey key = 0;
    if (api_->OpenKey(kHkeyCurrentUser, SubKey(relative).c_str(), &key) != kRegSuccess) return std::nullopt;
    const std::string name(valueName);
    StoredValue value;
    std::uint32_t size = 0;
    long rc = api_->QueryValue(key, name.c_str(), &value.type, nullptr, &size);
    if (rc == kRegSuccess) {
        value.data.assign(size, '\0');
        rc = api_->QueryValue(key, name.c_str(), &value.type,
                              reinterpret_cast<unsigned char*>(value.data.data()), &size);
        value.data.resize(size);
    }
    api_->CloseKey(key);
    if (rc != kRegSuccess) return std::nullopt;
    return value;
}

bool RegistryContract::KeyExists(std::string_view relative) {
    RegKey key = 0;
    if (api_->OpenKey(kHkeyCurrentUser, SubKey(relative).c_str(), &key) != kRegSuccess) return false;
    api_->CloseKey(key);
    return true;
}

namespace {

// 乗 is GBK 81 5C: its trail byte is a backslash.
const std::string kGbkBackslashName = "\x81\x5C";

std::string AsciiLower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::vector<Text> Names(std::initializer_list<Text> names) {
    return names;
}

}  // namespace

TEST_P(RegistryContract, KeyPathsResolveToTheirRootAndSubkey) {
    Put("", "Marker", kRegBinary, "scratch");
    Put(kGbkBackslashName, "Marker", kRegBinary, "gbk");
    const std::string s = GetParam().scratchSubKey;
    enum class Opens { kNothing, kScratch, kGbkKey, kRoot };
    struct Case {
        std::string path;
        Opens opens;
        RegKey root = 0;
    };
    const Case cases[] = {
        {"HKEY_CURRENT_USER\\" + s, Opens::kScratch},
        {"hkey_current_user\\" + s, Opens::kScratch},
        {"Hkey_Current_User\\" + AsciiLower(s), Opens::kScratch},
        {"HKEY_CURRENT_USER\\" + s + "\\", Opens::kScratch},
        {"HKEY_CURRENT_USER\\" + s + "\\" + kGbkBackslashName, Opens::kGbkKey},
        {"HKEY_CURRENT_USER\\" + s + "\\" + kGbkBackslashName + "\\", Opens::kGbkKey},
        // A root followed by one backslash is the root key itself, handed back as its predefined handle.
        {"HKEY_CLASSES_ROOT\\", Opens::kRoot, kHkeyClassesRoot},
        {"HKEY_CURRENT_CONFIG\\", Opens::kRoot, kHkeyCurrentConfig},
        {"HKEY_CURRENT_USER\\", Opens::kRoot, kHkeyCurrentUser},
        {"hkey_local_machine\\", Opens::kRoot, kHkeyLocalMachine},
        {"HKEY_USERS\\", Opens::kRoot, kHkeyUsers},
        {"HKEY_CURRENT_USER", Opens::kNothing},
        {"HKCU\\" + s, Opens::kNothing},
        {"HKLM\\SOFTWARE", Opens::kNothing},
        {"HKEY_PERFORMANCE_DATA\\", Opens::kNothing},
        {"HKEY_DYN_DATA\\", Opens::kNothing},
        {"\\HKEY_CURRENT_USER\\" + s, Opens::kNothing},
        {"HKEY_CURRENT_USER \\" + s, Opens::kNothing},
        {"HKEY_CURRENT_USER/" + s, Opens::kNothing},
        {"HKEY_CURRENT_USER\\\\" + s, Opens::kNothing},  // the subkey path may not begin with a backslash
        {"HKEY_CURRENT_USER\\" + s + "\\Missing", Opens::kNothing},
        {"", Opens::kNothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const RegKey key = registry_->OpenKey(c.path);
        if (c.opens == Opens::kNothing) {
            EXPECT_EQ(0u, key);
            continue;
        }
        ASSERT_NE(0u, key);
        if (c.opens == Opens::kRoot) {
            EXPECT_EQ(c.root, key);
        } else {
            char marker[16] = {};
            std::uint32_t size = sizeof marker;
            std::uint32_t type = 0;
            EXPECT_EQ(kRegSuccess, api_->QueryValue(key, "Marker", &type,
                                                    reinterpret_cast<unsigned char*>(marker), &size));
            EXPECT_EQ(c.opens == Opens::kScratch ? "scratch" : "gbk", std::string(marker, size));
        }
        api_->CloseKey(key);
    }
    EXPECT_FALSE(KeyExists("Missing")) << "an open without create made a key";
}

TEST_P(RegistryContract, OpenKeyWithCreateMakesEveryMissingKey) {
    const RegKey key = registry_->OpenKey(Path("a\\b\\c"), true);
    ASSERT_NE(0u, key);
    api_->CloseKey(key);
    EXPECT_TRUE(KeyExists("a\\b\\c"));
    EXPECT_EQ(0u, registry_->OpenKey("HKCU\\" + SubKey("x"), true));
    EXPECT_EQ(0u, registry_->OpenKey("HKEY_CURRENT_USER", true));
}

TEST_P(RegistryContract, ReadsMapDataAsTheirTypeSays) {
    struct Case {
        const char* label;
        std::string valueName;
        std::uint32_t type;
        std::string data;
        Text text;
        std::int32_t number;
    };
    const std::string large(1000, '\x07');
    const Case cases[] = {
        {"string with its zero", "s0", kRegSz, "abc\0"s, "abc\r\n", 0x00636261},
        {"string without a zero", "s", kRegSz, "abc", "abc", 0x00636261},
        {"multi-text a, b", "m", kRegMultiSz, "a\0b\0\0"s, "a\r\nb\r\n\r\n", 0x00620061},
        {"GBK text", "g", kRegSz, "入党申请书\0"s, "入党申请书\r\n", static_cast<std::int32_t>(0xB3B5EBC8u)},
        {"two bytes", "n2", kRegBinary, "\x01\x02", "\x01\x02", 513},
        {"four bytes of ones", "n4", kRegDword, "\xFF\xFF\xFF\xFF", "\xFF\xFF\xFF\xFF", -1},
        {"no data", "e", kRegBinary, "", "", 0},
        {"bytes past the fourth", "n5", kRegBinary, "\x01\0\0\0\x07"s, "\x01\r\n\r\n\r\n\x07", 1},
        {"zero bytes in binary data", "z", kRegBinary, "\0x\0"s, "\r\nx\r\n", 0x00007800},
        {"more than the probe's 256 bytes", "big", kRegBinary, large, large, 0x07070707},
        {"the default value", "", kRegExpandSz, "%TEMP%", "%TEMP%", 0x4D455425},
    };
    for (const Case& c : cases) Put("r", c.valueName, c.type, c.data);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::int32_t type = -1;
        EXPECT_EQ(c.data, registry_->ReadBytes(Path("r"), c.valueName, &type));
        EXPECT_EQ(static_cast<std::int32_t>(c.type), type);
        EXPECT_EQ(c.data, registry_->ReadBytes(Path("r"), c.valueName));
        EXPECT_EQ(c.text, registry_->ReadText(Path("r"), c.valueName));
        EXPECT_EQ(c.number, registry_->ReadNumber(Path("r"), c.valueName));
    }
}

TEST_P(RegistryContract, ReadsOfMissingThingsAreEmptyAndCreateNothing) {
    Put("", "present", kRegSz, "x");
    struct Case {
        Text path;
        Text valueName;
    };
    const Case cases[] = {
        {Path(), "absent"},
        {Path(), ""},  // no default value was set
        {Path("Missing"), "present"},
        {"HKCU\\" + SubKey(), "present"},
        {"HKEY_CURRENT_USER", "present"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " / " + c.valueName);
        EXPECT_EQ("", registry_->ReadText(c.path, c.valueName));
        EXPECT_EQ(0, registry_->ReadNumber(c.path, c.valueName));
        EXPECT_EQ("", registry_->ReadBytes(c.path, c.valueName));
    }
    EXPECT_FALSE(KeyExists("Missing"));
}

TEST_P(RegistryContract, WritersStoreExactBytesAndTypes) {
    using Writer = bool (*)(注册表类&, const Text&, const Text&, const std::string&);
    const Writer text = [](注册表类& r, const Text& p, const Text& n, const std::string& in) {
        return r.WriteText(p, n, in);
    };
    const Writer expand = [](注册表类& r, const Text& p, const Text& n, const std::string& in) {
        return r.WriteExpandText(p, n, in);
    };
    const Writer multi = [](注册表类& r, const Text& p, const Text& n, const std::string& in) {
        return r.WriteMultiText(p, n, in);
    };
    const Writer bytes = [](注册表类& r, const Text& p, const Text& n, const std::string& in) {
        return r.WriteBytes(p, n, in);
    };
    const Writer raw = [](注册表类& r, const Text& p, const Text& n, const std::string& in) {
        return r.WriteValue(p, n, in);
    };
    const Writer rawText = [](注册表类& r, const Text& p, const Text& n, const std::string& in) {
        return r.WriteValue(p, n, in, kRegSz);
    };
    struct Case {
        const char* label;
        Writer write;
        std::string valueName;
        std::string input;
        StoredValue stored;
        Text readBack;
    };
    const Case cases[] = {
        {"text", text, "t", "abc", {kRegSz, "abc"}, "abc"},
        {"empty text", text, "t0", "", {kRegSz, ""}, ""},
        {"GBK text under a GBK name", text, "名称", "入党申请书", {kRegSz, "入党申请书"}, "入党申请书"},
        {"text keeps its CR LF", text, "t2", "a\r\nb", {kRegSz, "a\r\nb"}, "a\r\nb"},
        {"text into the default value", text, "", "d", {kRegSz, "d"}, "d"},
        {"expandable text",
         expand,
         "x",
         "%SystemRoot%\\a",
         {kRegExpandSz, "%SystemRoot%\\a"},
         "%SystemRoot%\\a"},
        {"multi-text a, b", multi, "m", "a\r\nb", {kRegMultiSz, "a\0b"s}, "a\r\nb"},
        {"multi-text with empty lines",
         multi,
         "m2",
         "a\r\n\r\nb\r\n",
         {kRegMultiSz, "a\0\0b\0"s},
         "a\r\n\r\nb\r\n"},
        {"multi-text maps only CR LF pairs",
         multi,
         "m3",
         "a\rb\nc\n\r",
         {kRegMultiSz, "a\rb\nc\n\r"},
         "a\rb\nc\n\r"},
        {"GBK multi-text", multi, "m4", "入\r\n党", {kRegMultiSz, "入\0党"s}, "入\r\n党"},
        {"bytes", bytes, "b", "\0\xFF\x01"s, {kRegBinary, "\0\xFF\x01"s}, "\r\n\xFF\x01"},
        {"no bytes", bytes, "b0", "", {kRegBinary, ""}, ""},
        {"raw value, default type", raw, "v", "xyz", {0, "xyz"}, "xyz"},
        {"raw value typed as text", rawText, "v1", "xyz", {kRegSz, "xyz"}, "xyz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_TRUE(c.write(*registry_, Path("w"), c.valueName, c.input));
        EXPECT_EQ(c.stored, Get("w", c.valueName));
        EXPECT_EQ(c.readBack, registry_->ReadText(Path("w"), c.valueName));
    }
}

TEST_P(RegistryContract, NumbersAreFourLittleEndianBytes) {
    struct Case {
        std::int32_t number;
        std::string stored;
    };
    const Case cases[] = {
        {0, "\0\0\0\0"s},         {513, "\x01\x02\0\0"s},        {-1, "\xFF\xFF\xFF\xFF"},
        {INT_MIN, "\0\0\0\x80"s}, {INT_MAX, "\xFF\xFF\xFF\x7F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_TRUE(registry_->WriteNumber(Path(), "n", c.number));
        EXPECT_EQ((StoredValue{kRegDword, c.stored}), Get("", "n"));
        EXPECT_EQ(c.number, registry_->ReadNumber(Path(), "n"));
    }
}

TEST_P(RegistryContract, WritesCreateMissingKeysAndFailOnBadPaths) {
    EXPECT_TRUE(registry_->WriteText(Path("a\\b\\c"), "v", "x"));
    EXPECT_TRUE(KeyExists("a"));
    EXPECT_TRUE(KeyExists("a\\b"));
    EXPECT_EQ((StoredValue{kRegSz, "x"}), Get("a\\b\\c", "v"));

    const Text badPaths[] = {"HKCU\\" + SubKey("d"), "HKEY_CURRENT_USER",
                             "HKEY_CURRENT_USER\\\\" + SubKey("d")};
    for (const Text& path : badPaths) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(registry_->WriteText(path, "v", "x"));
        EXPECT_FALSE(registry_->WriteNumber(path, "v", 1));
        EXPECT_FALSE(registry_->WriteMultiText(path, "v", "x"));
    }
    EXPECT_FALSE(KeyExists("d"));
}

TEST_P(RegistryContract, ExistsTestsKeysAndValuesThatFitTheProbe) {
    Put("", "small", kRegBinary, "x");
    Put("", "fits", kRegBinary, std::string(256, 'f'));
    Put("", "oneTooMany", kRegBinary, std::string(257, 'f'));
    Put("", "big", kRegBinary, std::string(300, 'f'));
    Put("", "empty", kRegBinary, "");
    Put("child", "", kRegSz, "default");
    struct Case {
        Text path;
        std::optional<Text> valueName;
        bool exists;
    };
    const Case cases[] = {
        {Path(), std::nullopt, true},
        {Path("child"), std::nullopt, true},
        {Path("missing"), std::nullopt, false},
        {"HKCU\\" + SubKey(), std::nullopt, false},
        {Path(), "small", true},
        {Path(), "fits", true},
        {Path(), "oneTooMany", false},
        {Path(), "big", false},
        {Path(), "empty", true},
        {Path(), "absent", false},
        {Path(), "", false},
        {Path("child"), "", true},
        {Path("missing"), "small", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " / " + c.valueName.value_or("(no value name)"));
        EXPECT_EQ(c.exists, registry_->Exists(c.path, c.valueName));
    }
}

// Values are created in name order here: Windows lists them in creation order, Wine by name.
TEST_P(RegistryContract, ListValuesGivesNamesDataAndTypesInOrder) {
    Put("", "a", kRegSz, "abc\0"s);
    Put("", "b", kRegBinary, "\x01\x02");
    Put("", "c", kRegDword, "\xFF\xFF\xFF\xFF");
    Put("", "d", kRegBinary, "");
    const std::vector<Text> names = {"a", "b", "c", "d"};
    // A value without data is listed with the 256 zero bytes of its buffer.
    const std::vector<Bytes> data = {"abc\0"s, "\x01\x02", "\xFF\xFF\xFF\xFF", std::string(256, '\0')};
    const std::vector<std::int32_t> types = {kRegSz, kRegBinary, kRegDword, kRegBinary};

    std::vector<Text> gotNames = {"stale"};
    EXPECT_EQ(4, registry_->ListValues(Path(), gotNames));
    EXPECT_EQ(names, gotNames);
    EXPECT_EQ(4, ui_.pendingEventCalls) << "pending events are processed once per value";

    std::vector<Bytes> gotData = {"stale"};
    std::vector<std::int32_t> gotTypes = {99};
    EXPECT_EQ(4, registry_->ListValues(Path(), gotNames, &gotData, &gotTypes));
    EXPECT_EQ(names, gotNames);
    EXPECT_EQ(data, gotData);
    EXPECT_EQ(types, gotTypes);

    gotTypes.clear();
    EXPECT_EQ(4, registry_->ListValues(Path(), gotNames, nullptr, &gotTypes));
    EXPECT_EQ(types, gotTypes);
    gotData.clear();
    EXPECT_EQ(4, registry_->ListValues(Path(), gotNames, &gotData));
    EXPECT_EQ(data, gotData);
}

TEST_P(RegistryContract, ListValuesStopsAtTheFirstValueThatDoesNotFit) {
    struct Case {
        const char* label;
        std::string middleName;
        std::size_t middleSize;
        int listed;
    };
    const Case cases[] = {
        {"256 bytes of data fit", "b", 256, 3},
        {"257 bytes of data do not", "b", 257, 1},
        {"300 bytes of data do not", "b", 300, 1},
        {"a 255-byte name fits", "b" + std::string(254, 'x'), 4, 3},
        {"a 256-byte name does not", "b" + std::string(255, 'x'), 4, 1},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.label);
        const std::string key = "case" + std::to_string(i);
        Put(key, "a", kRegBinary, "1");
        Put(key, c.middleName, kRegBinary, std::string(c.middleSize, 'm'));
        Put(key, "c", kRegBinary, "3");
        std::vector<Text> names;
        std::vector<Bytes> data;
        std::vector<std::int32_t> types;
        ui_.pendingEventCalls = 0;
        EXPECT_EQ(c.listed, registry_->ListValues(Path(key), names, &data, &types));
        EXPECT_EQ(static_cast<std::size_t>(c.listed), names.size());
        EXPECT_EQ(static_cast<std::size_t>(c.listed), data.size());
        EXPECT_EQ(static_cast<std::size_t>(c.listed), types.size());
        EXPECT_EQ(c.listed, ui_.pendingEventCalls);
        if (!names.empty()) {
            EXPECT_EQ("a", names.front());
        }
        if (c.listed == 3) {
            EXPECT_EQ(std::string(c.middleSize, 'm'), data[1]);
        }
    }
}

TEST_P(RegistryContract, ListingsOfKeysThatCannotBeOpenedAreEmpty) {
    MakeKey("empty");
    struct Case {
        Text path;
        int result;
    };
    const Case cases[] = {{Path("empty"), 0}, {Path("missing"), -1}, {"HKCU\\" + SubKey(), -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::vector<Text> names = {"stale"};
        std::vector<Bytes> data = {"stale"};
        std::vector<std::int32_t> types = {1};
        EXPECT_EQ(c.result, registry_->ListValues(c.path, names, &data, &types));
        EXPECT_TRUE(names.empty());
        EXPECT_TRUE(data.empty());
        EXPECT_TRUE(types.empty());
        names = {"stale"};
        EXPECT_EQ(c.result, registry_->ListSubKeys(c.path, names));
        EXPECT_TRUE(names.empty());
    }
    EXPECT_EQ(0, ui_.pendingEventCalls);
}

TEST_P(RegistryContract, ListSubKeysGivesNamesSortedWithoutRegardToCase) {
    // No names with [\]^_` here: Windows compares upper-cased names and Wine lower-cased ones, which
    // puts those characters on different sides of the letters.
    for (const char* name : {"b", "A", "B2", "c", "1", "a1"}) MakeKey(name);
    MakeKey(kGbkBackslashName + "\\child");
    std::vector<Text> names;
    EXPECT_EQ(7, registry_->ListSubKeys(Path(), names));
    // Sorted by UTF-16 code unit without regard to case: a Chinese character comes after ASCII.
    EXPECT_EQ(Names({"1", "A", "a1", "b", "B2", "c", kGbkBackslashName}), names);
    EXPECT_EQ(7, ui_.pendingEventCalls) << "pending events are processed once per subkey";
}

TEST_P(RegistryContract, ListSubKeysStopsAtANameLongerThanItsBuffer) {
    std::string longGbk;
    for (int i = 0; i < 130; ++i) longGbk += "党";  // 130 characters, 260 bytes
    const std::string longAscii(255, 'x');
    for (const std::string& name : {std::string("a"), longAscii, longGbk}) MakeKey(name);
    std::vector<Text> names;
    EXPECT_EQ(2, registry_->ListSubKeys(Path(), names));
    EXPECT_EQ(Names({"a", longAscii}), names);
}

TEST_P(RegistryContract, DeleteKeyRemovesTheWholeSubtree) {
    MakeKey("t\\a\\b");
    MakeKey("t\\c");
    Put("t\\a\\b", "v", kRegBinary, "x");
    Put("t", "w", kRegBinary, "y");
    MakeKey("keep");
    EXPECT_TRUE(registry_->DeleteKey(Path("t")));
    EXPECT_FALSE(KeyExists("t"));
    EXPECT_TRUE(KeyExists("keep"));
    // ListSubKeys on t (a, c), on t\a (b), on t\a\b and t\c (none).
    EXPECT_EQ(3, ui_.pendingEventCalls);

    MakeKey(kGbkBackslashName + "\\child");
    EXPECT_TRUE(registry_->DeleteKey(Path(kGbkBackslashName)));
    EXPECT_FALSE(KeyExists(kGbkBackslashName));
    EXPECT_TRUE(KeyExists("keep"));
}

TEST_P(RegistryContract, DeleteKeyRefusesPathsWithoutALastComponent) {
    MakeKey("t\\a");
    const Text paths[] = {
        Path("t") + "\\", "HKEY_CURRENT_USER\\",  "HKEY_CURRENT_USER",
        Path("missing"),  "HKCU\\" + SubKey("t"), "",
    };
    for (const Text& path : paths) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(registry_->DeleteKey(path));
        EXPECT_TRUE(KeyExists("t\\a"));
    }
}

TEST_P(RegistryContract, DeleteValueRemovesOnlyAnExistingValue) {
    Put("", "v", kRegBinary, "x");
    Put("", "", kRegSz, "default");
    Put("", "other", kRegBinary, "y");
    EXPECT_TRUE(registry_->DeleteValue(Path(), "v"));
    EXPECT_EQ(std::nullopt, Get("", "v"));
    EXPECT_TRUE(registry_->DeleteValue(Path(), ""));
    EXPECT_EQ(std::nullopt, Get("", ""));
    EXPECT_FALSE(registry_->DeleteValue(Path(), "v"));
    EXPECT_FALSE(registry_->DeleteValue(Path("missing"), "other"));
    EXPECT_FALSE(registry_->DeleteValue("HKCU\\" + SubKey(), "other"));
    EXPECT_TRUE(Get("", "other").has_value());
}

TEST_P(RegistryContract, FlushKeyNeedsAKeyThatOpens) {
    EXPECT_TRUE(registry_->FlushKey(Path()));
    EXPECT_TRUE(registry_->FlushKey("HKEY_CURRENT_USER\\"));
    EXPECT_FALSE(registry_->FlushKey(Path("missing")));
    EXPECT_FALSE(registry_->FlushKey("HKCU\\" + SubKey()));
}

TEST_P(RegistryContract, WatchKeyReturnsOnceSomethingBelowTheKeyChanges) {
    MakeKey("w\\deep");
    std::atomic<bool> done = false;
    // The change is repeated until the watch returns: a real registry does not say when the watch is set.
    std::thread writer([&] {
        for (int n = 0; !done; ++n) {
            RegKey key = 0;
            if (api_->OpenKey(kHkeyCurrentUser, SubKey("w\\deep").c_str(), &key) == kRegSuccess) {
                const std::string data = std::to_string(n);
                api_->SetValue(key, "v", kRegBinary, reinterpret_cast<const unsigned char*>(data.data()),
                               static_cast<std::uint32_t>(data.size()));
                api_->CloseKey(key);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    EXPECT_TRUE(registry_->WatchKey(Path("w")));
    done = true;
    writer.join();
    EXPECT_FALSE(registry_->WatchKey(Path("missing")));
    EXPECT_FALSE(registry_->WatchKey("HKCU\\" + SubKey("w")));
}

// The API as the class relies on it; these hold the in-memory registry to what Windows does.

TEST_P(RegistryContract, ApiQueryValueReportsSizes) {
    Put("", "v", kRegBinary, "hello");
    RegKey key = 0;
    ASSERT_EQ(kRegSuccess, api_->OpenKey(kHkeyCurrentUser, SubKey().c_str(), &key));
    unsigned char buffer[8] = {};
    std::uint32_t type = 0;
    std::uint32_t size = 999;
    EXPECT_EQ(kRegSuccess, api_->QueryValue(key, "v", &type, nullptr, &size));
    EXPECT_EQ(5u, size);
    EXPECT_EQ(static_cast<std::uint32_t>(kRegBinary), type);
    size = 2;
    EXPECT_EQ(kErrorMoreData, api_->QueryValue(key, "v", &type, buffer, &size));
    EXPECT_EQ(5u, size);
    size = 5;
    EXPECT_EQ(kRegSuccess, api_->QueryValue(key, "v", &type, buffer, &size));
    EXPECT_EQ("hello", std::string(reinterpret_cast<char*>(buffer), size));
    size = sizeof buffer;
    EXPECT_EQ(kErrorFileNotFound, api_->QueryValue(key, "absent", &type, buffer, &size));
    api_->CloseKey(key);
}

TEST_P(RegistryContract, ApiSetValueCountsAZeroThatFollowsStringData) {
    struct Case {
        const char* label;
        std::uint32_t type;
        std::string memory;  // the bytes at the data pointer, the zero of std::string after them
        std::uint32_t count;
        std::string stored;
    };
    const Case cases[] = {
        {"text followed by a zero", kRegSz, "abc", 3, "abc\0"s},
        {"text followed by another byte", kRegSz, "abcX", 3, "abc"},
        {"text ending in a zero", kRegSz, "ab\0"s, 3, "ab\0"s},
        {"expandable text", kRegExpandSz, "ab", 2, "ab\0"s},
        {"multi-text", kRegMultiSz, "a\0b"s, 3, "a\0b\0"s},
        {"bytes", kRegBinary, "ab", 2, "ab"},
        {"no data", kRegSz, "", 0, ""},
    };
    RegKey key = 0;
    ASSERT_EQ(kRegSuccess, api_->OpenKey(kHkeyCurrentUser, SubKey().c_str(), &key));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(kRegSuccess,
                  api_->SetValue(key, "v", c.type, reinterpret_cast<const unsigned char*>(c.memory.c_str()),
                                 c.count));
        EXPECT_EQ((StoredValue{c.type, c.stored}), Get("", "v"));
    }
    api_->CloseKey(key);
}

TEST_P(RegistryContract, ApiEnumValueReportsSizes) {
    Put("", "name6c", kRegBinary, "abc");
    RegKey key = 0;
    ASSERT_EQ(kRegSuccess, api_->OpenKey(kHkeyCurrentUser, SubKey().c_str(), &key));
    char name[300] = {};
    unsigned char data[300] = {};
    std::uint32_t type = 0;
    std::uint32_t nameSize = 6;  // no room for the terminating zero
    std::uint32_t dataSize = sizeof data;
    EXPECT_EQ(kErrorMoreData, api_->EnumValue(key, 0, name, &nameSize, &type, data, &dataSize));
    EXPECT_EQ(6u, nameSize) << "the name size stays as it was";

    nameSize = 7;
    dataSize = sizeof data;
    EXPECT_EQ(kRegSuccess, api_->EnumValue(key, 0, name, &nameSize, &type, data, &dataSize));
    EXPECT_EQ(6u, nameSize) << "the name's length without its zero";
    EXPECT_STREQ("name6c", name);
    EXPECT_EQ(3u, dataSize);
    EXPECT_EQ(static_cast<std::uint32_t>(kRegBinary), type);

    nameSize = sizeof name;
    dataSize = 2;
    EXPECT_EQ(kErrorMoreData, api_->EnumValue(key, 0, name, &nameSize, &type, data, &dataSize));
    EXPECT_EQ(3u, dataSize) << "the size the data needs";

    nameSize = sizeof name;
    dataSize = 0;
    EXPECT_EQ(kRegSuccess, api_->EnumValue(key, 0, name, &nameSize, &type, nullptr, &dataSize));
    EXPECT_EQ(3u, dataSize);

    nameSize = sizeof name;
    dataSize = sizeof data;
    EXPECT_EQ(kErrorNoMoreItems, api_->EnumValue(key, 1, name, &nameSize, &type, data, &dataSize));
    api_->CloseKey(key);
}

TEST_P(RegistryContract, ApiKeysOpenEnumerateAndDeleteAsOnWindows) {
    MakeKey("Child\\grandchild");
    RegKey key = 0;
    ASSERT_EQ(kRegSuccess, api_->OpenKey(kHkeyCurrentUser, SubKey().c_str(), &key));
    char name[16] = {};
    EXPECT_EQ(kErrorMoreData, api_->EnumKey(key, 0, name, 5));
    EXPECT_EQ(kRegSuccess, api_->EnumKey(key, 0, name, 6));
    EXPECT_STREQ("Child", name);
    EXPECT_EQ(kErrorNoMoreItems, api_->EnumKey(key, 1, name, sizeof name));

    RegKey other = 0;
    EXPECT_EQ(kErrorFileNotFound, api_->OpenKey(key, "Missing", &other));
    EXPECT_EQ(kErrorBadPathname, api_->OpenKey(key, "\\Child", &other));
    EXPECT_EQ(kRegSuccess, api_->OpenKey(key, "", &other));
    EXPECT_EQ(key, other) << "an empty subkey hands back the same handle";
    EXPECT_EQ(kRegSuccess, api_->OpenKey(key, "child\\\\GRANDCHILD\\", &other));
    api_->CloseKey(other);

    EXPECT_EQ(kErrorAccessDenied, api_->DeleteKey(key, "Child")) << "a key with subkeys stays";
    EXPECT_EQ(kErrorFileNotFound, api_->DeleteKey(key, "Missing"));
    EXPECT_EQ(kErrorFileNotFound, api_->DeleteValue(key, "Missing"));
    EXPECT_EQ(kRegSuccess, api_->DeleteKey(key, "Child\\grandchild"));
    EXPECT_EQ(kRegSuccess, api_->DeleteKey(key, "Child"));
    EXPECT_EQ(kErrorNoMoreItems, api_->EnumKey(key, 0, name, sizeof name));
    EXPECT_EQ(kRegSuccess, api_->CloseKey(key));
    EXPECT_EQ(kRegSuccess, api_->CloseKey(kHkeyCurrentUser)) << "closing a predefined key succeeds";
}

}  // namespace corvane::testing
