#pragma once
// A whole panel on the real path without a display: recording window and sound, a virtual
// clock, the real serial link on a pseudo-terminal whose other end is a peer function
// (the simulated receiver, or a script of the test's own).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/panel.h"
#include "link/serial_link.h"
#include "support/fake_clock.h"
#include "support/fake_speech.h"
#include "support/recording_braille.h"
#include "support/recording_sound.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"

namespace voskel::testing {

// Gets what the panel wrote since the last call and the virtual time; returns the answer.
using Peer = std::function<std::string(std::string_view fromPanel, std::int64_t nowMs)>;

struct HarnessOptions {
  bool writeConfig = true;
  int voiceSwitch = 1;
  int debugSwitch = 0;
  bool connectPort = true;             // false: com1 leads nowhere, as with no receiver cabled
  platform::Speech* speech = nullptr;  // a synthesizer of the test's own; else the fake
  platform::Braille* braille = nullptr;  // a display of the test's own; else the recording
  // How the panel reaches speech-dispatcher; none: it cannot, as in a build without it.
  std::function<std::unique_ptr<platform::SpeechServer>(std::string& why)> openSpeechServer{};
};

class PanelHarness {
 public:
  explicit PanelHarness(HarnessOptions options = {});
  ~PanelHarness();
  PanelHarness(const PanelHarness&) = delete;
  PanelHarness& operator=(const PanelHarness&) = delete;

  // Start-up up to the running timer; false when the configuration was missing.
  bool Begin();
  // Key down and key up of one key, queued as the window would deliver them.
  void Press(int key);
  // Presses the keys of a text: digits, letters, '.' as the full-stop key, '\r' as Enter.
  void Type(std::string_view keys);
  // Timer ticks, each 100 ms of virtual time, the peer answering in between.
  void Tick(int count = 1);
  // Ticks until the key queue is empty and the poll cycle is back at its start.
  void Settle(int maxTicks = 2000);
  // Close request, then the shutdown; returns the exit code.
  int Close();
  // Shutdown after a run that ended by itself (Q, "rnc").
  int Finish();
  // The panel dies where it stands (kill -9, a power cut), without its shutdown, and a new
  // one starts in the same folder on the same line; false when it could not begin.
  bool Restart();

  // Everything the panel sent on the line so far.
  const std::string& Wire() {
    Pump();
    return wire_;
  }
  // The commands sent, without their CR, in order (resume bytes appear as "\x1e").
  std::vector<std::string> Commands();
  // The same without the level polls ("LM").
  std::vector<std::string> CommandsWithoutPolls();
  void ClearWire() {
    Pump();
    wire_.clear();
  }
  // The receiver's end goes away, as when its cable is pulled.
  void Unplug();
  // A receiver on a new device behind the same com1 link, as when the cable is plugged
  // back in (the adapter comes back under another name).
  void Replug();
  // Bytes written to the panel's end as if the receiver had sent them.
  void Inject(std::string_view bytes);
  // Reads the whole of a file in the working directory; empty when it is missing.
  std::string ReadFile(const std::string& name) const;
  void WriteFile(const std::string& name, std::string_view contents) const;
  bool FileExists(const std::string& name) const;

  const std::filesystem::path& dir() const { return dir_; }
  PanelState& state() { return panel->state; }

  FakeClock clock;
  RecordingWindow window;
  RecordingSound sound{&clock};
  FakeSpeech speech;
  RecordingBraille braille;
  RecordingTranscript transcript;
  Peer peer;
  std::unique_ptr<SerialLink> ports;
  std::unique_ptr<Panel> panel;

 private:
  class CountingPorts;
  void Pump();
  void MakePanel();

  HarnessOptions options_;

  TempDir temp_{"voskel-test"};
  std::filesystem::path dir_;
  int master_ = -1;
  std::string wire_;
  std::int64_t sentByPanel_ = 0;
  std::int64_t seenOnWire_ = 0;
  std::unique_ptr<CountingPorts> counting_;
};

// The keys of a text as key codes ('.' as the full-stop key, '\r' as Enter).
std::vector<int> KeysOf(std::string_view text);

// For a receiver played by a script: the empty line with which a receiver takes every
// command the panel sent, except those the script answers itself (by their two letters).
std::string TakenAnswers(std::string_view fromPanel, std::vector<std::string_view> scripted);

}  // namespace voskel::testing
