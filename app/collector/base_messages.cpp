#include "app/collector/base_messages.h"

std::vector<TLangMessageText> BaseMessageTexts() {
  return {
      {25, "Time tracking"},             // the tracking service
      {26, "Countdown"},                 // the countdown service
      {27, "Time is up!"},               // the countdown has run out
      {28, "Start"},
      {29, "Stop"},
      {30, "No countdown"},              // the countdown's status while none runs
      {31, "Today"},                     // label of the day's total
      {35, "Delete this entry?"},        // question before a name is deleted
      {100, "Version"},                  // About page: "Version: 2.02"
      {101, "Options"},                  // options dialog title
      {102, "Group"},                    // task list headers
      {103, "Program"},
      {104, "Description"},
      {146, "day"},                      // "1 day 02:30"
      {147, "days"},                     // "2 days 12:00"
      {148, "Total"},                    // first task's total
      {149, "Compared with"},            // second task's total and its share
      {150, "Statistics"},               // statistics window title
      {151, "Summing up the programs' times..."},
      {152, "Filling the list and the chart..."},
      {153, "Total"},                    // detail view's total
      {154, "Day: "},                    // a click on a bar of the day chart
      {155, "Time worked: "},
      {156, "Time: "},                   // a click on a slice of the pie
  };
}
