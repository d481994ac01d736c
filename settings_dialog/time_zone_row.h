#pragma once
// One world clock on the Time Zone page: a framed row of seven controls built at run time.
#include <windows.h>

#include "framework/unique_handle.h"
#include "settings/world_clocks.h"
#include "settings_dialog/time_zone_layout.h"

namespace velmora {

class TimeZoneRow {
public:
    // Builds the row on `page` with its top at `top`: checked, zone selected and name filled
    // from `entry`; the zone list and the name box are greyed for a disabled entry.
    TimeZoneRow(HWND page, int number, const TimeZoneLayout& layout, int top, const WorldClock& entry);
    TimeZoneRow(const TimeZoneRow&) = delete;
    TimeZoneRow& operator=(const TimeZoneRow&) = delete;

    int number() const { return number_; }
    HWND deleteButton() const { return deleteButton_.get(); }
    HWND nameBox() const { return nameBox_.get(); }
    HWND zoneList() const { return zoneList_.get(); }
    HWND zoneLabel() const { return zoneLabel_.get(); }
    HWND nameLabel() const { return nameLabel_.get(); }
    HWND groupBox() const { return groupBox_.get(); }
    HWND showCheck() const { return showCheck_.get(); }

    // Greys or enables the zone list, the name box and both labels as the check box says.
    void FollowShowCheck() const;
    // Moves every control down by `dy` pixels (up when negative).
    void MoveBy(int dy) const;
    bool Contains(HWND window) const;
    // The row as a world clock; its zone is null when the zone list has no selection.
    WorldClock ToWorldClock() const;

private:
    UniqueWindow deleteButton_;
    UniqueWindow nameBox_;
    UniqueWindow zoneList_;
    UniqueWindow zoneLabel_;
    UniqueWindow nameLabel_;
    UniqueWindow groupBox_;
    UniqueWindow showCheck_;
    int number_;
};

// The zone a new row starts with: the PC's own zone (by its key name, else the first catalogue
// entry with exactly the same TIME_ZONE_INFORMATION), else New York's.
const TimeZoneEntry* ZoneForNewRow(const DYNAMIC_TIME_ZONE_INFORMATION& pcZone);
const TimeZoneEntry* ZoneForNewRow();

}  // namespace velmora
