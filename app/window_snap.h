#pragma once
// Where the main window sits: its place at start (flush right, just above the taskbar) and
// the snapping while it is dragged by its header, so that it clings to the screen edges.

struct WindowSpot {
  int left;
  int top;
};

// screenWidth: the screen's width; workHeight: the height of a maximised window.
WindowSpot MainWindowHome(int width, int height, int screenWidth, int workHeight);

// The dragged-to place, snapped: within 10 pixels of the left or top edge it goes to 0;
// within 10 pixels of the right edge flush right; within 10 pixels of the bottom of the
// work area to its home height.
WindowSpot SnapMainWindow(WindowSpot wanted, int width, int height, int screenWidth, int workHeight);
