#include "app/win/tracker_context.h"

#include "app/win/main_form.h"
#include "app/win/options_form.h"

void ConnectTrackerWindows(TrackerContext& context, TformHourlark& main, TformOptions& options) {
  main.SetOptionsForm(&options);
  main.SetContext(&context);
  context.LabelCharset = [&main] { return main.btStart->Font()->Charset(); };
  options.SetContext(&context);
  options.OnApplied = [&main](TObject*) { main.UpdateTrayIcons(); };
}
