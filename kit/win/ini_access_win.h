#pragma once
// The store routines that need the running program: the default store names, the screen
// size suffix of the current screen, a component's default section, and saving and
// restoring a form's window placement (the layout is in kit/form_placement.h).

#include "platform/wcl/win/form.h"

#include <string>

#include "kit/ini_access.h"

class TComponent;
class TObject;

// The executable's file name without folder, extension ".INI".
std::string DefaultIniFileName();
// "Software\" + the executable's file name without folder and extension.
std::string DefaultRegistryKey();

// Empty for none; a form's class name; a control's Name after its form's class name (or,
// on no form, its parent's Name); any other component's Name, as "FormClass.Name" when a
// form owns it.
std::string DefaultSectionName(TComponent* component);

// "(WIDTHxHEIGHT)" of the screen, through the replaceable screen size.
std::string ScreenSizeSuffix();
std::string ReadScreenKeyed(TObject* store, const std::string& section, const std::string& name);
void WriteScreenKeyed(TObject* store, const std::string& section, const std::string& name,
                      const std::string& value);

// Writes the form window's placement values into the store's section.
void SaveWindowPlacement(TCustomForm* form, TObject* store, const std::string& section);
// Reads them back: the position when restorePosition, the window state when restoreState.
// A hidden window is never shown by this.
void RestoreWindowPlacement(TCustomForm* form, TObject* store, const std::string& section,
                            bool restorePosition, bool restoreState);
