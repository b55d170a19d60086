#include "kit/cat_edit97_logic.h"

int FlatEditHeightFor(int charHeight) { return charHeight + 2 * kFlatEditFrame; }

int PlainEditHeightFor(int charHeight, bool ctl3D) { return charHeight + (ctl3D ? 8 : 6); }

std::string CatEditRegistryKey(const std::string& iniFile, const std::string& iniSection) {
  if (iniSection.empty()) return iniFile;
  return iniFile + "\\" + iniSection;
}

bool CatEditHasStore(bool useRegistry, const std::string& iniFile, const std::string& iniSection) {
  if (useRegistry) return !CatEditRegistryKey(iniFile, iniSection).empty();
  return !iniFile.empty();
}
