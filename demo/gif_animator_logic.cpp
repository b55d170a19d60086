#include "demo/gif_animator_logic.h"

#include <algorithm>

unsigned AnimatorInterval(int index, int frameCount, uint16_t delayMs) {
  if (index < 0 || index >= frameCount || frameCount < 2) return 0;
  return std::max<unsigned>(delayMs, 1);
}

int AnimatorNextFrame(int index, int frameCount) { return index + 1 < frameCount ? index + 1 : 0; }

std::vector<TComposeStep> PlanComposition(const std::vector<TComposeFrame>& frames, int n, int logicalWidth,
                                          int logicalHeight) {
  std::vector<TComposeStep> steps;
  const int count = static_cast<int>(frames.size());
  if (count == 0) return steps;
  // A frame index of -1 (an image whose loading failed part-way) still draws frame 0.
  const int target = std::max(0, std::min(n, count - 1));
  int start = 0;
  for (int k = std::max(0, target - 1); k >= 1; --k) {
    const TComposeFrame& f = frames[static_cast<size_t>(k)];
    if (f.Disposal == 2 && f.Width == logicalWidth && f.Height == logicalHeight) {
      start = k;
      break;
    }
  }
  for (int k = start; k < target; ++k) {
    const int disposal = frames[static_cast<size_t>(k)].Disposal;
    TComposeAction action = caSkip;
    if (disposal == 0 || disposal == 1) action = caDraw;
    else if (disposal == 2 && k > start) action = caFillBackground;
    steps.push_back({k, action});
  }
  steps.push_back({target, caDraw});
  return steps;
}
