// Tests of PrintLetter through the in-memory toolkit, registry, file store and a recording Word.
#include "print/print_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/fakes/fixed_clock.h"
#include "tests/fakes/memory_file_store.h"
#include "tests/fakes/memory_registry.h"
#include "tests/fakes/memory_toolkit.h"
#include "tests/fakes/recording_automation.h"
#include "ui/main_window.h"
#include "ui/main_window_controls.h"

namespace corvane::testing {
namespace {

using main_window::k编辑框1;
using main_window::k编辑框19;
using main_window::k编辑框5;

constexpr ControlRef kPrintButton{WindowId::kMainWindow, "超级按钮1"};
constexpr ControlRef kGenerateButton{WindowId::kMainWindow, "超级按钮2"};
constexpr ControlRef kAcceptButton{WindowId::kConstitutionWindow, "超级按钮1"};

constexpr char kWordKeyUnderHklm[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Winword.exe";
constexpr char kOfficePath[] = "C:\\Program Files\\Microsoft Office\\Office\\";

// The lines RecordingAutomation's Describe gives for one print job whose objects are numbered from
// `first` (the application it creates) and that opens `file`.
std::vector<std::string> ExpectedJob(int first, const std::string& file) {
    const auto id = [first](int offset) { return "#" + std::to_string(first + offset); };
    const std::string missing = "ERROR:0x80020004";
    std::string open = "BSTR:\"" + file + "\"";
    for (int i = 0; i < 11; ++i) open += ", " + missing;
    const std::string threeMissing = missing + ", " + missing + ", " + missing;
    return {
        "create Word.Application -> Application" + id(0),
        "Application" + id(0) + " get 6 () -> " + id(1),
        "Documents" + id(1) + " method 15 (" + open + ") -> " + id(2),
        "Documents" + id(1) + " get 1002 () -> " + id(3),
        "Application" + id(3) + " get 5 () -> " + id(4),
        "Selection" + id(4) + " get 5 () -> " + id(5),
        "Font" + id(5) + " put 141 (R4:14)",
        "Application" + id(0) + " put 23 (BOOL:0)",
        "Document" + id(2) +
            " method 444 (I2:1, I2:0, I4:0, BSTR:\"\", BSTR:\"1\", BSTR:\"1\", I4:0, I4:1, BSTR:\"\", I4:0, "
            "I2:0, "
            "I2:0, ERROR:0x80020004, ERROR:0x80020004, I4:1, I4:1, I4:11907, I4:16839)",
        "Document" + id(2) + " method 1105 (" + threeMissing + ")",
        "Application" + id(0) + " method 1105 (" + threeMissing + ")",
    };
}

std::vector<std::string> Lines(const std::vector<AutomationCall>& calls) {
    std::vector<std::string> lines;
    for (const AutomationCall& call : calls) lines.push_back(Describe(call));
    return lines;
}

class PrintJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ui.Initialise(program);
        program.Registry = std::make_unique<注册表类>(registry, ui);
        ui.SetModalScript(WindowId::kConstitutionWindow, [this] { ui.Click(kAcceptButton); });
        ASSERT_TRUE(ui.LoadWindow(MainWindowDefinition(), false));
    }

    void TearDown() override {
        EXPECT_EQ(registry.OpenKeyCount(), 0u) << "a registry key was left open";
        EXPECT_EQ(automation.Faults(), std::vector<std::string>{}) << automation.Dump();
    }

    // Stores Word's install path as a string value, with its terminating zero as Windows keeps it.
    void SetWordPath(const std::string& path, const char* valueName = "Path") {
        RegKey key = 0;
        ASSERT_EQ(registry.CreateKey(kHkeyLocalMachine, kWordKeyUnderHklm, &key), kRegSuccess);
        ASSERT_EQ(
            registry.SetValue(key, valueName, kRegSz, reinterpret_cast<const unsigned char*>(path.c_str()),
                              static_cast<std::uint32_t>(path.size() + 1)),
            kRegSuccess);
        ASSERT_EQ(registry.CloseKey(key), kRegSuccess);
    }

    void Print() { ui.Click(kPrintButton); }

