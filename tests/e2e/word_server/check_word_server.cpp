// check_word_server.exe: drives the registered WordTestServer.dll through Win32Automation, Win32FileStore
// and the two Word components, and compares the server's log with the calls the print job must make.
// Run under Wine with CORVANE_WORD_LOG set and the server registered; exits 0 when every check passes.
#include <ole2.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "print/win32/automation_win.h"
#include "print/win32/file_store_win.h"
#include "print/word_components.h"

namespace corvane {
namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++failures;
}

std::string LogPath() {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("CORVANE_WORD_LOG", path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

std::vector<std::string> ReadLog(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Repeat(const std::string& field, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += "\t" + field;
    return out;
}

// The print job's eleven operations as the server logs them, with the letter 入党 in the file.
std::vector<std::string> ExpectedJob() {
    const std::string missing = "&ERROR:0x80020004";
    return {
        "create\tApplication#1",
        "invoke\tApplication#1\t6\tPROPERTYGET\tnamed=\t0\t=> Documents#2",
        "invoke\tDocuments#2\t15\tMETHOD\tnamed=\t12\t&BSTR:\"c:\\\\windows\\\\a.txt\"" +
            Repeat(missing, 11) + "\t=> Document#3",
        "file\t\"c:\\\\windows\\\\a.txt\"\t4\tC8EBB5B3",
        "invoke\tDocuments#2\t1002\tPROPERTYGET\tnamed=\t0\t=> Application#1",
        "invoke\tApplication#1\t5\tPROPERTYGET\tnamed=\t0\t=> Selection#4",
        "invoke\tSelection#4\t5\tPROPERTYGET\tnamed=\t0\t=> Font#5",
        "invoke\tFont#5\t141\tPROPERTYPUT\tnamed=-3\t1\tR4:14\t=> EMPTY:",
        "invoke\tApplication#1\t23\tPROPERTYPUT\tnamed=-3\t1\tBOOL:0\t=> EMPTY:",
        "invoke\tDocument#3\t444\tMETHOD\tnamed=\t18\t&I2:1\t&I2:0\t&I4:0\t&BSTR:\"\"\t&BSTR:\"1\"\t&BSTR:"
        "\"1\"\t&I4:0"
        "\t&I4:1\t&BSTR:\"\"\t&I4:0\t&I2:0\t&I2:0\t&ERROR:0x80020004\t&ERROR:0x80020004\t&I4:1\t&I4:1"
        "\t&I4:11907\t&I4:16839\t=> EMPTY:",
        "invoke\tDocument#3\t1105\tMETHOD\tnamed=\t3" + Repeat(missing, 3) + "\t=> EMPTY:",
        "invoke\tApplication#1\t1105\tMETHOD\tnamed=\t3" + Repeat(missing, 3) + "\t=> EMPTY:",
    };
}

void CheckPrintJob(const std::string& log) {
    win32::Win32FileStore files;
    Check(files.WriteWholeFile("c:\\windows\\a.txt", "\xC8\xEB\xB5\xB3"), "letter file written");
    {
        win32::Win32Automation automation;
        WordApplicationComponent word(automation);
        WordDocumentsComponent documents(automation);
        Check(word.Start(), "Word.Application created");
        Check(documents.Attach(word), "Documents taken");
        Check(documents.Open("c:\\windows\\a.txt"), "letter opened");
        Check(documents.SetFontSize(14.0f), "font size put");
        Check(word.SetVisible(false), "Visible put");
        Check(documents.PrintOut(), "PrintOut called");
        Check(documents.Close(), "Close called");
        Check(word.Quit(), "Quit called");
        // Application, Documents, Document, Selection and Font; Parent's reference is already dropped.
        Check(automation.HeldObjects() == 5,
              "five references held after the job, got " + std::to_string(automation.HeldObjects()));
    }

    const std::vector<std::string> lines = ReadLog(log);
    const std::vector<std::string> expected = ExpectedJob();
    std::size_t invokes = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string got = i < lines.size() ? lines[i] : "(no line)";
        Check(got == expected[i],
              "log line " + std::to_string(i + 1) + (got == expected[i] ? "" : ": " + got));
    }
    // Once the components are gone, every object the server handed out has been freed.
    for (const char* name : {"Application#1", "Documents#2", "Document#3", "Selection#4", "Font#5"}) {
        bool freed = false;
        for (std::size_t i = expected.size(); i < lines.size(); ++i)
            freed |= lines[i] == std::string("free\t") + name;
        Check(freed, std::string(name) + " freed");
    }
    for (const std::string& line : lines) invokes += line.rfind("invoke\t", 0) == 0;
    Check(invokes == 10, "ten invocations logged, got " + std::to_string(invokes));
}

void CheckFailures(const std::string& log) {
    win32::Win32Automation automation;
    Check(automation.Create("Corvane.NoSuchServer") == 0 && FAILED(automation.LastError()),
          "an unregistered ProgID is not created");

    const ObjectId application = automation.Create("Word.Application");
    Check(application != 0, "second Word.Application created");
    const auto documents = automation.Invoke(application, 6, InvokeKind::kPropertyGet, {});
    Check(documents && documents->type == VarType::kDispatch && documents->object != 0,
          "Documents is an object");
    const ObjectId documentsId = documents ? documents->object : 0;

    // A file that does not exist: the server raises an exception, as Word does, and its code arrives.
    std::array<Variant, 12> args;
    args.fill(Variant::Missing());
    args[0] = Variant::Bstr("c:\\windows\\corvane-missing.txt");
    Check(!automation.Invoke(documentsId, 15, InvokeKind::kMethod, args), "opening a missing file fails");
    Check(automation.LastError() == DISP_E_EXCEPTION, "the failure is DISP_E_EXCEPTION");
    Check(automation.LastExceptionCode() == STG_E_FILENOTFOUND, "EXCEPINFO's code is captured");

    // A GBK file name reaches the server as the same characters.
    win32::Win32FileStore files;
    Check(files.WriteWholeFile("c:\\windows\\入党.txt", "\r\n"), "file with a GBK name written");
    args[0] = Variant::Bstr("c:\\windows\\入党.txt");
    const auto document = automation.Invoke(documentsId, 15, InvokeKind::kMethod, args);
    Check(document && document->object != 0, "file with a GBK name opened");
    const std::vector<std::string> lines = ReadLog(log);
    bool found = false;
    for (const std::string& line : lines)
        found |= line == "file\t\"c:\\\\windows\\\\\xE5\x85\xA5\xE5\x85\x9A.txt\"\t2\t0D0A";
    Check(found, "the server saw the name 入党.txt in UTF-8 and the two bytes CR LF");

    Check(!automation.Invoke(application, 99999, InvokeKind::kMethod, {}), "an unknown member fails");
    automation.Release(documentsId);
    Check(!automation.Invoke(documentsId, 1002, InvokeKind::kPropertyGet, {}),
          "a released reference is refused");
    if (document) automation.Release(document->object);
    automation.Release(application);
    Check(automation.HeldObjects() == 0, "nothing held after releasing everything");

    Check(!files.WriteWholeFile("c:\\corvane-no-such-folder\\a.txt", "x"),
          "a file in a missing folder fails");
    const Text temp = files.TemporaryFolder();
    Check(!temp.empty() && temp.back() == '\\', "the temporary folder ends in a backslash: " + temp);
    // A shorter letter replaces a longer one whole: the file is truncated, not overwritten in place.
    Check(files.WriteWholeFile(temp + "a.txt", "a longer letter\r\n") &&
              files.WriteWholeFile(temp + "a.txt", "ab"),
          "a file in the temporary folder is written twice");
    std::ifstream in(temp + "a.txt", std::ios::binary);
    const std::string held((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Check(held == "ab", "the second write leaves exactly its own bytes, got \"" + held + "\"");
}

}  // namespace
}  // namespace corvane

int main() {
    const std::string log = corvane::LogPath();
    if (log.empty()) {
        std::printf("FAIL CORVANE_WORD_LOG is not set\n");
        return 2;
    }
    DeleteFileA(log.c_str());
    // The program's GUI thread is a single-threaded apartment; so is this one.
    const HRESULT hr = OleInitialize(nullptr);
    if (FAILED(hr)) {
        std::printf("FAIL OleInitialize 0x%08lX\n", static_cast<unsigned long>(hr));
        return 2;
    }
    corvane::CheckPrintJob(log);
    corvane::CheckFailures(log);
    OleUninitialize();
    std::printf("%d failure(s)\n", corvane::failures);
    return corvane::failures == 0 ? 0 : 1;
}
