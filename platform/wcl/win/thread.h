#pragma once
// TThread: a worker thread running Execute. Workers never touch windows: what must run on
// the window thread goes there through Synchronize (run and wait) or Queue (run later),
// carried by a message to the application window. A window thread waiting for a worker in
// WaitFor keeps running the worker's calls, so a worker blocked in Synchronize cannot
// deadlock it.
//
// A class derived from TThread stops its thread (Terminate, WaitFor) in its own destructor
// when Execute uses the derived class's members.

// Windows comes in through the library's handle header (see there).
#include "platform/wcl/win/handles.h"

#include <atomic>
#include <exception>
#include <functional>

#include "platform/rtl/persistent.h"

class TThread : public TObject {
public:
  // The thread starts with Start.
  TThread();
  // Asks a running thread to end and waits for it.
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts the thread; a started thread is left as it is.
  void Start();
  void Resume() { Start(); }
  // Asks Execute to end; Execute checks Terminated.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Waits until Execute has ended (and OnTerminate has run); answers ReturnValue.
  int WaitFor();
  bool Finished() const { return finished_; }
  DWORD ThreadID() const { return threadId_; }

  // The thread deletes itself, on the window thread, once it has ended.
  bool FreeOnTerminate() const { return freeOnTerminate_; }
  void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
  // The exception that ended Execute, if one did.
  std::exception_ptr FatalException() const { return fatalException_; }

  // Runs call on the window thread and waits for it; an exception it raises comes back
  // here. On the window thread itself the call runs at once.
  void Synchronize(std::function<void()> call);
  // Runs call on the window thread later, without waiting; an exception it raises goes to
  // the application's handler.
  void Queue(std::function<void()> call);

  // Runs on the window thread after Execute has ended.
  TNotifyEvent OnTerminate;

protected:
  virtual void Execute() = 0;
  int ReturnValue() const { return returnValue_; }
  void SetReturnValue(int value) { returnValue_ = value; }

private:
  static unsigned __stdcall ThreadProc(void* self);
  void Finish();

  UniqueKernelHandle handle_;
  DWORD threadId_ = 0;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  bool freeOnTerminate_ = false;
  int returnValue_ = 0;
  std::exception_ptr fatalException_;
};

// Runs the calls waiting for the window thread; answers true when there were any. Called
// by the application window and by WaitFor; does nothing on other threads.
bool CheckSynchronize();
