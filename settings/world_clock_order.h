#pragma once
// The order in which stored world clocks are read back. No Windows here.
#include <string>
#include <vector>

namespace velmora {

// Clocks are stored as subkeys "1", "2", ... "11" in list order, but the registry enumerates
// subkeys by name ("1", "10", "11", "2", ...). Numbered names come first in numeric order;
// any other names follow in the order given.
std::vector<std::wstring> OrderWorldClockSubkeys(std::vector<std::wstring> names);

// The subkey name of the n-th clock (counting from 1).
std::wstring WorldClockSubkeyName(std::size_t position);

}  // namespace velmora
