#include "tests/settings/scratch_registry.h"

#include <cstring>

#include "settings/settings_store.h"

namespace velmora::testing {

namespace {

HKEY OpenForTest(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

std::wstring Widen(const char* text) {
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

}  // namespace

std::optional<StoredValue> ReadStored(HKEY root, const std::wstring& path, const wchar_t* name) {
    HKEY key = OpenForTest(root, path);
    if (!key) return std::nullopt;
    StoredValue value;
    DWORD size = 0;
    LONG status = ::RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.data.resize(size);
        status = ::RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
        value.data.resize(size);
    }
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

std::optional<std::int32_t> ReadStoredDword(HKEY root, const std::wstring& path, const wchar_t* name) {
    const auto value = ReadStored(root, path, name);
    if (!value || value->type != REG_DWORD || value->data.size() != 4) return std::nullopt;
    std::int32_t number;
    std::memcpy(&number, value->data.data(), 4);
    return number;
}

std::optional<std::wstring> ReadStoredText(HKEY root, const std::wstring& path, const wchar_t* name) {
    const auto value = ReadStored(root, path, name);
    if (!value || value->type != REG_SZ || value->data.size() < 2 || value->data.size() % 2) return std::nullopt;
    std::wstring text(value->data.size() / 2 - 1, L'\0');
    std::memcpy(text.data(), value->data.data(), text.size() * 2);
    return text;
}

std::vector<std::wstring> StoredValueNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    HKEY key = OpenForTest(root, path);
    if (!key) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = static_cast<DWORD>(std::size(name));
        if (::RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    return names;
}

std::vector<std::wstring> StoredSubkeyNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    HKEY key = OpenForTest(root, path);
    if (!key) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = static_cast<DWORD>(std::size(name));
        if (::RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    return names;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = OpenForTest(root, path);
    if (key) ::RegCloseKey(key);
    return key != nullptr;
}

void Store(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    ::RegCloseKey(key);
}

void StoreDword(HKEY root, const std::wstring& path, const wchar_t* name, std::int32_t value) {
    Store(root, path, name, REG_DWORD, &value, sizeof value);
}

void StoreText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
    Store(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
}

void DeleteTree(HKEY root, const std::wstring& path) {
    ::RegDeleteTreeW(root, path.c_str());
    ::RegDeleteKeyW(root, path.c_str());
}

std::wstring OwnExecutablePath() {
    wchar_t path[32768];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return std::wstring(path, length);
}

void ScratchRegistryTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    base_ = L"Software\\VelmoraTests\\" + Widen(info->test_suite_name()) + L"." + Widen(info->name());
    // Parameterised names hold "/", which is fine in a key name.
    DeleteTree(HKEY_CURRENT_USER, base_);

    RegistryLocations scratch;
    scratch.settingsKey = base_ + L"\\Brantel\\Velmora\\";
    scratch.runKey = base_ + L"\\Run\\";
    HKEY run = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, scratch.runKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &run, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(run);
    previousLocations_ = SetRegistryLocations(scratch);
    previousUi_ = SetRegistryCheckUi(RegistryCheckUi{
        [this](const std::wstring& message) {
            registryMessages.push_back(message);
            return answerYes;
        },
        [this](int exitCode) { exitCodes.push_back(exitCode); },
    });
    ResetSettingsStore();
}

void ScratchRegistryTest::TearDown() {
    ResetSettingsStore();
    SetRegistryCheckUi(previousUi_);
    SetRegistryLocations(previousLocations_);
    DeleteTree(HKEY_CURRENT_USER, base_);
}

}  // namespace velmora::testing
