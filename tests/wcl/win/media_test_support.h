#pragma once
// Media player test support: a sound file made on the spot, and a stand-in for the media
// control interface that records each command a media player sends ("open <file>",
// "play", "stop", "close", "status") and answers success, or a chosen error code for
// opening; installed for the lifetime of the object.

#include "platform/rtl/win/windows_api.h"
#include <mmsystem.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/wcl/win/edges.h"

// Writes a mono 8-bit 8 kHz PCM wave file of a 440 Hz tone lasting ms milliseconds.
inline void WriteWaveFile(const std::string& fileName, int ms) {
  const uint32_t rate = 8000;
  const uint32_t samples = rate * static_cast<uint32_t>(ms) / 1000;
  std::string bytes;
  auto u32 = [&bytes](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto u16 = [&bytes](uint16_t v) {
    bytes.push_back(static_cast<char>(v & 0xFF));
    bytes.push_back(static_cast<char>(v >> 8));
  };
  bytes += "RIFF";
  u32(36 + samples);
  bytes += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(rate);
  u32(rate);  // bytes per second
  u16(1);     // block align
  u16(8);     // bits per sample
  bytes += "data";
  u32(samples);
  for (uint32_t i = 0; i < samples; ++i)
    bytes.push_back(static_cast<char>(128 + static_cast<int>(60 * std::sin(i * 2 * 3.14159265 * 440 / rate))));
  std::ofstream(fileName, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class MciRecorder {
public:
  MciRecorder() {
    Commands().clear();
    OpenError() = 0;
    previous_ = SetMciCommandEdge(&Record);
  }
  ~MciRecorder() { SetMciCommandEdge(previous_); }
  MciRecorder(const MciRecorder&) = delete;
  MciRecorder& operator=(const MciRecorder&) = delete;

  static std::vector<std::string>& Commands() {
    static std::vector<std::string> commands;
    return commands;
  }
  // The error code an open answers (0: opens as device 7).
  static unsigned long& OpenError() {
    static unsigned long error = 0;
    return error;
  }

private:
  static unsigned long Record(unsigned, unsigned command, uintptr_t, uintptr_t params) {
    switch (command) {
      case MCI_OPEN: {
        auto* open = reinterpret_cast<MCI_OPEN_PARMSA*>(params);
        Commands().push_back(std::string("open ") + open->lpstrElementName);
        if (OpenError() != 0) return OpenError();
        open->wDeviceID = 7;
        return 0;
      }
      case MCI_PLAY: Commands().push_back("play"); return 0;
      case MCI_STOP: Commands().push_back("stop"); return 0;
      case MCI_CLOSE: Commands().push_back("close"); return 0;
      case MCI_STATUS:
        Commands().push_back("status");
        reinterpret_cast<MCI_STATUS_PARMS*>(params)->dwReturn = MCI_MODE_STOP;
        return 0;
      default: Commands().push_back("other"); return 0;
    }
  }

  TMciCommandEdge previous_ = nullptr;
};
