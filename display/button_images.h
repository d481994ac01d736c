#pragma once
// Which PNG resource each image button shows in each look. No Windows here.

namespace velmora {

// The looks of a button, in the order of its images.
enum ButtonState { Normal = 0, Hover = 1, Pressed = 2 };

// The resource id of `controlId`'s image for `state`; 0 when the control has no images
// (a text button) or the state is out of range.
int ButtonImageFor(int controlId, int state);

}  // namespace velmora
