#include "platform/rtl/persistent.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"

std::string TObject::RegisteredNameOr(const char* fallback) const {
  if (const ClassInfo* info = GetClassInfo()) return info->Name;
  return fallback;
}

std::string TObject::ClassName() const { return RegisteredNameOr("TObject"); }

std::string TPersistent::ClassName() const { return RegisteredNameOr("TPersistent"); }

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
