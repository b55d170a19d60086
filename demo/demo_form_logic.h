#pragma once
// The slideshow's page rule, free of windows: what the page counter shows and which of the
// Previous and Next buttons work on a page. Pages are named by numbers; those below 1 (the
// announcement and the introduction) are not counted.

#include <string>
#include <vector>

struct TDemoPageState {
  std::string Counter;  // "n/last", or empty for an uncounted page
  bool PrevEnabled = false;
  bool NextEnabled = false;
};

// The state on page index of the pages named names; a name that is not a number counts as -1.
TDemoPageState DemoPageState(const std::vector<std::string>& names, int index);
