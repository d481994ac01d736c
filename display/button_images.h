#pragma once
// Which PNG resource each image button shows in each look. No Windows here.

namespace velmora {

// The resource id of `controlId`'s image for `state` (0 Normal, 1 Hover, 2 Pressed);
// 0 when the control has no images (a text button) or the state is out of range.
int ButtonImageFor(int controlId, int state);

}  // namespace velmora
