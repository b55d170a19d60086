#pragma once
// TStrings, the abstract list of text lines with an object slot per line, and TStringList,
// the list kept in memory (optionally sorted). Controls can back a TStrings by their own
// items by overriding its core operations.

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/persistent.h"

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
public:
  std::string ClassName() const override { return "TStrings"; }

  int Count() const { return GetCount(); }
  std::string Strings(int index) const { return Get(index); }
  void SetStrings(int index, const std::string& s) { Put(index, s); }
  TObject* Objects(int index) const { return GetObject(index); }
  void SetObjects(int index, TObject* object) { PutObject(index, object); }

  virtual int Add(const std::string& s);
  virtual int AddObject(const std::string& s, TObject* object);
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void InsertObject(int index, const std::string& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);
  virtual int IndexOf(const std::string& s) const;
  void AddStrings(TStrings* strings);
  // Same count and the same lines, compared exactly; objects are not compared.
  bool Equals(TStrings* strings) const;

  // Name=Value lines: the name is the text before the first "=", matched without regard to
  // case; a line without "=" has no name and no value.
  std::string Names(int index) const;
  std::string Values(const std::string& name) const;
  // Replaces the value of the first line with that name, adds a line when there is none;
  // an empty value deletes the line.
  void SetValues(const std::string& name, const std::string& value);
  std::string ValueFromIndex(int index) const;
  int IndexOfName(const std::string& name) const;

  // Every line followed by CR LF. Setting splits at CR LF, CR or LF; a line break at the
  // very end does not add an empty line.
  std::string Text() const { return GetTextStr(); }
  // Calls visit with every line in order; a list that keeps its lines hands them over
  // without copying them.
  virtual void VisitStrings(const std::function<void(const std::string&)>& visit) const;
  void SetText(const std::string& text) { SetTextStr(text); }

  // Nested; a list that reports changes does so once, at the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();

  // Copies the lines and objects of any TStrings; other sources raise as TPersistent does.
  void Assign(TPersistent* source) override;
  // The string-list role seen by the walks by name: the whole Text.
  bool GetAsText(std::string& text) const override;
  bool SetAsText(const std::string& text) override;

  // Bytes as they are, split into lines as SetText does.
  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(TStream& stream);
  // Writes Text(); the file is replaced atomically.
  virtual void SaveToFile(const std::string& fileName) const;
  void SaveToStream(TStream& stream) const;

protected:
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& s);
  virtual TObject* GetObject(int index) const { return nullptr; }
  virtual void PutObject(int index, TObject* object) {}
  virtual int GetCount() const = 0;
  virtual std::string GetTextStr() const;
  virtual void SetTextStr(const std::string& text);
  // Called with true by the outermost BeginUpdate and with false by the outermost EndUpdate.
  virtual void SetUpdateState(bool updating) {}
  // How IndexOf compares lines: the user's locale, without regard to case.
  virtual int CompareStrings(const std::string& a, const std::string& b) const;

  int UpdateCount() const { return updateCount_; }
  // Raises EStringListError("List index out of bounds (N)").
  [[noreturn]] static void IndexError(int index);

private:
  int updateCount_ = 0;
};

class TStringList : public TStrings {
public:
  using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

  std::string ClassName() const override { return "TStringList"; }

  int Add(const std::string& s) override;
  int AddObject(const std::string& s, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void InsertObject(int index, const std::string& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;
  int IndexOf(const std::string& s) const override;
  void VisitStrings(const std::function<void(const std::string&)>& visit) const override;
  // The same bytes as the text, written a megabyte at a time rather than joined first.
  void SaveToFile(const std::string& fileName) const override;

  // Binary search of a sorted list: true when s is present; index receives the first equal
  // line, or the place where s would be inserted.
  bool Find(const std::string& s, int& index) const;
  void Sort();
  // Stable sort by compare (< 0, 0, > 0). Does nothing on a sorted list.
  void CustomSort(const TStringListSortCompare& compare);

  bool Sorted() const { return sorted_; }
  // Switching on sorts the lines at once.
  void SetSorted(bool sorted);
  // Applies to Add on a sorted list only; changing it does not re-check existing lines.
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  // Off: the user's locale without regard to case; on: with case. A sorted list re-sorts.
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);
  int Capacity() const { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int capacity);

  // OnChanging fires before lines change, OnChange after; inside BeginUpdate/EndUpdate each
  // fires once for the whole batch, and only when something changed.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  int GetCount() const override { return static_cast<int>(items_.size()); }
  void SetUpdateState(bool updating) override;
  int CompareStrings(const std::string& a, const std::string& b) const override;
  void SetTextStr(const std::string& text) override;

  virtual void Changing();
  virtual void Changed();

private:
  struct Item {
    std::string text;
    TObject* object;
  };

  void CheckIndex(int index) const;
  void CheckUnsorted() const;
  void InsertItem(int index, const std::string& s, TObject* object);

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool changingSent_ = false;   // OnChanging already fired in this update batch
  bool changePending_ = false;  // something changed in this update batch
};
