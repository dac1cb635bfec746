// WordTestServer.dll: an in-process COM server registered as Word.Application in the test Wine prefix.
// It stands in for Word's object model (Application, Documents, Document, Selection, Font) and writes
// every call it receives to the log file named by CORVANE_WORD_LOG; the format is in README.md.
#include <oaidl.h>
#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

namespace {

// {8D44504D-A3E4-4E84-A6CF-4DE0794F6078}
constexpr CLSID kClsid = {0x8d44504d, 0xa3e4, 0x4e84, {0xa6, 0xcf, 0x4d, 0xe0, 0x79, 0x4f, 0x60, 0x78}};
constexpr wchar_t kClsidText[] = L"{8D44504D-A3E4-4E84-A6CF-4DE0794F6078}";
constexpr wchar_t kProgId[] = L"Word.Application";

// Word's dispatch ids for the members this server answers.
constexpr DISPID kDocumentsId = 6;
constexpr DISPID kSelectionId = 5;
constexpr DISPID kVisibleId = 23;
constexpr DISPID kQuitId = 1105;
constexpr DISPID kOpenId = 15;
constexpr DISPID kParentId = 1002;
constexpr DISPID kFontId = 5;
constexpr DISPID kSizeId = 141;
constexpr DISPID kPrintOutId = 444;
constexpr DISPID kCloseId = 1105;

HMODULE g_module = nullptr;
std::atomic<long> g_liveObjects{0};  // objects and server locks; the DLL may unload at 0
std::atomic<long> g_serial{0};       // numbers every object this process creates, from 1

// The live objects of this server, so that a VT_DISPATCH argument is named only when it is one of ours.
std::mutex g_objectsMutex;
std::set<const IDispatch*> g_objects;

std::string Utf8(const wchar_t* text, int length) {
    if (length <= 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), n, nullptr, nullptr);
    return out;
}

// Appends one line to the log. The file is opened for every line and shared, so that the harness
// can read it while the program runs and nothing is lost if the process ends abruptly.
void LogLine(const std::string& line) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"CORVANE_WORD_LOG", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Hex32(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", value);
    return buffer;
}

// A BSTR as a quoted UTF-8 text with C escapes for the quote, the backslash and control characters.
std::string Quoted(BSTR text) {
    if (text == nullptr) return "null";
    const std::string utf8 = Utf8(text, static_cast<int>(SysStringLen(text)));
    std::string out = "\"";
    for (const char c : utf8) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                if (u < 0x20 || u == 0x7F) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\x%02X", u);
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

class WordObject;
std::string NameOf(IDispatch* object);

// TYPE:VALUE for one VARIANT; "&" first when it is a VT_BYREF|VT_VARIANT, followed by what it points at.
std::string DescribeArgument(const VARIANT& value) {
    if (value.vt == (VT_BYREF | VT_VARIANT)) {
        return value.pvarVal == nullptr ? "&null" : "&" + DescribeArgument(*value.pvarVal);
    }
    char buffer[64];
    switch (value.vt) {
        case VT_EMPTY:
            return "EMPTY:";
        case VT_NULL:
            return "NULL:";
        case VT_I2:
            return "I2:" + std::to_string(value.iVal);
        case VT_I4:
            return "I4:" + std::to_string(value.lVal);
        case VT_UI1:
            return "UI1:" + std::to_string(value.bVal);
        case VT_R4:
            std::snprintf(buffer, sizeof buffer, "R4:%.9g", static_cast<double>(value.fltVal));
            return buffer;
        case VT_R8:
            std::snprintf(buffer, sizeof buffer, "R8:%.17g", value.dblVal);
            return buffer;
        case VT_BOOL:
            return "BOOL:" + std::to_string(value.boolVal);
        case VT_ERROR:
            return "ERROR:" + Hex32(static_cast<unsigned>(value.scode));
        case VT_BSTR:
            return "BSTR:" + Quoted(value.bstrVal);
        case VT_DISPATCH:
            return "DISPATCH:" + NameOf(value.pdispVal);
        default:
            return "VT" + Hex32(value.vt) + ":";
    }
}

std::string DescribeFlags(WORD flags) {
    std::string out;
    const auto add = [&](WORD bit, const char* name) {
        if ((flags & bit) == 0) return;
        if (!out.empty()) out += '|';
        out += name;
    };
    add(DISPATCH_METHOD, "METHOD");
    add(DISPATCH_PROPERTYGET, "PROPERTYGET");
    add(DISPATCH_PROPERTYPUT, "PROPERTYPUT");
    add(DISPATCH_PROPERTYPUTREF, "PROPERTYPUTREF");
    return out.empty() ? "0" : out;
}

// The positional argument at `position` (0 = first), looked through one VT_BYREF|VT_VARIANT.
const VARIANT* Positional(const DISPPARAMS* params, UINT position) {
    if (params == nullptr || position >= params->cArgs - params->cNamedArgs) return nullptr;
    const VARIANT* value = &params->rgvarg[params->cArgs - 1 - position];
    if (value->vt == (VT_BYREF | VT_VARIANT)) value = value->pvarVal;
    return value;
}

// A file's bytes as upper-case hex, or nothing when it cannot be read.
bool ReadFileHex(BSTR path, std::string& hex, DWORD& size) {
    const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    size = 0;
    unsigned char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got != 0) {
        for (DWORD i = 0; i < got; ++i) {
            char two[3];
            std::snprintf(two, sizeof two, "%02X", buffer[i]);
            hex += two;
        }
        size += got;
    }
    CloseHandle(file);
    return ok;
}