    MemoryRegistry registry;
    RecordingAutomation automation;
    MemoryFileStore files;
    FixedClock clock;
    MemoryToolkit ui;
    Program program{Services{ui, clock, registry, automation, files}};
};

TEST_F(PrintJobTest, PrintsTheLetterBoxThroughWordInElevenOperations) {
    SetWordPath(kOfficePath);
    ui.Type(k编辑框5, "入党");
    Print();

    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_EQ(files.Read(kLetterFile), "\xC8\xEB\xB5\xB3");
    // ReadText turns the value's terminating zero into CR LF; the path goes through 编辑框19.
    EXPECT_EQ(ui.TextOf(k编辑框19), std::string(kOfficePath) + "\r\n");
    EXPECT_EQ(Lines(automation.Operations()), ExpectedJob(1, "c:\\windows\\a.txt")) << automation.Dump();
    for (const AutomationCall& call : automation.Operations()) {
        EXPECT_EQ(call.instance, 1) << Describe(call) << ": every object belongs to the created application";
    }
    EXPECT_TRUE(automation.HasQuit(1));
    // The Parent reference is dropped at once; the two components keep the other five until the next
    // print or until they are destroyed.
    EXPECT_EQ(automation.OutstandingReferences(), 5) << automation.Dump();
    program.word文档集1.reset();
    program.word程序1.reset();
    EXPECT_EQ(automation.OutstandingReferences(), 0) << automation.Dump();
}

TEST_F(PrintJobTest, RefusesWithoutWordOrLetterAndTouchesNothing) {
    struct Case {
        const char* name;
        const char* wordPath;  // nullptr: no Winword.exe key at all
        const char* valueName;
        const char* letter;
        std::string_view expectedText;
    };
    const Case cases[] = {
        {"no key", nullptr, "Path", "入党", kNoWordText},
        {"key without a Path value", kOfficePath, "Other", "入党", kNoWordText},
        {"no Office in the path", "C:\\Program Files\\Word\\", "Path", "入党", kNoWordText},
        {"office in lower case", "c:\\program files\\microsoft office\\office\\", "Path", "入党",
         kNoWordText},
        // "O" here is the trail byte of a double-byte character, so "Office" does not begin there.
        {"Office only across a character", "D:\\\xB0Office\\", "Path", "入党", kNoWordText},
        {"empty letter box", kOfficePath, "Path", "", kNoLetterText},
        {"neither Word nor letter: the Word check comes first", nullptr, "Path", "", kNoWordText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry freshRegistry;
        if (c.wordPath != nullptr) {
            RegKey key = 0;
            ASSERT_EQ(freshRegistry.CreateKey(kHkeyLocalMachine, kWordKeyUnderHklm, &key), kRegSuccess);
            const std::string path = c.wordPath;
            ASSERT_EQ(freshRegistry.SetValue(key, c.valueName, kRegSz,
                                             reinterpret_cast<const unsigned char*>(path.c_str()),
                                             static_cast<std::uint32_t>(path.size() + 1)),
                      kRegSuccess);
            freshRegistry.CloseKey(key);
        }
        MemoryFileStore freshFiles;
        freshFiles.Put(kLetterFile, "an earlier letter");
        const std::size_t shown = ui.messageBoxes().size();
        ui.Type(k编辑框5, c.letter);
        Program job{Services{ui, clock, freshRegistry, automation, freshFiles}};
        job.Registry = std::make_unique<注册表类>(freshRegistry, ui);
        PrintLetter(job);

        ASSERT_EQ(ui.messageBoxes().size(), shown + 1);
        const MessageBoxCall& box = ui.messageBoxes().back();
        EXPECT_EQ(box.text, c.expectedText);
        EXPECT_EQ(box.title, kCannotPrintTitle);
        EXPECT_EQ(box.style, kMessageOk);
        EXPECT_EQ(freshFiles.WriteCount(), 0);
        EXPECT_EQ(freshFiles.Read(kLetterFile), "an earlier letter");
        EXPECT_TRUE(automation.Calls().empty()) << automation.Dump();
        EXPECT_EQ(freshRegistry.OpenKeyCount(), 0u);
    }
}

TEST_F(PrintJobTest, WritesTheLetterBoxBytesUnchanged) {
    struct Case {
        const char* name;
        std::string letter;
        std::string bytes;
    };
    const Case cases[] = {
        {"one line break", "\r\n", "\x0D\x0A"},
        {"two characters", "入党", "\xC8\xEB\xB5\xB3"},
        {"only spaces", "   ", "   "},
    };
    SetWordPath(kOfficePath);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.Type(k编辑框5, c.letter);
        Print();
        EXPECT_EQ(files.Read(kLetterFile), c.bytes);
    }
    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_EQ(automation.ApplicationsCreated(), 3);
}

TEST_F(PrintJobTest, PrintsWhatTheUserEditedAfterGenerating) {
    SetWordPath(kOfficePath);
    clock.SetSteadyTick(1000);
    ui.Type(k编辑框1, "张三");
    ui.Click(kGenerateButton);
    const Text generated = ui.TextOf(k编辑框5);
    ASSERT_NE(FindText(generated, "张三"), -1);

    Print();
    EXPECT_EQ(files.Read(kLetterFile), generated);

    const Text edited = generated + "\r\n附：本人简历";
    ui.Type(k编辑框5, edited);
    Print();
    EXPECT_EQ(files.Read(kLetterFile), edited);
    EXPECT_TRUE(ui.messageBoxes().empty());
}

TEST_F(PrintJobTest, PrintingTwiceUsesANewApplicationAndReleasesTheFirst) {
    SetWordPath(kOfficePath);
    ui.Type(k编辑框5, "first");
    Print();
    ui.Type(k编辑框5, "second");
    Print();

    EXPECT_EQ(files.Read(kLetterFile), "second");
    EXPECT_EQ(automation.ApplicationsCreated(), 2);
    const std::vector<std::string> operations = Lines(automation.Operations());
    ASSERT_EQ(operations.size(), 22u) << automation.Dump();
    EXPECT_EQ(std::vector<std::string>(operations.begin() + 11, operations.end()),
              ExpectedJob(7, "c:\\windows\\a.txt"));

    // The first application is released before the second is created, and by the end of the second
    // job nothing of the first one is held any more.
    const std::vector<std::string> all = Lines(automation.Calls());
    const auto releaseFirst = std::find(all.begin(), all.end(), "release Application#1");
    const auto createSecond = std::find(all.begin(), all.end(), "create Word.Application -> Application#7");
    ASSERT_NE(releaseFirst, all.end()) << automation.Dump();
    ASSERT_NE(createSecond, all.end()) << automation.Dump();
    EXPECT_LT(releaseFirst, createSecond);
    EXPECT_EQ(automation.OutstandingReferences(1), 0) << automation.Dump();
    EXPECT_EQ(automation.OutstandingReferences(2), 5) << automation.Dump();
}

TEST_F(PrintJobTest, WordThatCannotStartEndsTheJobSilentlyWithTheFileWritten) {
    SetWordPath(kOfficePath);
    automation.FailCreate();
    ui.Type(k编辑框5, "入党");
    Print();

    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_EQ(files.Read(kLetterFile), "\xC8\xEB\xB5\xB3");
    EXPECT_EQ(Lines(automation.Calls()), std::vector<std::string>{"create Word.Application failed"});
}

TEST_F(PrintJobTest, AFailingWordStepIsDroppedAndTheRestStillRuns) {
    struct Case {
        const char* name;
        WordObject target;
        std::int32_t dispId;
        InvokeKind kind;
        std::vector<std::string> expected;  // each operation after the creation: object, kind, dispatch id
    };
    const Case cases[] = {
        {"Documents cannot be had: nothing but Visible and Quit reach Word",
         WordObject::kApplication,
         6,
         InvokeKind::kPropertyGet,
         {"Application get 6 failed", "Application put 23", "Application method 1105"}},
        {"the file cannot be opened: no Selection, no print, no close",
         WordObject::kDocuments,
         15,
         InvokeKind::kMethod,
         {"Application get 6", "Documents method 15 failed", "Application put 23",
          "Application method 1105"}},
        {"no Selection: the font size is left alone",
         WordObject::kApplication,
         5,
         InvokeKind::kPropertyGet,
         {"Application get 6", "Documents method 15", "Documents get 1002", "Application get 5 failed",
          "Application put 23", "Document method 444", "Document method 1105", "Application method 1105"}},
        {"printing fails: the document is still closed and Word told to quit",
         WordObject::kDocument,
         444,
         InvokeKind::kMethod,
         {"Application get 6", "Documents method 15", "Documents get 1002", "Application get 5",
          "Selection get 5", "Font put 141", "Application put 23", "Document method 444 failed",
          "Document method 1105", "Application method 1105"}},
    };
    SetWordPath(kOfficePath);
    ui.Type(k编辑框5, "入党");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingAutomation word;
        word.FailCall(c.target, c.dispId, c.kind);
        MemoryFileStore store;
        Program job{Services{ui, clock, registry, word, store}};
        job.Registry = std::make_unique<注册表类>(registry, ui);
        PrintLetter(job);

        std::vector<std::string> got;
        const std::vector<AutomationCall> operations = word.Operations();
        ASSERT_FALSE(operations.empty());
        EXPECT_TRUE(operations[0].succeeded);
        for (std::size_t i = 1; i < operations.size(); ++i) {
            const AutomationCall& call = operations[i];
            got.push_back(std::string(Name(call.target)) + " " + std::string(Name(call.invokeKind)) + " " +
                          std::to_string(call.dispId) + (call.succeeded ? "" : " failed"));
        }
        EXPECT_EQ(got, c.expected) << word.Dump();
        EXPECT_TRUE(ui.messageBoxes().empty());
        EXPECT_EQ(word.Faults(), std::vector<std::string>{});
        job.word文档集1.reset();
        job.word程序1.reset();
        EXPECT_EQ(word.OutstandingReferences(), 0) << word.Dump();
    }
}

