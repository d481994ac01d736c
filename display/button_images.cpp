#include "display/button_images.h"

namespace velmora {
namespace {

struct ButtonImages {
    int controlId;
    int resourceIds[3];  // Normal, Hover, Pressed
};

constexpr ButtonImages ButtonImageTable[] = {
    {1054, {240, 239, 241}},  // "Options"
    {1046, {231, 230, 232}},  // "-"
    {1047, {228, 227, 229}},  // "x"
    {1043, {234, 233, 235}},  // "Adjust"
    {1056, {237, 236, 238}},  // "Get"
    {1065, {245, 244, 246}},  // "Opt."
};

}  // namespace

int ButtonImageFor(int controlId, int state) {
    if (state < Normal || state > Pressed) return 0;
    for (const ButtonImages& entry : ButtonImageTable)
        if (entry.controlId == controlId) return entry.resourceIds[state];
    return 0;
}

}  // namespace velmora
