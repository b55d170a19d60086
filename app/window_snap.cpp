#include "app/window_snap.h"

WindowSpot MainWindowHome(int width, int height, int screenWidth, int workHeight) {
  return {screenWidth - width, workHeight - 8 - height};
}

WindowSpot SnapMainWindow(WindowSpot wanted, int width, int height, int screenWidth, int workHeight) {
  WindowSpot spot = wanted;
  if (spot.left < 10) spot.left = 0;
  if (spot.left > screenWidth - width - 10) spot.left = screenWidth - width;
  if (spot.top < 10) spot.top = 0;
  if (spot.top > workHeight - 18 - height) spot.top = workHeight - 8 - height;
  return spot;
}
