#pragma once
// TStrHolder: a non-visual component that owns one string list, so that a form can keep a
// working list (sorted or not, with its duplicate rule) as one of its components. The lines
// can also travel as one stored value, "StrData", optionally scrambled with a key.

#include <memory>
#include <string>

#include "platform/rtl/component.h"
#include "platform/rtl/string_list.h"

class TStream;

// Every byte of text XOR-ed with the key, the key cycled from its first byte. The result has
// the length of text and may hold any byte, NUL included. An empty key or text gives text
// back; applying it twice with the same key gives the input back.
std::string XorWithKey(const std::string& key, const std::string& text);

class TStrHolder : public TComponent {
  HL_REFLECTABLE
public:
  // The most lines a stored "StrData" value may carry.
  static constexpr int MaxStoredLines = 65536;

  explicit TStrHolder(TComponent* owner);
  ~TStrHolder() override;

  int Capacity() const { return strings_->Capacity(); }
  void SetCapacity(int value) { strings_->SetCapacity(value); }
  // Changing it does not re-check the lines already held.
  TDuplicates Duplicates() const { return strings_->Duplicates(); }
  void SetDuplicates(TDuplicates value) { strings_->SetDuplicates(value); }
  // Empty: the stored lines are plain.
  const std::string& KeyString() const { return keyString_; }
  void SetKeyString(const std::string& value) { keyString_ = value; }
  // Switching it on sorts the lines at once.
  bool Sorted() const { return strings_->Sorted(); }
  void SetSorted(bool value) { strings_->SetSorted(value); }
  // The held list itself; setting copies the given lines into it.
  TStringList* Strings() const { return strings_.get(); }
  void SetStrings(TStrings* value) { strings_->Assign(value); }

  // Fired after and before the held lines change (not while stored lines are being read).
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // From a TStrings or another holder: a copy of the lines (a holder's key is not copied).
  void Assign(TPersistent* source) override;

  // "StrData": whether there is anything to store (at least one line, or a key).
  bool HasStrData() const;
  // Writes the list value: list begin, the key, each line scrambled with the key, list end.
  void WriteStrData(TStream& stream) const;
  // Reads a value written by WriteStrData: the first string becomes the key, the lines are
  // replaced by the others, unscrambled (a sorted holder sorts them and applies its duplicate
  // rule). Every length and the line count are checked against what the stream really holds
  // and against MaxStoredLines; a short, over-long or malformed value raises EReadError and
  // leaves the holder as it was.
  void ReadStrData(TStream& stream);

protected:
  void AssignTo(TPersistent* dest) override;
  // Fire OnChange and OnChanging with the holder as sender.
  virtual void Changed();
  virtual void Changing();

private:
  std::unique_ptr<TStringList> strings_;
  std::string keyString_;
  bool reading_ = false;  // stored lines are being read: no events
};
