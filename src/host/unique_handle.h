// One move-only owner per kind of Windows handle; the traits say what "empty" is
// and how to close it.
#pragma once

#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>
#include <wininet.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Empty(); }
  Handle release() { return std::exchange(h_, Traits::Empty()); }
  void reset(Handle h = Traits::Empty()) {
    if (h_ != Traits::Empty()) Traits::Close(h_);
    h_ = h;
  }
  // For out-parameters of the RegOpenKeyEx kind.
  Handle* put() {
    reset();
    return &h_;
  }

 private:
  Handle h_ = Traits::Empty();
};

struct KernelHandleTraits {  // mutexes, threads, events, processes: empty at NULL
  using Handle = HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFile: empty at INVALID_HANDLE_VALUE
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::RegCloseKey(h); }
};
struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::InternetCloseHandle(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DestroyMenu(h); }
};
struct IconTraits {
  using Handle = HICON;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DestroyIcon(h); }
};
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
struct MemoryDcTraits {  // CreateCompatibleDC; a DC from GetDC is released, not deleted
  using Handle = HDC;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::FreeLibrary(h); }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DestroyWindow(h); }
};

struct CryptMsgTraits {
  using Handle = HCRYPTMSG;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::CryptMsgClose(h); }
};
struct CertStoreTraits {
  using Handle = HCERTSTORE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::CertCloseStore(h, 0); }
};
struct CertContextTraits {
  using Handle = PCCERT_CONTEXT;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::CertFreeCertificateContext(h); }
};

struct GlobalMemoryTraits {  // what an API hands over to be freed with GlobalFree
  using Handle = HGLOBAL;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::GlobalFree(h); }
};

struct BcryptAlgorithmTraits {
  using Handle = BCRYPT_ALG_HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::BCryptCloseAlgorithmProvider(h, 0); }
};
struct BcryptKeyTraits {
  using Handle = BCRYPT_KEY_HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::BCryptDestroyKey(h); }
};

struct ThreadPoolWaitTraits {  // RegisterWaitForSingleObject: closing waits for a running callback
  using Handle = HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::UnregisterWaitEx(h, INVALID_HANDLE_VALUE); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueHKey = UniqueHandle<RegKeyTraits>;
using UniqueInternet = UniqueHandle<InternetHandleTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueCryptMsg = UniqueHandle<CryptMsgTraits>;
using UniqueCertStore = UniqueHandle<CertStoreTraits>;
using UniqueCertContext = UniqueHandle<CertContextTraits>;
using UniqueGlobalMemory = UniqueHandle<GlobalMemoryTraits>;
using UniqueBcryptAlgorithm = UniqueHandle<BcryptAlgorithmTraits>;
using UniqueBcryptKey = UniqueHandle<BcryptKeyTraits>;
using UniqueThreadPoolWait = UniqueHandle<ThreadPoolWaitTraits>;
