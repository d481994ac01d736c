#include "settings_dialog/row_numbers.h"

namespace velmora {

namespace {

// The number whose check box id would be "Add".
constexpr int kAddNumber = kAddButtonId - kShowCheckIdBase;
// The other controls of row n take 5 ids from here on: 5005-10004, clear of every routed range.
constexpr int kOtherIdBase = 5000;

}  // namespace

RowNumbers::RowNumbers() : used_(kLastRowNumber + 1, false) {
    used_[0] = true;  // not a row number
    used_[kAddNumber] = true;
    capacity_ = kLastRowNumber - kFirstRowNumber;  // 1-1000 without 41
}

std::optional<int> RowNumbers::Take() {
    for (int n = kFirstRowNumber; n <= kLastRowNumber; ++n) {
        if (!used_[n]) {
            used_[n] = true;
            return n;
        }
    }
    return std::nullopt;
}

void RowNumbers::Release(int number) {
    if (number >= kFirstRowNumber && number <= kLastRowNumber && number != kAddNumber) used_[number] = false;
}

bool RowNumbers::InUse(int number) const {
    return number >= kFirstRowNumber && number <= kLastRowNumber && number != kAddNumber && used_[number];
}

RowControlIds RowControlIdsFor(int number) {
    const int other = kOtherIdBase + 5 * number;
    return RowControlIds{kShowCheckIdBase + number, kDeleteButtonIdBase + number, other, other + 1, other + 2,
                         other + 3, other + 4};
}

}  // namespace velmora
