#include "platform/text_reader_win32.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

namespace kiv {
namespace {

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
        if (apartment_) CoUninitialize();
    }

    std::optional<std::u16string> ReadingOf(std::u16string_view text) override {
        if (text.empty()) return std::u16string{};
        BSTR input = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                       static_cast<UINT>(text.size()));
        if (input == nullptr) return std::nullopt;
        BSTR reading = nullptr;
        // From the first character (1, not 0), to the end (-1).
        const HRESULT result = language_->GetPhonetic(input, 1, -1, &reading);
        SysFreeString(input);
        if (FAILED(result) || reading == nullptr) return std::nullopt;
        std::u16string out(reinterpret_cast<const char16_t*>(reading), SysStringLen(reading));
        SysFreeString(reading);
        return out;
    }

  private:
    bool apartment_;
    FeLanguage* language_;
};

}  // namespace

std::unique_ptr<TextReader> MakeInputMethodReader() {
    // S_FALSE: this thread was one already; it is let go as many times.
    const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool entered = SUCCEEDED(apartment);
    const auto leave = [entered] {
        if (entered) CoUninitialize();
    };
    CLSID id{};
    if (FAILED(CLSIDFromProgID(L"MSIME.Japan", &id))) {
        leave();
        return nullptr;
    }
    FeLanguage* language = nullptr;
    if (FAILED(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, kFeLanguageId,
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
