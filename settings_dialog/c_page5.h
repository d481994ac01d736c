#pragma once
// "Time Zone": the world clocks as framed rows in a vertically scrolling page, and "Add".
#include <memory>

#include "framework/unique_handle.h"
#include "settings/world_clocks.h"
#include <vector>

#include "settings_dialog/row_numbers.h"
#include "settings_dialog/tab_sheet_dialog.h"
#include "settings_dialog/time_zone_layout.h"
#include "settings_dialog/time_zone_row.h"

namespace velmora {

class CPage5 : public tabSheetDialog {
public:
    CPage5();
    ~CPage5() override;

    BOOL OnInitDialog() override;

    // Replaces WorldClockList by the rows, in row order, followed by the stored clocks that
    // were beyond what the page can show (they are kept, never dropped).
    void ApplyToSettings();
    // Stored clocks the page does not show, and its note saying so (null when all are shown).
    std::size_t ClocksNotShown() const { return notShown_.size(); }
    HWND NotShownNote() const { return note_.get(); }

    const std::vector<std::unique_ptr<TimeZoneRow>>& Rows() const { return rows_; }
    const TimeZoneLayout& Layout() const { return layout_; }
    HWND AddButton() const { return addButton_; }
    int ScrollPosition() const { return ::GetScrollPos(m_hWnd, SB_VERT); }

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }

private:
    void MeasureLayout();
    // Appends a row for `entry` below the last one; false when no row number is free.
    bool AddRow(const WorldClock& entry);
    void UpdateScrollRange();
    // Moves the scroll position (the system keeps it in range) and the contents with it.
    void ScrollTo(int position);
    void MoveAddButton(const Box& box) const;
    TimeZoneRow* FindRow(int number) const;

    void OnAdd();
    void OnShowToggle(UINT id);
    void OnDelete(UINT id);
    bool OnVScroll(Message& message);
    bool OnMouseWheel(Message& message);
    bool OnDestroy(Message& message);

    // The note goes with "Add", to its right.
    void PlaceNote(const Box& addBox) const;

    std::vector<std::unique_ptr<TimeZoneRow>> rows_;
    std::vector<WorldClock> notShown_;
    std::size_t mostRows_ = 0;
    UniqueWindow note_;
    HWND addButton_ = nullptr;
    TimeZoneLayout layout_;
    RowNumbers numbers_;
    SCROLLINFO scrollInfo_{};
    bool scrollInfoReady_ = false;
};

}  // namespace velmora