enum class Kind { kApplication, kDocuments, kDocument, kSelection, kFont };

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::kApplication:
            return "Application";
        case Kind::kDocuments:
            return "Documents";
        case Kind::kDocument:
            return "Document";
        case Kind::kSelection:
            return "Selection";
        case Kind::kFont:
            return "Font";
    }
    return "?";
}

// One object of the model. Children keep their Application alive (for Parent); the Application
// keeps no child, so there are no reference cycles.
class WordObject final : public IDispatch {
  public:
    WordObject(Kind kind, WordObject* application) : kind_(kind), application_(application) {
        name_ = std::string(KindName(kind)) + "#" + std::to_string(++g_serial);
        if (application_ != nullptr) application_->AddRef();
        ++g_liveObjects;
        const std::lock_guard lock(g_objectsMutex);
        g_objects.insert(this);
    }
    WordObject(const WordObject&) = delete;
    WordObject& operator=(const WordObject&) = delete;

    const std::string& name() const { return name_; }

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references_); }
    STDMETHODIMP_(ULONG) Release() override {
        const long left = --references_;
        if (left == 0) {
            LogLine("free\t" + name_);
            {
                const std::lock_guard lock(g_objectsMutex);
                g_objects.erase(this);
            }
            if (application_ != nullptr) application_->Release();
            --g_liveObjects;
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        std::string line = "names\t" + name_;
        for (UINT i = 0; i < count; ++i) {
            line += "\t\"" + Utf8(names[i], lstrlenW(names[i])) + "\"";
            ids[i] = DISPID_UNKNOWN;
        }
        LogLine(line);
        return DISP_E_UNKNOWNNAME;
    }

    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT*) override {
        std::string line =
            "invoke\t" + name_ + "\t" + std::to_string(id) + "\t" + DescribeFlags(flags) + "\tnamed=";
        const UINT argCount = params != nullptr ? params->cArgs : 0;
        const UINT namedCount = params != nullptr ? params->cNamedArgs : 0;
        for (UINT i = 0; i < namedCount; ++i) {
            if (i != 0) line += ',';
            line += std::to_string(params->rgdispidNamedArgs[i]);
        }
        line += "\t" + std::to_string(argCount);
        // In the caller's order: rgvarg holds the arguments last first.
        for (UINT i = argCount; i-- > 0;) line += "\t" + DescribeArgument(params->rgvarg[i]);

        std::string extra;
        VARIANT answer;
        VariantInit(&answer);
        const HRESULT hr = Answer(id, flags, params, answer, extra);
        if (FAILED(hr)) {
            line += "\t=> error " + Hex32(static_cast<unsigned>(hr));
        } else if (answer.vt == VT_DISPATCH) {
            line += "\t=> " + NameOf(answer.pdispVal);
        } else {
            line += "\t=> " + DescribeArgument(answer);
        }
        LogLine(line);
        if (!extra.empty()) LogLine(extra);

        if (hr == DISP_E_EXCEPTION && exception != nullptr) {
            *exception = EXCEPINFO{};
            exception->scode = STG_E_FILENOTFOUND;
            exception->bstrSource = SysAllocString(kProgId);
            exception->bstrDescription = SysAllocString(L"The file could not be opened.");
        }
        if (result != nullptr && SUCCEEDED(hr)) {
            *result = answer;  // hands over the reference or text the answer holds
        } else {
            VariantClear(&answer);
        }
        return hr;
    }

  private:
    ~WordObject() = default;

    static HRESULT GiveObject(WordObject* object, VARIANT& answer) {
        answer.vt = VT_DISPATCH;
        answer.pdispVal = object;  // carries the one reference the object was created with
        return S_OK;
    }

    HRESULT Answer(DISPID id, WORD flags, DISPPARAMS* params, VARIANT& answer, std::string& extra) {
        const bool get = (flags & DISPATCH_PROPERTYGET) != 0;
        const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
        const bool method = (flags & DISPATCH_METHOD) != 0;
        switch (kind_) {
            case Kind::kApplication:
                if (id == kDocumentsId && get)
                    return GiveObject(new WordObject(Kind::kDocuments, this), answer);
                if (id == kSelectionId && get)
                    return GiveObject(new WordObject(Kind::kSelection, this), answer);
                if (id == kVisibleId && put) return S_OK;
                if (id == kQuitId && method) return S_OK;
                break;
            case Kind::kDocuments:
                if (id == kOpenId && method) {
                    const VARIANT* fileName = Positional(params, 0);
                    if (fileName == nullptr || fileName->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
                    // Like Word, the file must exist; what it holds goes to the log as printed content.
                    std::string hex;
                    DWORD size = 0;
                    if (!ReadFileHex(fileName->bstrVal, hex, size)) {
                        extra = "file\t" + Quoted(fileName->bstrVal) + "\tunreadable";
                        return DISP_E_EXCEPTION;
                    }
                    WordObject* document = new WordObject(Kind::kDocument, application_);
                    extra = "file\t" + Quoted(fileName->bstrVal) + "\t" + std::to_string(size) + "\t" + hex;
                    return GiveObject(document, answer);
                }
                if (id == kParentId && get) {
                    application_->AddRef();
                    return GiveObject(application_, answer);
                }
                break;
            case Kind::kSelection:
                if (id == kFontId && get)
                    return GiveObject(new WordObject(Kind::kFont, application_), answer);
                break;
            case Kind::kFont:
                if (id == kSizeId && put) return S_OK;
                break;
            case Kind::kDocument:
                if ((id == kPrintOutId || id == kCloseId) && method) return S_OK;
                break;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    const Kind kind_;
    WordObject* const application_;  // null for the Application itself
    std::atomic<long> references_{1};
    std::string name_;
};

std::string NameOf(IDispatch* object) {
    if (object == nullptr) return "null";
    const std::lock_guard lock(g_objectsMutex);
    if (!g_objects.contains(object)) return "foreign";
    return static_cast<WordObject*>(object)->name();
}

class ClassFactory final : public IClassFactory {
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object; its count only keeps the DLL loaded.
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++g_liveObjects); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--g_liveObjects); }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        WordObject* application = new WordObject(Kind::kApplication, nullptr);
        LogLine("create\t" + application->name());
        const HRESULT hr = application->QueryInterface(riid, object);
        application->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            ++g_liveObjects;
        } else {
            --g_liveObjects;
        }
        return S_OK;
    }
};

