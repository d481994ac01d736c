// The time-zone catalogue read from the registry, and how its read failures are reported.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/app_settings.h"
#include "settings/registry_check.h"
#include "settings/registry_locations.h"
#include "settings/settings_store.h"
#include "settings/time_zone_catalogue.h"
#include "settings/world_clocks.h"
#include "settings/zone_sort_key.h"
#include "tests/settings/scratch_registry.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Texts = std::vector<std::wstring>;
const HKEY kUser = HKEY_CURRENT_USER;

bool StartsWith(const wchar_t* text, const wchar_t* prefix) {
    return std::wstring_view(text).substr(0, std::wcslen(prefix)) == prefix;
}

std::ptrdiff_t FirstIndexStartingWith(const wchar_t* prefix) {
    for (std::size_t i = 0; i < TimeZoneCatalogue.size(); ++i)
        if (StartsWith(TimeZoneCatalogue[i].displayName, prefix)) return static_cast<std::ptrdiff_t>(i);
    return -1;
}

class TimeZoneCatalogueTest : public ScratchRegistryTest {
protected:
    // Moves the catalogue's source to a scratch key of this test.
    std::wstring UseScratchZones() {
        RegistryLocations where = CurrentRegistryLocations();
        where.timeZonesRoot = kUser;
        where.timeZonesKey = ScratchPath(L"Zones");
        SetRegistryLocations(where);
        return where.timeZonesKey;
    }
    static void StoreZone(const std::wstring& zones, const std::wstring& key, const wchar_t* display, bool withTzi = true) {
        const std::wstring path = zones + L"\\" + key;
        StoreText(kUser, path, L"Display", display);
        StoreText(kUser, path, L"Std", key + L" Std");
        StoreText(kUser, path, L"Dlt", key + L" Dlt");
        if (withTzi) {
            const std::int32_t tzi[11] = {-60, 0, -60, 0, 0, 0, 0, 0, 0, 0, 0};
            Store(kUser, path, L"TZI", REG_BINARY, tzi, sizeof tzi);
        }
    }
    static Texts KeyNames() {
        Texts names;
        for (const TimeZoneEntry& entry : TimeZoneCatalogue) names.emplace_back(entry.keyName);
        return names;
    }
};

TEST_F(TimeZoneCatalogueTest, TheSystemsZonesAreSortedByOffsetAndReadOnce) {
    BuildTimeZoneCatalogue();
    ASSERT_EQ(TimeZoneCatalogue.size(), 139u) << "Wine's Time Zones key";
    EXPECT_TRUE(registryMessages.empty());
    for (std::size_t i = 1; i < TimeZoneCatalogue.size(); ++i)
        EXPECT_LE(ZoneSortKey(TimeZoneCatalogue[i - 1].displayName), ZoneSortKey(TimeZoneCatalogue[i].displayName))
            << i;
    const auto india = FirstIndexStartingWith(L"(UTC+05:30)");
    const auto nepal = FirstIndexStartingWith(L"(UTC+05:45)");
    const auto six = FirstIndexStartingWith(L"(UTC+06:00)");
    ASSERT_GE(india, 0);
    EXPECT_LT(india, nepal);
    EXPECT_LT(nepal, six);
    EXPECT_LT(FirstIndexStartingWith(L"(UTC-03:30)"), FirstIndexStartingWith(L"(UTC-03:00)"));

    // A second build reads nothing: even a source without zones leaves the catalogue as it is.
    const TimeZoneEntry* first = TimeZoneCatalogue.data();
    const Texts before = KeyNames();
    UseScratchZones();
    BuildTimeZoneCatalogue();
    EXPECT_EQ(TimeZoneCatalogue.data(), first);
    EXPECT_EQ(KeyNames(), before);
    EXPECT_TRUE(registryMessages.empty());
}

TEST_F(TimeZoneCatalogueTest, AnEntryHoldsTheZonesRulesAndNamesZeroPadded) {
    BuildTimeZoneCatalogue();
    const TimeZoneEntry* eastern = FindZoneByKeyName(L"Eastern Standard Time");
    ASSERT_NE(eastern, nullptr);
    EXPECT_STREQ(eastern->keyName, L"Eastern Standard Time");
    EXPECT_TRUE(StartsWith(eastern->displayName, L"(UTC-05:00) Eastern Time")) << eastern->displayName;
    EXPECT_EQ(eastern->tzi.Bias, 300);
    EXPECT_EQ(eastern->tzi.StandardBias, 0);
    EXPECT_EQ(eastern->tzi.DaylightBias, -60);
    EXPECT_EQ(eastern->tzi.StandardDate.wMonth, 11);
    EXPECT_EQ(eastern->tzi.DaylightDate.wMonth, 3);
    EXPECT_STREQ(eastern->tzi.StandardName, L"Eastern Standard Time");
    EXPECT_STREQ(eastern->tzi.DaylightName, L"Eastern Daylight Time");
}

TEST_F(TimeZoneCatalogueTest, ThePcsOwnZoneIsInTheCatalogueByteForByte) {
    // The settings dialog finds the PC's zone by comparing whole structures, padding included.
    BuildTimeZoneCatalogue();
    TIME_ZONE_INFORMATION own{};
    ASSERT_NE(::GetTimeZoneInformation(&own), TIME_ZONE_ID_INVALID);
    const TimeZoneEntry* match = nullptr;
    for (const TimeZoneEntry& entry : TimeZoneCatalogue)
        if (std::memcmp(&entry.tzi, &own, sizeof own) == 0) {
            match = &entry;
            break;
        }
    ASSERT_NE(match, nullptr) << own.StandardName;
    EXPECT_STREQ(match->tzi.StandardName, own.StandardName);
}

