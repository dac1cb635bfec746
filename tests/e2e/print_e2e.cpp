// "打 印" against the registry and the automation server that stands in for Word: the refusals, the
// letter file and the eleven Word operations as the server logs them.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/e2e/system_state.h"

namespace corvane::testing {
namespace {

const std::wstring kWordKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Winword.exe";
const std::wstring kOfficePath = L"C:\\Program Files\\Microsoft Office\\Office12\\";
const std::wstring kLetterFile = L"c:\\windows\\a.txt";
const std::wstring kServerClsid = L"{8D44504D-A3E4-4E84-A6CF-4DE0794F6078}";

std::wstring TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    return std::wstring(buffer, length);
}

// The stand-in for Word: CORVANE_WORD_SERVER, or WordTestServer.dll next to this executable.
std::wstring WordServerPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"CORVANE_WORD_SERVER", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::wstring(path, length);
    return HarnessFolder() + L"WordTestServer.dll";
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Hex(std::string_view bytes) {
    std::string out;
    char byte[3];
    for (const char c : bytes) {
        std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned char>(c));
        out += byte;
    }
    return out;
}

// A file name as the server's log quotes it: UTF-8 with the backslash and the quote escaped.
std::string Quoted(const std::wstring& name) {
    std::string out = "\"";
    for (const char c : Utf8(name)) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// One print job as the server logs it: the file opened, its bytes, then the Word operations in order.
// `first` numbers the job's Application; the server numbers its objects in creation order.
std::vector<std::string> ExpectedJob(const std::wstring& file, std::string_view bytes, int first) {
    const auto object = [first](const char* kind, int offset) {
        return std::string(kind) + "#" + std::to_string(first + offset);
    };
    const std::string app = object("Application", 0), documents = object("Documents", 1),
                      document = object("Document", 2), selection = object("Selection", 3),
                      font = object("Font", 4);
    const auto missing = [](int count) {
        std::string out;
        for (int i = 0; i < count; ++i) out += "\t&ERROR:0x80020004";
        return out;
    };
    const std::string name = Quoted(file);
    return {
        "create\t" + app,
        "invoke\t" + app + "\t6\tPROPERTYGET\tnamed=\t0\t=> " + documents,
        "invoke\t" + documents + "\t15\tMETHOD\tnamed=\t12\t&BSTR:" + name + missing(11) + "\t=> " + document,
        "file\t" + name + "\t" + std::to_string(bytes.size()) + "\t" + Hex(bytes),
        "invoke\t" + documents + "\t1002\tPROPERTYGET\tnamed=\t0\t=> " + app,
        "invoke\t" + app + "\t5\tPROPERTYGET\tnamed=\t0\t=> " + selection,
        "invoke\t" + selection + "\t5\tPROPERTYGET\tnamed=\t0\t=> " + font,
        "invoke\t" + font + "\t141\tPROPERTYPUT\tnamed=-3\t1\tR4:14\t=> EMPTY:",
        "invoke\t" + app + "\t23\tPROPERTYPUT\tnamed=-3\t1\tBOOL:0\t=> EMPTY:",
        "invoke\t" + document +
            "\t444\tMETHOD\tnamed=\t18\t&I2:1\t&I2:0\t&I4:0\t&BSTR:\"\"\t&BSTR:\"1\"\t&BSTR:\"1\"\t&I4:0\t&"
            "I4:1"
            "\t&BSTR:\"\"\t&I4:0\t&I2:0\t&I2:0" +
            missing(2) + "\t&I4:1\t&I4:1\t&I4:11907\t&I4:16839\t=> EMPTY:",
        "invoke\t" + document + "\t1105\tMETHOD\tnamed=\t3" + missing(3) + "\t=> EMPTY:",
        "invoke\t" + app + "\t1105\tMETHOD\tnamed=\t3" + missing(3) + "\t=> EMPTY:",
    };
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// Line by line; with `anyCase`, letters compare without regard to case (file names on Windows).
::testing::AssertionResult SameLines(const std::vector<std::string>& actual,
                                     const std::vector<std::string>& expected, bool anyCase = false) {
    for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const std::string got = i < actual.size() ? actual[i] : "(no line)";
        const std::string want = i < expected.size() ? expected[i] : "(no line)";
        if (anyCase ? Lower(got) == Lower(want) : got == want) continue;
        return ::testing::AssertionFailure()
               << "log line " << i + 1 << " of " << actual.size() << ":\n  got      " << got.substr(0, 400)
               << "\n  expected " << want.substr(0, 400);
    }
    return ::testing::AssertionSuccess();
}

class PrintTest : public CorvaneTest {
  protected:
    void SetUp() override {
        DeleteFileW(logPath_.c_str());
        DeleteFileW(kLetterFile.c_str());
        DeleteFileW(temporaryLetter_.c_str());
    }

    void TearDown() override {
        CorvaneTest::TearDown();  // the program goes before the guards put the registry back
        DeleteFileW(logPath_.c_str());
    }

    // Registers the stand-in as Word.Application for this test; the guards remove it afterwards.
    void RegisterWordServer() {
        const std::wstring server = WordServerPath();
        ASSERT_TRUE(Exists(server))
            << Utf8(server) << " is missing: build the WordTestServer target or set CORVANE_WORD_SERVER";
        const std::wstring clsidKey = L"CLSID\\" + kServerClsid;
        ASSERT_TRUE(SetRegistryString(HKEY_CLASSES_ROOT, L"Word.Application\\CLSID", L"", kServerClsid));
        ASSERT_TRUE(SetRegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"", server));
        ASSERT_TRUE(SetRegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"ThreadingModel",
                                      L"Apartment"));
    }

    void SetWordPath(const std::wstring& path) {
        ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, kWordKey, L"Path", path));
    }

    void StartWithWordLog() { ASSERT_NO_FATAL_FAILURE(StartAtMainWindow({{L"CORVANE_WORD_LOG", logPath_}})); }

    // The server's log without its "free" lines: when an object goes is the server's business.
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        const std::string text = ReadWholeFile(logPath_).value_or("");
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string line = text.substr(start, end - start);
            if (!line.starts_with("free\t")) lines.push_back(std::move(line));
        }
        return lines;
    }

    // Presses "打 印" and waits until Word has been told to quit and the handler has returned.
    void PrintAndWaitForQuit(int application) {
        const std::string quit = "invoke\tApplication#" + std::to_string(application) + "\t1105\t";
        PostClick(Main("超级按钮1"));
        ASSERT_TRUE(WaitUntil([&] {
            const std::vector<std::string> lines = Log();
            return std::any_of(lines.begin(), lines.end(),
                               [&](const std::string& l) { return l.starts_with(quit); });
        })) << "Word was not told to quit; log so far: "
            << Log().size() << " lines";
        ASSERT_TRUE(Responsive(main_));
        EXPECT_FALSE(FindMessageBox(program_.id()).has_value()) << "a print that works shows no message";
    }

    const std::wstring logPath_ = TemporaryFolder() + L"corvane_e2e_word.log";
    const std::wstring temporaryLetter_ = TemporaryFolder() + L"a.txt";
    RegistryKeyRestorer wordKey_{HKEY_LOCAL_MACHINE, kWordKey};
    RegistryKeyRestorer progId_{HKEY_CLASSES_ROOT, L"Word.Application"};
    RegistryKeyRestorer server_{HKEY_CLASSES_ROOT, L"CLSID\\" + kServerClsid};
    FileRestorer letterFile_{kLetterFile};
    FileRestorer temporaryLetterFile_{temporaryLetter_};
};

