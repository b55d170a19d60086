#pragma once
// The window-free rules of the GIF animator: how long a frame stays, and which earlier
// frames must be drawn (or cleared) under a frame so that it looks as the GIF disposal
// methods ask.

#include <cstdint>
#include <vector>

// The timer interval while frame index shows: 0 (no stepping) for an index out of range or
// a picture of fewer than two frames, otherwise the frame's delay and at least 1 ms.
unsigned AnimatorInterval(int index, int frameCount, uint16_t delayMs);

// The frame after index: the next one, or 0 after the last.
int AnimatorNextFrame(int index, int frameCount);

// What composition needs to know of a frame.
struct TComposeFrame {
  int Disposal = 0;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

enum TComposeAction { caDraw, caFillBackground, caSkip };

struct TComposeStep {
  int Frame = 0;
  TComposeAction Action = caSkip;
};

// Composing frame n over a background: starts at the last frame before it that clears the
// whole screen (disposal 2 at the logical size), then each frame up to n is drawn (disposal
// 0 or 1, and n itself), cleared back to the background (disposal 2 after the start) or left
// out (disposal 2 at the start, 3 and above). n is held to the frames there are; no frames
// give no steps.
std::vector<TComposeStep> PlanComposition(const std::vector<TComposeFrame>& frames, int n, int logicalWidth,
                                          int logicalHeight);
