// Whatever a hand-edited or damaged registry holds: every number of the settings record and
// any texts for the custom server, the world-clock subkey names and the zone display names.
// What the program derives from them stays inside its ranges and loses nothing.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/clock_timing.h"
#include "settings/app_settings.h"
#include "settings/next_view.h"
#include "settings/server_selection.h"
#include "settings/time_format_pattern.h"
#include "settings/world_clock_order.h"
#include "settings/zone_sort_key.h"
#include "tests/fuzz/fuzz_check.h"

using namespace velmora;

namespace {

bool IsNumber(const std::wstring& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

}  // namespace

// Input: the record's numbers (4 bytes each), then UTF-16 units: the custom address, and
// after it subkey names, each ended by a zero unit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    SettingsRecord s;
    for (std::int32_t* field : {&s.displayTrayMessage, &s.showToolTips, &s.minimized, &s.skin, &s.left, &s.top,
                                &s.useBuiltInServer, &s.selectedServerId, &s.customServerPort, &s.syncAtStart,
                                &s.syncAutomatically, &s.syncEveryMinutes, &s.timeFormat})
        *field = in.Take<std::int32_t>();
    std::vector<std::wstring> texts(1);
    while (in.RestSize() >= 2) {
        const auto unit = static_cast<wchar_t>(in.Take<std::uint16_t>());
        if (unit == L'\0')
            texts.emplace_back();
        else
            texts.back() += unit;
    }
    s.customServerAddress = texts.front();
    const std::vector<std::wstring> subkeys(texts.begin() + 1, texts.end());

    // The query target: a built-in host, whatever the index, or the custom server.
    const std::vector<std::wstring> servers(std::begin(kBuiltInServers), std::end(kBuiltInServers));
    const std::wstring host = SyncHostFor(s, servers);
    const std::wstring service = SyncServiceFor(s);
    if (s.useBuiltInServer != 0) {
        FUZZ_CHECK(std::find(servers.begin(), servers.end(), host) != servers.end());
        FUZZ_CHECK(service == L"ntp");
    } else {
        FUZZ_CHECK(host == s.customServerAddress);
        FUZZ_CHECK(std::stoll(service) == s.customServerPort);
    }

    const ViewStep step = NextViewStep(s.skin, s.syncAtStart != 0);
    if (s.skin >= kFullView && s.skin <= kWorldClockView)
        FUZZ_CHECK(step.skin >= kFullView && step.skin <= kWorldClockView && step.skin != s.skin);
    else
        FUZZ_CHECK(step.skin == s.skin && step.shift == 0);

    const std::uint32_t period = AutoSyncPeriodMs(s.syncEveryMinutes);
    FUZZ_CHECK(period >= 60'000u && period <= std::uint32_t{kMaxSyncMinutes} * 60'000u && period % 60'000u == 0);

    const wchar_t* picture = TimeFormatPatternFor(s.timeFormat);
    FUZZ_CHECK((picture != nullptr) == (s.timeFormat == 12 || s.timeFormat == 24));

    // Stored clocks come back complete: numbered names first, in numeric order.
    const std::vector<std::wstring> ordered = OrderWorldClockSubkeys(subkeys);
    FUZZ_CHECK(std::is_permutation(ordered.begin(), ordered.end(), subkeys.begin(), subkeys.end()));
    const auto firstOther = std::find_if(ordered.begin(), ordered.end(), [](const auto& n) { return !IsNumber(n); });
    FUZZ_CHECK(std::all_of(firstOther, ordered.end(), [](const auto& n) { return !IsNumber(n); }));
    for (auto it = ordered.begin(); it != firstOther && it + 1 != firstOther; ++it) {
        const auto significant = [](const std::wstring& n) { return n.substr(std::min(n.find_first_not_of(L'0'), n.size())); };
        const std::wstring a = significant(*it), b = significant(*(it + 1));
        FUZZ_CHECK(a.size() < b.size() || (a.size() == b.size() && a <= b));
    }

    // A zone's sort key is read from six characters: a finite number under 1000.
    for (const std::wstring& text : texts) {
        const float key = ZoneSortKey(text);
        FUZZ_CHECK(std::isfinite(key) && std::fabs(key) < 1000.0f);
    }
    return 0;
}
