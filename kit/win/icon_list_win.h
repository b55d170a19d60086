#pragma once
// TIconList: an ordered list of icons that owns copies of what it is given, announces every
// change through OnChange (once per outermost update), and reads and writes its stored form
// "Icons" (see kit/icon_list.h). An entry may be empty (no icon object): such entries come
// only from the stored form and stay empty until something is put there.

// Windows comes in through the library's handle header.
#include "platform/wcl/win/handles.h"

#include <memory>
#include <vector>

#include "platform/rtl/persistent.h"

class TIcon;
class TStream;

class TIconList : public TPersistent {
public:
  TIconList();
  // No notification runs during teardown.
  ~TIconList() override;
  TIconList(const TIconList&) = delete;
  TIconList& operator=(const TIconList&) = delete;
  std::string ClassName() const override { return "TIconList"; }

  // nullptr clears the list; an icon list or an icon replaces the entries by copies, with
  // one notification; assigning the list to itself changes nothing. Any other class raises
  // EConvertError.
  void Assign(TPersistent* source) override;

  // The icon at index, nullptr for an empty entry. EListError outside 0..Count-1.
  TIcon* Get(int index) const;
  // Number of entries, empty ones included.
  int Count() const { return static_cast<int>(items_.size()); }
  // Makes the entry at index a copy of icon (an empty icon for nullptr); index Count appends.
  // One notification, also when EListError (index beyond Count) escapes.
  void Put(int index, TIcon* icon);

  // Appends (or inserts before index 0..Count) a copy of icon; returns the new index.
  int Add(TIcon* icon);
  void Insert(int index, TIcon* icon);
  // The same with the icon of a resource (LoadIconA's sizes). EResNotFound when the module
  // has no such icon; the list is then unchanged.
  int AddResource(HINSTANCE instance, const char* resourceName);
  void InsertResource(int index, HINSTANCE instance, const char* resourceName);

  // Deletes every entry, with one notification (also for an empty list).
  void Clear();
  void Delete(int index);
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  // Position of that very icon object (the list holds copies: only icons obtained from the
  // list are found); -1 when absent.
  int IndexOf(const TIcon* icon) const;

  // Notifications are held back between BeginUpdate and the matching EndUpdate; the
  // outermost EndUpdate notifies once, whether anything changed or not.
  void BeginUpdate();
  void EndUpdate();

  // The stored form "Icons": count, then each entry's size and icon file.
  void WriteData(TStream& stream) const;
  // Replaces the entries by those stored, with one notification at the end, also when an
  // error escapes (EReadError for damaged data; entries read before it stay).
  void ReadData(TStream& stream);

  TNotifyEvent OnChange;

protected:
  // Fires OnChange unless an update is open.
  virtual void Changed();

private:
  class TUpdate;
  // Appends icon (nullptr: an empty entry), taking ownership; returns its index.
  int AddIcon(std::unique_ptr<TIcon> icon);
  // Inserts icon (not nullptr) before index 0..Count, taking ownership.
  void InsertIcon(int index, std::unique_ptr<TIcon> icon);
  void Hook(TIcon* icon);
  void CheckIndex(int index, int last) const;

  std::vector<std::unique_ptr<TIcon>> items_;
  int updateCount_ = 0;
};
