#pragma once
// Move-only owners of Win32 handles. Each owner closes its handle exactly once, with the
// call that matches the handle's kind; a moved-from owner is empty. The raw handle is only
// reachable through get(), never by implicit conversion, so an owner cannot silently hand
// out a handle it is about to free.

#include "platform/rtl/win/windows_api.h"

#include <commctrl.h>

template <typename Traits>
class UniqueWinHandle {
public:
  using Handle = typename Traits::Handle;

  UniqueWinHandle() noexcept = default;
  explicit UniqueWinHandle(Handle handle) noexcept : handle_(Normal(handle)) {}
  UniqueWinHandle(UniqueWinHandle&& other) noexcept : handle_(other.release()) {}
  UniqueWinHandle& operator=(UniqueWinHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueWinHandle(const UniqueWinHandle&) = delete;
  UniqueWinHandle& operator=(const UniqueWinHandle&) = delete;
  ~UniqueWinHandle() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Handle{}; }

  // Closes the handle held (unless it is the new one) and holds the new one.
  void reset(Handle handle = Handle{}) noexcept {
    Handle old = handle_;
    handle_ = Normal(handle);
    if (old != Handle{} && old != handle_) Traits::Close(old);
  }

  // Gives up ownership without closing.
  Handle release() noexcept {
    Handle handle = handle_;
    handle_ = Handle{};
    return handle;
  }

private:
  static Handle Normal(Handle handle) noexcept { return Traits::IsValid(handle) ? handle : Handle{}; }
  Handle handle_{};
};

template <typename H>
struct GdiObjectTraits {
  using Handle = H;
  static bool IsValid(H handle) { return handle != nullptr; }
  static void Close(H handle) { DeleteObject(handle); }
};

// Declares the traits of a handle kind whose null value is the only invalid one.
#define HL_HANDLE_TRAITS(Name, HandleType, CloseCall)          \
  struct Name {                                                \
    using Handle = HandleType;                                 \
    static bool IsValid(HandleType handle) { return handle != nullptr; } \
    static void Close(HandleType handle) { CloseCall(handle); } \
  }

HL_HANDLE_TRAITS(MemoryDcTraits, HDC, DeleteDC);
HL_HANDLE_TRAITS(IconTraits, HICON, DestroyIcon);
HL_HANDLE_TRAITS(CursorTraits, HCURSOR, DestroyCursor);
HL_HANDLE_TRAITS(KeyTraits, HKEY, RegCloseKey);
HL_HANDLE_TRAITS(MenuTraits, HMENU, DestroyMenu);
HL_HANDLE_TRAITS(ModuleTraits, HMODULE, FreeLibrary);
HL_HANDLE_TRAITS(ImageListTraits, HIMAGELIST, ImageList_Destroy);
#undef HL_HANDLE_TRAITS

// Kernel handles: some calls answer failure with NULL, others with INVALID_HANDLE_VALUE;
// both are held as empty.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};

using UniqueFont = UniqueWinHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueWinHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueWinHandle<GdiObjectTraits<HPEN>>;
using UniqueBitmap = UniqueWinHandle<GdiObjectTraits<HBITMAP>>;
using UniqueRegion = UniqueWinHandle<GdiObjectTraits<HRGN>>;
using UniquePalette = UniqueWinHandle<GdiObjectTraits<HPALETTE>>;
using UniqueMemoryDc = UniqueWinHandle<MemoryDcTraits>;
using UniqueIcon = UniqueWinHandle<IconTraits>;
using UniqueCursor = UniqueWinHandle<CursorTraits>;   // only for cursors the program created
using UniqueKey = UniqueWinHandle<KeyTraits>;          // never for the predefined root keys
using UniqueKernelHandle = UniqueWinHandle<KernelHandleTraits>;
using UniqueMenu = UniqueWinHandle<MenuTraits>;
using UniqueModule = UniqueWinHandle<ModuleTraits>;
using UniqueImageList = UniqueWinHandle<ImageListTraits>;

// A DC obtained for a window (or the screen, with a null window); released with the window
// it was obtained for.
class WindowDc {
public:
  WindowDc() noexcept = default;
  // The DC of the window's client area (GetDC).
  static WindowDc ForClient(HWND window) noexcept;
  // The DC of the whole window, frame included (GetWindowDC).
  static WindowDc ForWindow(HWND window) noexcept;

  WindowDc(WindowDc&& other) noexcept;
  WindowDc& operator=(WindowDc&& other) noexcept;
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() { reset(); }

  HDC get() const noexcept { return dc_; }
  HWND window() const noexcept { return window_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }
  void reset() noexcept;

private:
  WindowDc(HWND window, HDC dc) noexcept : window_(window), dc_(dc) {}
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// Locks a movable global memory block (clipboard data, printer settings) for the scope and
// unlocks it at its end; get() is null for a null block or one that could not be locked.
template <typename T>
class GlobalLockScope {
public:
  explicit GlobalLockScope(HGLOBAL block) noexcept
      : block_(block), data_(block != nullptr ? static_cast<T*>(GlobalLock(block)) : nullptr) {}
  ~GlobalLockScope() {
    if (data_ != nullptr) GlobalUnlock(block_);
  }
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;
  T* get() const noexcept { return data_; }

private:
  HGLOBAL block_;
  T* data_;
};

// Selects a pen, brush, font or bitmap into a DC for the scope and puts the previous
// object back at its end. (Regions are not selected this way: use SelectClipRgn.)
class ScopedSelectObject {
public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) noexcept;
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ~ScopedSelectObject();

private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Selects a logical palette into a DC for the scope (and realizes it) and puts the previous
// palette back at its end.
class ScopedSelectPalette {
public:
  ScopedSelectPalette(HDC dc, HPALETTE palette, bool background) noexcept;
  ScopedSelectPalette(const ScopedSelectPalette&) = delete;
  ScopedSelectPalette& operator=(const ScopedSelectPalette&) = delete;
  ~ScopedSelectPalette();

private:
  HDC dc_;
  HPALETTE previous_;
};
