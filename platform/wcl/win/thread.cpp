#include "platform/wcl/win/thread.h"

#include <process.h>

#include <deque>
#include <memory>
#include <mutex>

#include "platform/rtl/exceptions.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/messages.h"

namespace {

// A call waiting for the window thread. A waiting caller sleeps on done.
struct ThreadCall {
  std::function<void()> call;
  const TThread* thread = nullptr;
  UniqueKernelHandle done;  // empty for queued calls nobody waits for
  std::exception_ptr error;
};

std::mutex g_callsMutex;
std::deque<std::shared_ptr<ThreadCall>> g_calls;

// Set whenever a call is added, so a window thread in WaitFor wakes up for it.
HANDLE CallsEvent() {
  static UniqueKernelHandle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  return event.get();
}

DWORD WindowThreadId() { return Application != nullptr ? Application->MainThreadId() : 0; }

void Post(std::shared_ptr<ThreadCall> call) {
  {
    std::lock_guard<std::mutex> lock(g_callsMutex);
    g_calls.push_back(std::move(call));
  }
  SetEvent(CallsEvent());
  if (Application != nullptr) PostMessageA(Application->Handle(), HLM_THREADCALL, 0, 0);
}

}  // namespace

bool CheckSynchronize() {
  if (GetCurrentThreadId() != WindowThreadId()) return false;
  bool ran = false;
  for (;;) {
    std::shared_ptr<ThreadCall> next;
    {
      std::lock_guard<std::mutex> lock(g_callsMutex);
      if (g_calls.empty()) break;
      next = std::move(g_calls.front());
      g_calls.pop_front();
    }
    ran = true;
    try {
      next->call();
    } catch (...) {
      if (next->done) next->error = std::current_exception();
      else ReportException(const_cast<TThread*>(next->thread));
    }
    if (next->done) SetEvent(next->done.get());
  }
  return ran;
}

TThread::TThread() = default;

TThread::~TThread() {
  if (handle_ && GetCurrentThreadId() != threadId_) {
    Terminate();
    WaitFor();
  }
  // Calls this thread queued and nobody ran yet would find it gone.
  std::lock_guard<std::mutex> lock(g_callsMutex);
  for (auto it = g_calls.begin(); it != g_calls.end();)
    it = (*it)->thread == this && !(*it)->done ? g_calls.erase(it) : it + 1;
}

void TThread::Start() {
  if (handle_) return;
  unsigned id = 0;
  handle_.reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TThread::ThreadProc, this, 0, &id)));
  if (!handle_) throw EOutOfResources("Cannot start a thread");
  threadId_ = id;
}

int TThread::WaitFor() {
  if (!handle_) return returnValue_;
  if (GetCurrentThreadId() == threadId_) throw EInvalidOperation("A thread cannot wait for itself");
  if (GetCurrentThreadId() == WindowThreadId()) {
    // The worker may be waiting for the window thread: its calls run here meanwhile.
    HANDLE waits[2] = {handle_.get(), CallsEvent()};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) CheckSynchronize();
    CheckSynchronize();
  } else {
    WaitForSingleObject(handle_.get(), INFINITE);
  }
  return returnValue_;
}

void TThread::Synchronize(std::function<void()> call) {
  if (GetCurrentThreadId() == WindowThreadId()) {
    call();
    return;
  }
  if (WindowThreadId() == 0) throw EInvalidOperation("There is no window thread to run the call");
  auto entry = std::make_shared<ThreadCall>();
  entry->call = std::move(call);
  entry->thread = this;
  entry->done.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!entry->done) throw EOutOfResources("Cannot make an event");
  Post(entry);
  WaitForSingleObject(entry->done.get(), INFINITE);
  if (entry->error) std::rethrow_exception(entry->error);
}

void TThread::Queue(std::function<void()> call) {
  if (GetCurrentThreadId() == WindowThreadId()) {
    call();
    return;
  }
  auto entry = std::make_shared<ThreadCall>();
  entry->call = std::move(call);
  entry->thread = this;
  Post(std::move(entry));
}

unsigned __stdcall TThread::ThreadProc(void* self) {
  auto* thread = static_cast<TThread*>(self);
  // Nothing may leave the thread's entry.
  try {
    thread->Execute();
  } catch (...) {
    thread->fatalException_ = std::current_exception();
  }
  thread->Finish();
  return 0;
}

// The end of the thread: OnTerminate on the window thread, then the self-deletion.
void TThread::Finish() {
  try {
    if (OnTerminate)
      Synchronize([this] {
        try {
          OnTerminate(this);
        } catch (...) {
          ReportException(this);
        }
      });
  } catch (...) {
  }
  const bool freeIt = freeOnTerminate_;
  finished_ = true;
  if (!freeIt) return;
  // Nobody else can look at the error of a thread that deletes itself.
  auto entry = std::make_shared<ThreadCall>();
  entry->call = [this] {
    if (fatalException_) {
      try {
        std::rethrow_exception(fatalException_);
      } catch (...) {
        ReportException(this);
      }
    }
    delete this;
  };
  entry->thread = nullptr;
  try {
    Post(std::move(entry));
  } catch (...) {
  }
}
