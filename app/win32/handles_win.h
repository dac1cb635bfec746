// RAII owners for the Win32 handles and COM interfaces the program holds.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace corvane::win32 {

struct GdiObjectDeleter {
    using pointer = HGDIOBJ;
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
using UniqueGdiObject = std::unique_ptr<void, GdiObjectDeleter>;

struct IconDeleter {
    using pointer = HICON;
    void operator()(HICON h) const { DestroyIcon(h); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

struct KeyDeleter {
    using pointer = HKEY;
    void operator()(HKEY h) const { RegCloseKey(h); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyDeleter>;

struct HandleDeleter {
    using pointer = HANDLE;
    void operator()(HANDLE h) const {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleDeleter>;

struct WindowDeleter {
    using pointer = HWND;
    void operator()(HWND h) const { DestroyWindow(h); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// A counted COM interface pointer; mingw-w64 has no _com_ptr_t runtime.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    static ComPtr Attach(T* p) {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    void Reset() {
        if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** Out() {
        Reset();
        return &p_;
    }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

}  // namespace corvane::win32
