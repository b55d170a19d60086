#pragma once
// What the tracker's form constructors share while they build their controls in code.

#include <string>

#include "platform/wcl/win/control.h"
#include "platform/wcl/win/screen.h"

// A control owned by form, named and placed on parent at the given bounds.
template <class T>
T* MakeControl(TComponent* form, const std::string& name, TWinControl* parent, int left, int top, int width,
               int height) {
  T* control = new T(form);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// The wait cursor while long work runs, and the cursor from before it afterwards.
class HourGlass {
public:
  HourGlass() : previous_(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
  ~HourGlass() { Screen->SetCursor(previous_); }
  HourGlass(const HourGlass&) = delete;
  HourGlass& operator=(const HourGlass&) = delete;

private:
  TCursor previous_;
};
