// The options in the registry; see WinSettings.h.
#include "WinSettings.h"

#include <windows.h>

#include "WideText.h"

using namespace lintrim;

namespace {
constexpr const wchar_t* kKey = L"Software\\Lintrim\\Lintrim";

// The key, opened (and made when saving); closed with the object.
class SettingsKey {
public:
    explicit SettingsKey(bool write) {
        if (write)
            ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &m_key,
                              nullptr);
        else
            ::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &m_key);
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    ~SettingsKey() {
        if (m_key) ::RegCloseKey(m_key);
    }

    uint64_t Number(const wchar_t* name, uint64_t fallback) const {
        uint64_t value = 0;
        DWORD size = sizeof value;
        if (!m_key || ::RegGetValueW(m_key, nullptr, name, RRF_RT_QWORD, nullptr, &value, &size) !=
                          ERROR_SUCCESS)
            return fallback;
        return value;
    }
    std::string Text(const wchar_t* name) const {
        DWORD size = 0;
        if (!m_key || ::RegGetValueW(m_key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr,
                                     &size) != ERROR_SUCCESS)
            return {};
        std::wstring text(size / sizeof(wchar_t), L'\0');
        if (::RegGetValueW(m_key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
            ERROR_SUCCESS)
            return {};
        text.resize(::wcsnlen(text.c_str(), text.size()));
        return Utf8(text);
    }
    void SetNumber(const wchar_t* name, uint64_t value) const {
        if (m_key)
            ::RegSetValueExW(m_key, name, 0, REG_QWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof value);
    }
    void SetText(const wchar_t* name, const std::string& value) const {
        const std::wstring text = Wide(value);
        if (m_key)
            ::RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    HKEY m_key = nullptr;
};
}  // namespace

WindowOptions LoadOptions() {
    const SettingsKey key(false);
    WindowOptions o;
    const uint64_t lineEnd = key.Number(L"lineEnd", 0);
    o.lineEnd = lineEnd == 1 ? LineEnd::kLf : lineEnd == 2 ? LineEnd::kAsRead : LineEnd::kCrLf;
    o.besideSuffix = key.Text(L"besideSuffix");
    o.removedFile = key.Text(L"removedFile");
    o.ignoreCase = key.Number(L"ignoreCase", 0) != 0;
    o.hexKey = key.Number(L"hexKey", 0) != 0;
    o.minLength = key.Number(L"minLength", 0);
    o.maxLength = key.Number(L"maxLength", 0);
    o.memoryBudget = key.Number(L"memoryBudget", 0);
    return o;
}

void SaveOptions(const WindowOptions& o) {
    const SettingsKey key(true);
    key.SetNumber(L"lineEnd", o.lineEnd == LineEnd::kLf       ? 1
                              : o.lineEnd == LineEnd::kAsRead ? 2
                                                              : 0);
    key.SetText(L"besideSuffix", o.besideSuffix);
    key.SetText(L"removedFile", o.removedFile);
    key.SetNumber(L"ignoreCase", o.ignoreCase);
    key.SetNumber(L"hexKey", o.hexKey);
    key.SetNumber(L"minLength", o.minLength);
    key.SetNumber(L"maxLength", o.maxLength);
    key.SetNumber(L"memoryBudget", o.memoryBudget);
}
