#pragma once
// Points the settings store at scratch keys of its own under HKCU\Software\VelmoraTests\<test>,
// so that tests running side by side never meet, and reads what the code stored with the
// plain registry API (not through the code under test).
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/registry_check.h"
#include "settings/registry_locations.h"

namespace velmora::testing {

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

std::optional<StoredValue> ReadStored(HKEY root, const std::wstring& path, const wchar_t* name);
// The DWORD stored under `name`, or nothing if it is missing or not a 4-byte REG_DWORD.
std::optional<std::int32_t> ReadStoredDword(HKEY root, const std::wstring& path, const wchar_t* name);
// A REG_SZ's text without its terminator, or nothing.
std::optional<std::wstring> ReadStoredText(HKEY root, const std::wstring& path, const wchar_t* name);
std::vector<std::wstring> StoredValueNames(HKEY root, const std::wstring& path);
std::vector<std::wstring> StoredSubkeyNames(HKEY root, const std::wstring& path);
bool KeyExists(HKEY root, const std::wstring& path);

void Store(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size);
void StoreDword(HKEY root, const std::wstring& path, const wchar_t* name, std::int32_t value);
// REG_SZ with its terminator.
void StoreText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text);
void DeleteTree(HKEY root, const std::wstring& path);

// The running test program's path, as the Run value should hold it.
std::wstring OwnExecutablePath();

// Fixture: scratch settings and Run keys (the Run key exists, empty), the real time zones, a
// fresh settings store, and a RegistryCheck that records instead of asking.
class ScratchRegistryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring SettingsPath() const { return CurrentRegistryLocations().settingsKey; }
    std::wstring RunPath() const { return CurrentRegistryLocations().runKey; }
    // A further scratch path of this test, for keys of its own.
    std::wstring ScratchPath(const std::wstring& leaf) const { return base_ + L"\\" + leaf; }
    // Marks the settings as saved before, so that loading is not a first run.
    void StoreSavedMarker() { StoreDword(HKEY_CURRENT_USER, SettingsPath(), L"Display Tray Message", 1); }

    std::vector<std::wstring> registryMessages;
    std::vector<int> exitCodes;
    bool answerYes = true;

private:
    std::wstring base_;
    RegistryLocations previousLocations_;
    RegistryCheckUi previousUi_;
};

}  // namespace velmora::testing