TEST_F(PrintTest, RefusesWithoutWordOrLetterAndWritesNoFile) {
    ASSERT_NO_FATAL_FAILURE(RegisterWordServer());
    ASSERT_NO_FATAL_FAILURE(StartWithWordLog());
    ASSERT_TRUE(SetText(Main("编辑框1"), L"张三"));
    const std::wstring letter = Wide(Generate());

    enum class Key { kAbsent, kWithoutPath, kWithPath };
    struct Case {
        const char* what;
        Key key;
        std::wstring path;
        bool withLetter;
        const char* message;
    };
    const char* noWord = "  电 脑 没 有 安 装 WORD 办 公 软 件. ";
    const Case cases[] = {
        {"no App Paths key", Key::kAbsent, L"", true, noWord},
        {"a key without Path", Key::kWithoutPath, L"", true, noWord},
        {"Office only in lower case", Key::kWithPath, L"c:\\program files\\microsoft office\\office12\\",
         true, noWord},
        {"no letter", Key::kWithPath, kOfficePath, false, " 没有生成入党申请书！. "},
        // The Word check comes first.
        {"neither Word nor letter", Key::kAbsent, L"", false, noWord},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(DeleteRegistryTree(HKEY_LOCAL_MACHINE, kWordKey));
        if (c.key == Key::kWithoutPath) {
            ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, kWordKey, L"", L"x"));
        } else if (c.key == Key::kWithPath) {
            ASSERT_NO_FATAL_FAILURE(SetWordPath(c.path));
        }
        ASSERT_TRUE(SetText(Main("编辑框5"), c.withLetter ? letter : L""));

        const std::optional<MessageBoxWindow> box = ClickAndWaitForMessageBox(Main("超级按钮1"));
        ASSERT_TRUE(box.has_value()) << "no message box";
        EXPECT_EQ(Gbk(box->title), "无 法 打 印：");
        EXPECT_EQ(Gbk(box->text), c.message);
        ASSERT_TRUE(CloseMessageBox(box->hwnd));
        ASSERT_TRUE(Responsive(main_));
        EXPECT_FALSE(Exists(kLetterFile)) << "the letter file was written";
        EXPECT_TRUE(Log().empty()) << "Word was started";
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

