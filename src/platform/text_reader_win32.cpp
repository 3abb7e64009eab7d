#include "platform/text_reader_win32.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include "platform/system_function_win32.h"

namespace kiv {
namespace {

// COM and its strings, loaded when first asked for: a player who never
// finds a macro never loads them.
struct Com {
    HRESULT(WINAPI* initialize)
    (LPVOID, DWORD) = SystemFunction<HRESULT(WINAPI*)(LPVOID, DWORD)>(L"ole32.dll",
                                                                      "CoInitializeEx");
    void(WINAPI* uninitialize)() = SystemFunction<void(WINAPI*)()>(L"ole32.dll", "CoUninitialize");
    HRESULT(WINAPI* classOf)
    (LPCOLESTR, LPCLSID) = SystemFunction<HRESULT(WINAPI*)(LPCOLESTR, LPCLSID)>(L"ole32.dll",
                                                                                "CLSIDFromProgID");
    HRESULT(WINAPI* create)
    (REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*) =
        SystemFunction<HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*)>(
            L"ole32.dll", "CoCreateInstance");
    BSTR(WINAPI* allocate)
    (const OLECHAR*,
     UINT) = SystemFunction<BSTR(WINAPI*)(const OLECHAR*, UINT)>(L"oleaut32.dll",
                                                                 "SysAllocStringLen");
    void(WINAPI* free)(BSTR) = SystemFunction<void(WINAPI*)(BSTR)>(L"oleaut32.dll",
                                                                   "SysFreeString");
    UINT(WINAPI* length)
    (BSTR) = SystemFunction<UINT(WINAPI*)(BSTR)>(L"oleaut32.dll", "SysStringLen");
    bool Complete() const {
        return initialize && uninitialize && classOf && create && allocate && free && length;
    }
};

const Com& ComFunctions() {
    static const Com com;
    return com;
}

// The input method's language interface, as Windows documents it (its SDK
// header is not in every toolchain): the methods in their order.
struct FeLanguage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Open() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetJMorphResult(DWORD request, DWORD mode, INT length,
                                                      const WCHAR* input, DWORD* info,
                                                      void** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConversionModeCaps(DWORD* caps) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPhonetic(BSTR text, LONG start, LONG length,
                                                  BSTR* phonetic) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConversion(BSTR text, LONG start, LONG length,
                                                    BSTR* result) = 0;
};
// {019F7152-E6DB-11d0-83C3-00C04FDDB82E}
constexpr GUID kFeLanguageId = {
    0x019f7152, 0xe6db, 0x11d0, {0x83, 0xc3, 0x00, 0xc0, 0x4f, 0xdd, 0xb8, 0x2e}};

class InputMethodReader final : public TextReader {
  public:
    InputMethodReader(bool apartment, FeLanguage* language)
        : apartment_(apartment), language_(language) {}
    InputMethodReader(const InputMethodReader&) = delete;
    InputMethodReader& operator=(const InputMethodReader&) = delete;
    ~InputMethodReader() override {
        language_->Close();
        language_->Release();
        if (apartment_) ComFunctions().uninitialize();
    }

    std::optional<std::u16string> ReadingOf(std::u16string_view text) override {
        if (text.empty()) return std::u16string{};
        const Com& com = ComFunctions();
        BSTR input = com.allocate(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<UINT>(text.size()));
        if (input == nullptr) return std::nullopt;
        BSTR reading = nullptr;
        // From the first character (1, not 0), to the end (-1).
        const HRESULT result = language_->GetPhonetic(input, 1, -1, &reading);
        com.free(input);
        if (FAILED(result) || reading == nullptr) return std::nullopt;
        std::u16string out(reinterpret_cast<const char16_t*>(reading), com.length(reading));
        com.free(reading);
        return out;
    }

  private:
    bool apartment_;
    FeLanguage* language_;
};

}  // namespace

std::unique_ptr<TextReader> MakeInputMethodReader() {
    const Com& com = ComFunctions();
    if (!com.Complete()) return nullptr;
    // S_FALSE: this thread was one already; it is let go as many times.
    const HRESULT apartment = com.initialize(nullptr, COINIT_APARTMENTTHREADED);
    const bool entered = SUCCEEDED(apartment);
    const auto leave = [&com, entered] {
        if (entered) com.uninitialize();
    };
    CLSID id{};
    if (FAILED(com.classOf(L"MSIME.Japan", &id))) {
        leave();
        return nullptr;
    }
    FeLanguage* language = nullptr;
    if (FAILED(com.create(id, nullptr, CLSCTX_INPROC_SERVER, kFeLanguageId,
                          reinterpret_cast<void**>(&language))) ||
        language == nullptr) {
        leave();
        return nullptr;
    }
    if (FAILED(language->Open())) {
        language->Release();
        leave();
        return nullptr;
    }
    return std::make_unique<InputMethodReader>(entered, language);
}

}  // namespace kiv
