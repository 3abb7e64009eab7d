#pragma once

// Owners for the Win32 handles this project holds, so that no early return
// leaks one. Windows only.

#include <windows.h>

#include <utility>

namespace kiv {

template <typename Traits>
class UniqueResource {
  public:
    using Handle = typename Traits::Handle;

    UniqueResource() = default;
    explicit UniqueResource(Handle handle) : handle_(handle) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~UniqueResource() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }
    Handle Release() { return std::exchange(handle_, Traits::Empty()); }
    void Reset(Handle handle = Traits::Empty()) {
        if (*this) Traits::Close(handle_);
        handle_ = handle;
    }
    // Closing can be where a delayed write error shows; callers that care see it.
    bool Close() { return *this ? Traits::Close(Release()) : true; }

  private:
    Handle handle_ = Traits::Empty();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static bool Close(HANDLE handle) { return CloseHandle(handle) != 0; }
};

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE handle) { return CloseHandle(handle) != 0; }
};

struct WindowHandleTraits {
    using Handle = HWND;
    static HWND Empty() { return nullptr; }
    static bool Close(HWND window) { return DestroyWindow(window) != 0; }
};

struct FontTraits {
    using Handle = HFONT;
    static HFONT Empty() { return nullptr; }
    static bool Close(HFONT font) { return DeleteObject(font) != 0; }
};

struct AcceleratorTraits {
    using Handle = HACCEL;
    static HACCEL Empty() { return nullptr; }
    static bool Close(HACCEL table) { return DestroyAcceleratorTable(table) != 0; }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueWindow = UniqueResource<WindowHandleTraits>;
using UniqueFont = UniqueResource<FontTraits>;
using UniqueAccelerators = UniqueResource<AcceleratorTraits>;

}  // namespace kiv