TEST_F(PrintJobTest, FallsBackToTheTemporaryFolderWhenTheWindowsFolderRefusesTheFile) {
    SetWordPath(kOfficePath);
    files.Put(kLetterFile, "an earlier letter");
    files.RefuseWrites(kLetterFile);
    files.SetTemporaryFolder("C:\\Users\\张三\\Temp\\");
    ui.Type(k编辑框5, "入党");
    Print();

    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_EQ(files.Read(kLetterFile), "an earlier letter");
    EXPECT_EQ(files.Read("C:\\Users\\张三\\Temp\\a.txt"), "\xC8\xEB\xB5\xB3");
    EXPECT_EQ(Lines(automation.Operations()), ExpectedJob(1, "C:\\Users\\张三\\Temp\\a.txt"))
        << automation.Dump();
}

// A character typed into the box that GBK cannot hold would reach the file as '?'.
TEST_F(PrintJobTest, ALetterHoldingACharacterOutsideGbkIsNotPrinted) {
    SetWordPath(kOfficePath);
    ui.TypeOutsideGbk(k编辑框5, "入党??");
    Print();

    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text, kLetterNotGbkText);
    EXPECT_EQ(ui.messageBoxes()[0].title, kCannotPrintTitle);
    EXPECT_FALSE(files.Read(kLetterFile).has_value());
    EXPECT_TRUE(automation.Operations().empty()) << automation.Dump();
}