ClassFactory g_factory;

LONG SetKeyValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY handle = nullptr;
    LONG status =
        RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, kClsid)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, object);
}

STDAPI DllCanUnloadNow() {
    return g_liveObjects == 0 ? S_OK : S_FALSE;
}

// The same keys as register_word_server.sh writes, for regsvr32.
STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return SELFREG_E_CLASS;
    const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
    if (SetKeyValue(std::wstring(kProgId) + L"\\CLSID", nullptr, kClsidText) != ERROR_SUCCESS ||
        SetKeyValue(clsidKey, nullptr, L"Corvane Word test server") != ERROR_SUCCESS ||
        SetKeyValue(clsidKey + L"\\ProgID", nullptr, kProgId) != ERROR_SUCCESS ||
        SetKeyValue(clsidKey + L"\\InprocServer32", nullptr, path) != ERROR_SUCCESS ||
        SetKeyValue(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") != ERROR_SUCCESS) {
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
    const LONG a = RegDeleteTreeW(HKEY_CLASSES_ROOT, clsidKey.c_str());
    const LONG b = RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    const bool ok = (a == ERROR_SUCCESS || a == ERROR_FILE_NOT_FOUND) &&
                    (b == ERROR_SUCCESS || b == ERROR_FILE_NOT_FOUND);
    return ok ? S_OK : SELFREG_E_CLASS;
}

}  // extern "C"
