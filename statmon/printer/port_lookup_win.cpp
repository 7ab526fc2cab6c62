// WMI through COM for the port hardware lookup.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemcli.h>

#include "statmon/printer/parallel_port_win.h"

namespace statmon {
namespace {

static_assert(kRpcETooLate == RPC_E_TOO_LATE, "RPC_E_TOO_LATE");
static_assert(kWbemFlagForwardOnly == WBEM_FLAG_FORWARD_ONLY, "WBEM_FLAG_FORWARD_ONLY");
static_assert(kWbemFlagReturnImmediately == WBEM_FLAG_RETURN_IMMEDIATELY,
              "WBEM_FLAG_RETURN_IMMEDIATELY");
static_assert(kMaximumAllowed == MAXIMUM_ALLOWED, "MAXIMUM_ALLOWED");

// {4590F811-1D3A-11D0-891F-00AA004B2E24}, {DC12A687-737F-11CF-884D-00AA004B2E24}
const CLSID kClsidWbemLocator = {0x4590F811, 0x1D3A, 0x11D0,
                                 {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
const IID kIidWbemLocator = {0xDC12A687, 0x737F, 0x11CF,
                             {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

// An 8-bit text as a BSTR, freed with the object.
class Bstr {
public:
    explicit Bstr(const std::string& text) {
        const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(),
                                                 static_cast<int>(text.size()), nullptr, 0);
        value_ = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
        if (value_ && length > 0)
            ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), value_,
                                  length);
    }
    ~Bstr() { ::SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_ = nullptr;
};

std::string Narrow(const wchar_t* text, UINT length) {
    if (length == 0) return std::string();
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0,
                                           nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &result[0], size, nullptr,
                              nullptr);
    return result;
}

class Win32WmiObject final : public IWmiObject {
public:
    explicit Win32WmiObject(IWbemClassObject* object) : object_(object) {}
    ~Win32WmiObject() override { object_->Release(); }
    Win32WmiObject(const Win32WmiObject&) = delete;
    Win32WmiObject& operator=(const Win32WmiObject&) = delete;

    std::optional<std::string> GetText(const std::string& property) override {
        const std::wstring name(property.begin(), property.end());
        VARIANT value;
        ::VariantInit(&value);
        std::optional<std::string> text;
        if (SUCCEEDED(object_->Get(name.c_str(), 0, &value, nullptr, nullptr)) &&
            value.vt == VT_BSTR && value.bstrVal)
            text = Narrow(value.bstrVal, ::SysStringLen(value.bstrVal));
        ::VariantClear(&value);
        return text;
    }

private:
    IWbemClassObject* object_;
};

template <typename T>
void Release(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

class Win32Wmi final : public IWmi {
public:
    ~Win32Wmi() override { ReleaseAll(); }

    HResult Initialize() override { return ::CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    HResult InitializeSecurity() override {
        return ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    }
    HResult CreateLocator() override {
        return ::CoCreateInstance(kClsidWbemLocator, nullptr, CLSCTX_INPROC_SERVER, kIidWbemLocator,
                                  reinterpret_cast<void**>(&locator_));
    }
    HResult ConnectServer(const std::string& nameSpace) override {
        if (!locator_) return E_POINTER;
        Bstr name(nameSpace);
        return locator_->ConnectServer(name.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                       &services_);
    }
    HResult SetProxyBlanket() override {
        if (!services_) return E_POINTER;
        return ::CoSetProxyBlanket(services_, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                   RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                                   EOAC_NONE);
    }
    HResult ExecQuery(const std::string& language, const std::string& query,
                      std::int32_t flags) override {
        if (!services_) return E_POINTER;
        Bstr lang(language);
        Bstr text(query);
        return services_->ExecQuery(lang.get(), text.get(), flags, nullptr, &enumerator_);
    }
    std::unique_ptr<IWmiObject> Next() override {
        timedOut_ = false;
        if (!enumerator_) return nullptr;
        IWbemClassObject* object = nullptr;
        ULONG returned = 0;
        const HRESULT hr = enumerator_->Next(static_cast<LONG>(kWmiNextTimeoutMs), 1, &object, &returned);
        timedOut_ = hr == WBEM_S_TIMEDOUT;
        if (FAILED(hr) || returned == 0 || !object) return nullptr;
        return std::make_unique<Win32WmiObject>(object);
    }
    void ReleaseAll() override {
        Release(services_);
        Release(locator_);
        Release(enumerator_);
    }
    void Uninitialize() override { ::CoUninitialize(); }
    bool TimedOut() const override { return timedOut_; }

private:
    IWbemLocator* locator_ = nullptr;
    IWbemServices* services_ = nullptr;
    IEnumWbemClassObject* enumerator_ = nullptr;
    bool timedOut_ = false;
};

}  // namespace

std::unique_ptr<IWmi> CreateWmi() { return std::make_unique<Win32Wmi>(); }

}  // namespace statmon