TEST_F(PrintJobTest, NoWritableLetterFileIsReportedAndWordIsNotStarted) {
    struct Case {
        const char* name;
        const char* temporaryFolder;
        bool refuseTemporaryFile;
    };
    const Case cases[] = {
        {"the temporary file refuses too", "C:\\Temp\\", true},
        {"no temporary folder is known", "", false},
    };
    SetWordPath(kOfficePath);
    ui.Type(k编辑框5, "入党");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileStore store;
        store.RefuseWrites(kLetterFile);
        store.SetTemporaryFolder(c.temporaryFolder);
        if (c.refuseTemporaryFile) store.RefuseWrites(std::string(c.temporaryFolder) + "a.txt");
        const std::size_t shown = ui.messageBoxes().size();
        Program job{Services{ui, clock, registry, automation, store}};
        job.Registry = std::make_unique<注册表类>(registry, ui);
        PrintLetter(job);

        ASSERT_EQ(ui.messageBoxes().size(), shown + 1);
        EXPECT_EQ(ui.messageBoxes().back().text, kFileNotWrittenText);
        EXPECT_EQ(ui.messageBoxes().back().title, kCannotPrintTitle);
        EXPECT_EQ(ui.messageBoxes().back().style, kMessageOk);
        EXPECT_EQ(store.WriteCount(), 0);
        EXPECT_TRUE(automation.Calls().empty()) << automation.Dump();
    }
}

}  // namespace
}  // namespace corvane::testing
