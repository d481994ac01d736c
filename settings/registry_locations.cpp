#include "settings/registry_locations.h"

#include <utility>

namespace velmora {

namespace {
RegistryLocations locations;
}

const RegistryLocations& CurrentRegistryLocations() {
    return locations;
}

RegistryLocations SetRegistryLocations(RegistryLocations replacement) {
    return std::exchange(locations, std::move(replacement));
}

}  // namespace velmora