TEST_F(TimeZoneCatalogueTest, ZonesAreFoundByExactKeyNameOrByAPieceOfTheirDisplayText) {
    BuildTimeZoneCatalogue();
    ASSERT_EQ(TimeZoneCatalogue.size(), 139u);

    EXPECT_EQ(FindZoneByKeyName(L"eastern standard time"), nullptr) << "case-sensitive";
    EXPECT_EQ(FindZoneByKeyName(L"Eastern Standard"), nullptr) << "whole name only";
    EXPECT_EQ(FindZoneByKeyName(L""), nullptr);

    const TimeZoneEntry* london = FindZoneByDisplayText(L"London");
    ASSERT_NE(london, nullptr);
    EXPECT_NE(std::wstring(london->displayName).find(L"London"), std::wstring::npos);
    // The first in catalogue order.
    for (const TimeZoneEntry* e = TimeZoneCatalogue.data(); e != london; ++e)
        EXPECT_EQ(std::wstring(e->displayName).find(L"London"), std::wstring::npos) << e->displayName;

    EXPECT_EQ(FindZoneByDisplayText(L"Nowhere at all"), &TimeZoneCatalogue[69]) << "the middle entry";
}

TEST_F(TimeZoneCatalogueTest, AZoneWithoutRulesIsReportedWithItsEventNumberAndStillListed) {
    const std::wstring zones = UseScratchZones();
    StoreZone(zones, L"A Zone", L"(UTC+01:00) A");
    StoreZone(zones, L"B Zone", L"(UTC-02:00) B");
    StoreZone(zones, L"C Zone", L"(UTC+00:00) C", false);

    BuildTimeZoneCatalogue();

    // The third subkey (k = 2): "TZI" is event 5 + 4k.
    EXPECT_EQ(registryMessages, Texts{L"System Registy Error 2\r\nEvent ID: 13\r\n\r\nDo you want co notinue?"});
    EXPECT_TRUE(exitCodes.empty()) << "the user chose to continue";
    EXPECT_EQ(KeyNames(), (Texts{L"B Zone", L"C Zone", L"A Zone"}));
    const TimeZoneEntry* c = FindZoneByKeyName(L"C Zone");
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->displayName, L"(UTC+00:00) C");
    EXPECT_STREQ(c->tzi.StandardName, L"C Zone Std");
    EXPECT_EQ(c->tzi.Bias, 0);
    EXPECT_EQ(FindZoneByKeyName(L"A Zone")->tzi.Bias, -60);
}

TEST_F(TimeZoneCatalogueTest, AZoneNameTooLongForTheEntryIsReportedAsThatSubkeysEnumeration) {
    const std::wstring zones = UseScratchZones();
    StoreZone(zones, L"A Zone", L"(UTC+01:00) A");
    StoreZone(zones, std::wstring(100, L'L'), L"(UTC+02:00) Long");  // enumerated second (k = 1)
    StoreZone(zones, L"M Zone", L"(UTC+03:00) M");

    BuildTimeZoneCatalogue();

    ASSERT_FALSE(registryMessages.empty());
    EXPECT_EQ(registryMessages[0], L"System Registy Error 234\r\nEvent ID: 6\r\n\r\nDo you want co notinue?");
    for (const std::wstring& message : registryMessages)
        EXPECT_EQ(message.find(L"Event ID: 1"), std::wstring::npos) << "no event of the third subkey: " << message;
    const TimeZoneEntry* m = FindZoneByKeyName(L"M Zone");
    ASSERT_NE(m, nullptr) << "enumeration went on after the long name";
    EXPECT_STREQ(m->displayName, L"(UTC+03:00) M");
    for (const TimeZoneEntry& entry : TimeZoneCatalogue) {
        EXPECT_LT(std::wcslen(entry.keyName), kZoneNameCapacity);
        EXPECT_LT(std::wcslen(entry.displayName), kZoneNameCapacity);
    }
}

TEST_F(TimeZoneCatalogueTest, WithoutATimeZonesKeyTheCatalogueIsEmptyAndAFirstRunAddsNoClocks) {
    UseScratchZones();  // never created

    LoadSettings();

    EXPECT_EQ(registryMessages, Texts{L"System Registy Error 2\r\nEvent ID: 1\r\n\r\nDo you want co notinue?"});
    EXPECT_TRUE(TimeZoneCatalogue.empty());
    EXPECT_EQ(FindZoneByDisplayText(L"London"), nullptr);
    EXPECT_EQ(FindZoneByKeyName(L"GMT Standard Time"), nullptr);
    EXPECT_TRUE(WorldClockList.empty());
    EXPECT_EQ(AppSettings.runAtStartup, 1) << "the rest of the first run goes on";
}

TEST_F(TimeZoneCatalogueTest, AnsweringNoEndsTheProgramWithTheResultCode) {
    answerYes = false;
    RegistryCheck(ERROR_SUCCESS, 4);
    EXPECT_TRUE(registryMessages.empty()) << "success asks nothing";

    RegistryCheck(ERROR_ACCESS_DENIED, 7);
    EXPECT_EQ(registryMessages, Texts{L"System Registy Error 5\r\nEvent ID: 7\r\n\r\nDo you want co notinue?"});
    EXPECT_EQ(exitCodes, std::vector<int>{5});

    answerYes = true;
    RegistryCheck(ERROR_MORE_DATA, 10);
    EXPECT_EQ(exitCodes, std::vector<int>{5}) << "Yes goes on";
}

}  // namespace
}  // namespace velmora
