#pragma once
// TCatEdit97: a one-line edit that can keep its text in the registry or an INI file, and
// that can look flat.
//
// With Active set, the text is loaded when the form is loaded and, when the user changed it,
// saved when the form that owns the edit is destroyed. The value is named after the edit
// (its Name), below the key IniFile\IniSection of the current user (UseRegistry) or in
// section IniSection of the INI file IniFile.
//
// With Style97 (the default) the edit has no border of its own: a 3-pixel frame drawn in the
// non-client area shows flat, and sunken while the edit has the focus or the mouse is over
// it. Its height then follows its font.

#include "platform/wcl/win/edit_controls.h"

#include <string>

class TCatEdit97 : public TEdit {
  HL_REFLECTABLE
public:
  explicit TCatEdit97(TComponent* owner);
  // Saves the text when Active, changed, and the owning form is being destroyed. Errors of
  // the store are swallowed then: the form goes all the same.
  ~TCatEdit97() override;

  // Load on form load, save on form destruction.
  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  // The registry key path (with UseRegistry) or the INI file name.
  const std::string& IniFile() const { return iniFile_; }
  void SetIniFile(const std::string& value) { iniFile_ = value; }
  // The subkey below IniFile, or the INI section.
  const std::string& IniSection() const { return iniSection_; }
  void SetIniSection(const std::string& value) { iniSection_ = value; }
  // The text shown when nothing is stored.
  const std::string& TextDefault() const { return textDefault_; }
  void SetTextDefault(const std::string& value) { textDefault_ = value; }
  // The flat look; switching it off gives the ordinary sunken border and a height of 21.
  bool Style97() const { return style97_; }
  void SetStyle97(bool value);
  // The registry (the default) instead of an INI file.
  bool UseRegistry() const { return useRegistry_; }
  void SetUseRegistry(bool value) { useRegistry_ = value; }
  // The ordinary look's automatic size and 3-D border; switching the look sets both to the
  // opposite of Style97. With AutoSize and the ordinary look the height follows the font
  // (its character height plus the border, 8 pixels with the 3-D border, 6 with the plain
  // one); without Ctl3D the ordinary border is a flat line.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);

  // A text other than the current one marks the edit modified; the same text changes
  // nothing.
  void SetText(const std::string& value);

  // Shows the stored text (TextDefault when there is none) and leaves the edit unmodified.
  // Raises the store's error for a value that cannot be read as text.
  void LoadText();
  // Stores the text and clears the modified mark. Raises the store's error when the text
  // cannot be written.
  void SaveText();

  // True while the flat frame shows sunken: the edit has the focus or the mouse is over it.
  bool FrameHot() const;

  void Loaded() override;
  void WndProc(TMessage& msg) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void FontChanged() override;
  void EnabledChanged() override;
  void MouseEnter() override;
  void MouseLeave() override;

private:
  // The height for the current font: always with the flat look, with AutoSize otherwise.
  void AdjustHeight();
  // Draws the flat frame, clipped to region (screen coordinates), or whole for nullptr.
  void PaintFrame(HRGN region);
  void RedrawFrame();
  // True when the owner is a form that is being destroyed.
  bool OwnerFormDestroying() const;

  bool active_ = false;
  std::string iniSection_;
  std::string iniFile_;
  std::string textDefault_;
  bool style97_ = false;
  bool autoSize_ = true;
  bool ctl3D_ = true;
  bool useRegistry_ = true;
  bool mouseOver_ = false;
  bool focused_ = false;
};
