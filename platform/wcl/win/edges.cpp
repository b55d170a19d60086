#include "platform/wcl/win/edges.h"

#include "platform/rtl/win/windows_api.h"
#include <mmsystem.h>
#include <shellapi.h>

#include "platform/wcl/win/built_in_texts.h"

namespace {

const char* OrNull(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }

int SystemMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return MessageBoxW(GetActiveWindow(), ShownText(text).c_str(), ShownText(caption).c_str(), flags);
}

void SystemMessageBeep(unsigned type) { MessageBeep(type); }

bool SystemShellExecute(const std::string& verb, const std::string& file, const std::string& params,
                        const std::string& directory, int show) {
  // Values above 32 mean success.
  auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, OrNull(verb), file.c_str(), OrNull(params), OrNull(directory), show));
  return result > 32;
}

unsigned long SystemMciCommand(unsigned device, unsigned command, uintptr_t flags, uintptr_t params) {
  return mciSendCommandA(device, command, flags, params);
}

TScreenSize SystemScreenSize() { return TScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

TMessageBoxEdge messageBoxEdge = SystemMessageBox;
TMessageBeepEdge messageBeepEdge = SystemMessageBeep;
TShellExecuteEdge shellExecuteEdge = SystemShellExecute;
TMciCommandEdge mciCommandEdge = SystemMciCommand;
TScreenSizeEdge screenSizeEdge = SystemScreenSize;

// Installs edge (or the system's own for nullptr) in slot and returns the one replaced.
template <typename Edge>
Edge Swap(Edge& slot, Edge edge, Edge system) {
  Edge old = slot;
  slot = edge != nullptr ? edge : system;
  return old;
}

}  // namespace

int EdgeMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return messageBoxEdge(text, caption, flags);
}

void EdgeMessageBeep(unsigned type) { messageBeepEdge(type); }

bool EdgeShellExecute(const std::string& verb, const std::string& file, const std::string& params,
                      const std::string& directory, int show) {
  return shellExecuteEdge(verb, file, params, directory, show);
}

unsigned long EdgeMciCommand(unsigned device, unsigned command, uintptr_t flags, uintptr_t params) {
  return mciCommandEdge(device, command, flags, params);
}

TScreenSize EdgeScreenSize() { return screenSizeEdge(); }

TMessageBoxEdge SetMessageBoxEdge(TMessageBoxEdge edge) { return Swap(messageBoxEdge, edge, &SystemMessageBox); }

TMessageBeepEdge SetMessageBeepEdge(TMessageBeepEdge edge) { return Swap(messageBeepEdge, edge, &SystemMessageBeep); }

TShellExecuteEdge SetShellExecuteEdge(TShellExecuteEdge edge) {
  return Swap(shellExecuteEdge, edge, &SystemShellExecute);
}

TMciCommandEdge SetMciCommandEdge(TMciCommandEdge edge) {
  return Swap(mciCommandEdge, edge, &SystemMciCommand);
}

TScreenSizeEdge SetScreenSizeEdge(TScreenSizeEdge edge) { return Swap(screenSizeEdge, edge, &SystemScreenSize); }
