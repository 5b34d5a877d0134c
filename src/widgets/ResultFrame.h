#pragma once
// The layout both result windows share, in twips: a frame 120 in from the
// window's left side and 120 short of its bottom, and inside it the grid 120
// in from the frame's sides, below the frame's caption.

namespace kestrel::resultframe {

constexpr int FrameLeft = 120;
constexpr int FrameWidthMargin = 240;
constexpr int FrameHeightMargin = 120;
constexpr int GridLeft = 120;
constexpr int GridTop = 280;

} // namespace kestrel::resultframe
