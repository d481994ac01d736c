#pragma once
// Numbers and control ids of the Time Zone page's rows. No Windows here.
//
// A row's check box is 1000 + number and its "Delete" button 3000 + number; the page routes
// clicks from 1000-2000 and 3000-4000 to the rows, after "Add" (1041). Numbers therefore stay
// within 1-1000, skip 41 (its check box would be "Add"), and are handed out again once their
// row is deleted, so that a long session never runs out of routed ids.
#include <optional>
#include <vector>

namespace velmora {

inline constexpr int kFirstRowNumber = 1;
inline constexpr int kLastRowNumber = 1000;
inline constexpr int kShowCheckIdBase = 1000;
inline constexpr int kDeleteButtonIdBase = 3000;
inline constexpr int kAddButtonId = 1041;

class RowNumbers {
public:
    RowNumbers();
    // The lowest free number, now taken; nothing when every number is in use.
    std::optional<int> Take();
    // Frees a number taken before; anything else is ignored.
    void Release(int number);
    bool InUse(int number) const;
    int Capacity() const { return capacity_; }

private:
    std::vector<bool> used_;  // indexed by number
    int capacity_ = 0;
};

// The ids of one row's controls. The group box, the labels, the zone list and the name box
// are never looked up by the page; they get ids of their own outside the routed ranges, so
// that no notification of theirs can be taken for a click on another row.
struct RowControlIds {
    int showCheck;
    int deleteButton;
    int groupBox;
    int zoneLabel;
    int zoneList;
    int nameLabel;
    int nameBox;
};
RowControlIds RowControlIdsFor(int number);

}  // namespace velmora
