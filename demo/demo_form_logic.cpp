#include "demo/demo_form_logic.h"

#include "platform/rtl/sysutils.h"

TDemoPageState DemoPageState(const std::vector<std::string>& names, int index) {
  TDemoPageState state;
  const int count = static_cast<int>(names.size());
  if (index >= 0 && index < count) {
    const std::string& name = names[static_cast<size_t>(index)];
    if (StrToIntDef(name, -1) >= 1) state.Counter = name + "/" + names.back();
  }
  state.PrevEnabled = index > 0;
  state.NextEnabled = index < count - 1;
  return state;
}
