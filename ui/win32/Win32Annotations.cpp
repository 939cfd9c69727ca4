// SPDX-License-Identifier: MIT
#include "ui/win32/Win32Annotations.h"

#include <oleacc.h>

namespace {

// From oleacc.h, spelt out here: the program links no GUID library.
constexpr GUID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kPropertyName = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kPropertyDescription = {
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};

using TCoInitializeEx = HRESULT(WINAPI*)(LPVOID, DWORD);
using TCoCreateInstance = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);

// A function of a library loaded at run time, by its name; null if missing.
template <class TFunction>
TFunction Procedure(HMODULE library, const char* name) {
  // Through the generic function type: the two differ in their signatures.
  return reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

class TSystemAnnotations : public TAnnotations {
 public:
  TSystemAnnotations() {
    // Loaded here rather than imported: a start-up pays nothing for it.
    HMODULE com = LoadLibraryW(L"ole32.dll");
    if (com == nullptr) {
      return;
    }
    const auto initialize = Procedure<TCoInitializeEx>(com, "CoInitializeEx");
    const auto create = Procedure<TCoCreateInstance>(com, "CoCreateInstance");
    if (initialize == nullptr || create == nullptr) {
      return;
    }
    // The window's thread; a mode already chosen there is kept.
    initialize(nullptr, COINIT_APARTMENTTHREADED);
    void* service = nullptr;
    if (SUCCEEDED(
            create(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices, &service))) {
      service_ = static_cast<IAccPropServices*>(service);
    }
  }
  ~TSystemAnnotations() override {
    if (service_ != nullptr) {
      service_->Release();
    }
  }
  TSystemAnnotations(const TSystemAnnotations&) = delete;
  TSystemAnnotations& operator=(const TSystemAnnotations&) = delete;

  void Set(HWND window, TAccessibleText which, const std::u16string& text) override {
    if (service_ == nullptr) {
      return;
    }
    const GUID& property = which == TAccessibleText::Name ? kPropertyName : kPropertyDescription;
    if (text.empty()) {
      service_->ClearHwndProps(window, OBJID_CLIENT, CHILDID_SELF, &property, 1);
    } else {
      service_->SetHwndPropStr(window, OBJID_CLIENT, CHILDID_SELF, property,
                               reinterpret_cast<const wchar_t*>(text.c_str()));
    }
  }

 private:
  IAccPropServices* service_ = nullptr;
};

}  // namespace

std::unique_ptr<TAnnotations> MakeSystemAnnotations() {
  return std::make_unique<TSystemAnnotations>();
}
