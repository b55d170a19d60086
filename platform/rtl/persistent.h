#pragma once
// TObject, the root of the runtime's classes, and TPersistent, the root of every object that
// can be assigned from another and whose published properties can be reached by name.

#include <functional>
#include <string>

class TObject {
public:
  virtual ~TObject() = default;
  // The class name used in stored sections and by the property registry ("TStringList").
  virtual std::string ClassName() const { return "TObject"; }
};

// The plain event: the first argument is always the sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
public:
  std::string ClassName() const override { return "TPersistent"; }
  // Copies the state of source into this object; raises EConvertError when the classes
  // cannot be assigned to each other.
  virtual void Assign(TPersistent* source);

protected:
  virtual void AssignTo(TPersistent* dest);
};
