#include "app/win/global_form.h"

#include <shellapi.h>

#include <climits>

#include "app/win/options_pictures.h"
#include "kit/str_holder.h"
#include "lang/win/lang_collector.h"
#include "lang/win/lingrove_lang.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/screen.h"
#include "platform/wcl/win/thread.h"

TformGlobal* formGlobal = nullptr;

namespace {

TLangFormRegistrar registrar("TformGlobal", [](TComponent* owner) { return new TformGlobal(owner); });

}  // namespace

// The worker of one load. It reads only its own copy of the task list and the holder's
// gathered set, which nothing else touches while it runs; publishing happens on the window
// thread, while the worker waits.
class TLoadIcons : public TThread {
public:
  TLoadIcons(TformGlobal& holder, std::vector<std::string> taskLines, TaskIconSource& source)
      : holder_(holder), taskLines_(std::move(taskLines)), source_(source) {}
  ~TLoadIcons() override {
    Terminate();
    WaitFor();
  }

protected:
  void Execute() override {
    const bool complete =
        CollectTaskIcons(taskLines_, holder_.gathered_, source_, [this] { return Terminated(); });
    if (!complete) return;
    // A stop asked for while the worker waited here (the holder going away) publishes nothing.
    Synchronize([this] {
      if (!Terminated()) holder_.ApplyTaskIcons();
    });
  }

private:
  TformGlobal& holder_;
  const std::vector<std::string> taskLines_;
  TaskIconSource& source_;
};

// ---- The program files as icon source -------------------------------------------------

int TWinTaskIconSource::IconCount(const std::string& path) {
  // A file that cannot be opened answers all bits set: it has no icons to give.
  const UINT count = ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0);
  return count == UINT_MAX || count > INT_MAX ? 0 : static_cast<int>(count);
}

TaskIcon TWinTaskIconSource::SmallIcon(const std::string& path) {
  // Only the small icon is asked for: nothing is extracted that would then be left behind.
  HICON small = nullptr;
  if (ExtractIconExA(path.c_str(), 0, nullptr, &small, 1) == 0 || small == nullptr) return nullptr;
  auto icon = std::make_shared<TIcon>();
  icon->SetHandle(small);
  return icon;
}

// ---- The form ---------------------------------------------------------------------------

const ClassInfo* TformGlobal::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformGlobal>("TformGlobal", TForm::StaticClassInfo()).Build();
  return &ci;
}

TformGlobal::TformGlobal(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("formGlobal");
  OnCreate = [this](TObject* sender) { FormCreate(sender); };

  slIcons = new TStrHolder(this);
  slIcons->SetName("slIcons");
  slIcons->SetSorted(true);
  slIcons->SetDuplicates(dupIgnore);
  icons_ = std::make_unique<TImageList>(16, 16, cd32Bit);
  ilIcons = icons_.get();
  groups_ = std::make_unique<TImageList>(16, 16, cd32Bit);
  ilGroups = groups_.get();
  // The groups' pictures are there from the start, for the options and the statistics alike.
  FillGroupPictures(ilGroups);

  LingroveLang1 = new TLingroveLang(this);
  LingroveLang1->SetName("LingroveLang1");
  LoadedAll(this);
  DoCreate();
}

TformGlobal::~TformGlobal() {
  StopIconLoader();
  if (formGlobal == this) formGlobal = nullptr;
}

void TformGlobal::FormCreate(TObject*) { LingroveLang1->SetLangDir(ExtractFilePath(Application->ExeName())); }

void TformGlobal::StartIconLoader() {
  std::vector<std::string> lines;
  if (taskList_ != nullptr) {
    const TStrings& list = *taskList_->Strings();
    lines.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  }
  StartIconLoader(lines);
}

void TformGlobal::StartIconLoader(const std::vector<std::string>& taskLines) {
  StopIconLoader();
  static TWinTaskIconSource programFiles;
  loader_ = std::make_unique<TLoadIcons>(*this, taskLines, source_ != nullptr ? *source_ : programFiles);
  loader_->Start();
}

void TformGlobal::StopIconLoader() {
  if (!loader_) return;
  loader_->Terminate();
  loader_->WaitFor();
  loader_.reset();
}

bool TformGlobal::Loading() const { return loader_ && !loader_->Finished(); }

void TformGlobal::ClearIcons() {
  StopIconLoader();
  gathered_.Clear();
  slIcons->Strings()->Clear();
  ilIcons->Clear();
}

void TformGlobal::ApplyTaskIcons() {
  // The names and images go out together; an image the list refuses takes its name with
  // it, so that line i always names image i.
  TStringList names;
  ilIcons->Clear();
  for (int i = 0; i < gathered_.Count(); ++i) {
    if (ilIcons->AddIcon(TWinTaskIconSource::IconOf(gathered_.Icons()[i])) >= 0)
      names.Add(gathered_.Names().Strings(i));
  }
  slIcons->Strings()->Assign(&names);
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    auto* viewer = dynamic_cast<TTaskIconViewer*>(form);
    if (viewer == nullptr || !form->Visible()) continue;
    try {
      viewer->TaskIconsApplied();
    } catch (...) {
      // A window that cannot take the icons goes on without them.
    }
  }
}
