#include "platform/rtl/persistent.h"

#include "platform/rtl/exceptions.h"

void TPersistent::Assign(TPersistent* source) {
  if (source != nullptr) {
    source->AssignTo(this);
    return;
  }
  AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) {
  std::string from = "nil";
  if (dest != this) from = ClassName();
  throw EConvertError("Cannot assign a " + from + " to a " + dest->ClassName());
}