TEST_F(PrintTest, WritesTheLetterBoxAndDrivesWordThroughElevenOperations) {
    ASSERT_NO_FATAL_FAILURE(RegisterWordServer());
    ASSERT_NO_FATAL_FAILURE(SetWordPath(kOfficePath));
    ASSERT_NO_FATAL_FAILURE(StartWithWordLog());
    ASSERT_TRUE(SetText(Main("编辑框1"), L"张三"));
    const std::string letter = Generate();
    ASSERT_FALSE(letter.empty());

    ASSERT_NO_FATAL_FAILURE(PrintAndWaitForQuit(1));
    EXPECT_TRUE(SameBytes(ReadWholeFile(kLetterFile).value_or("(no file)"), letter));
    const std::vector<std::string> firstJob = ExpectedJob(kLetterFile, letter, 1);
    EXPECT_TRUE(SameLines(Log(), firstJob));

    // A second press prints what the box now holds, through a new application object.
    ASSERT_TRUE(SetText(Main("编辑框5"), Wide("入党")));
    ASSERT_NO_FATAL_FAILURE(PrintAndWaitForQuit(6));
    EXPECT_EQ(ReadWholeFile(kLetterFile), std::optional<std::string>("\xC8\xEB\xB5\xB3"));
    std::vector<std::string> bothJobs = firstJob;
    for (std::string& line : ExpectedJob(kLetterFile, "\xC8\xEB\xB5\xB3", 6))
        bothJobs.push_back(std::move(line));
    EXPECT_TRUE(SameLines(Log(), bothJobs));

    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

TEST_F(PrintTest, EndsQuietlyWithTheFileWrittenWhenWordCannotBeStarted) {
    ASSERT_TRUE(DeleteRegistryTree(HKEY_CLASSES_ROOT, L"Word.Application"));
    ASSERT_NO_FATAL_FAILURE(SetWordPath(kOfficePath));
    ASSERT_NO_FATAL_FAILURE(StartWithWordLog());
    ASSERT_TRUE(SetText(Main("编辑框1"), L"张三"));
    const std::string letter = Generate();

    PostClick(Main("超级按钮1"));
    ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(kLetterFile) == letter; }))
        << "the letter file was not written";
    // The file is written inside the handler; once the GUI thread answers, a message box would be there.
    ASSERT_TRUE(Responsive(main_));
    EXPECT_FALSE(FindMessageBox(program_.id()).has_value());
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_FALSE(Exists(logPath_)) << "nothing should have reached an automation server";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

TEST_F(PrintTest, OpensACopyInTheTemporaryFolderWhenTheLetterFileCannotBeWritten) {
    ASSERT_NO_FATAL_FAILURE(RegisterWordServer());
    ASSERT_NO_FATAL_FAILURE(SetWordPath(kOfficePath));
    // A folder of that name: the file cannot be created. letterFile_ removes it afterwards.
    ASSERT_TRUE(CreateDirectoryW(kLetterFile.c_str(), nullptr));
    ASSERT_NO_FATAL_FAILURE(StartWithWordLog());
    ASSERT_TRUE(SetText(Main("编辑框1"), L"张三"));
    const std::string letter = Generate();

    ASSERT_NO_FATAL_FAILURE(PrintAndWaitForQuit(1));
    EXPECT_TRUE(SameBytes(ReadWholeFile(temporaryLetter_).value_or("(no file)"), letter));
    EXPECT_TRUE(SameLines(Log(), ExpectedJob(temporaryLetter_, letter, 1), true));
    const DWORD attributes = GetFileAttributesW(kLetterFile.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExitCodeZero());
}

}  // namespace
}  // namespace corvane::testing
