// A bank file loaded by the panel and saved again: what is saved loads as the same bank
// and saves as the same file.
#include <cstdint>
#include <fstream>
#include <string>

#include "banks/bank_file.h"
#include "fuzz/invariant.h"
#include "link/serial_link.h"
#include "support/fake_clock.h"
#include "support/fake_speech.h"
#include "support/recording_sound.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace voskel;
  using fuzz::Require;
  const testing::TempDir dir("voskel-fuzz");
  testing::FakeClock clock;
  testing::RecordingWindow window;
  testing::RecordingSound sound(&clock);
  testing::FakeSpeech speech;
  SerialLink ports(dir.Path());
  Panel panel(window, sound, speech, ports, clock, dir.Path());
  panel.state.BankFileName = "bank01.dat";
  std::ofstream(dir.Path() / "bank01.dat", std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  Require(LoadBank(panel), "the bank loads");
  const Bank loaded = panel.state.Bank;
  Require(SaveBank(panel), "the bank saves");
  const std::string saved = testing::ReadWholeFile(dir.Path() / "bank01.dat");
  Require(saved == BankFileText(loaded), "the file holds the bank's lines up to its end");
  LoadBank(panel);
  Require(panel.state.Bank == loaded, "the saved bank loads the same");
  Require(SaveBank(panel) && testing::ReadWholeFile(dir.Path() / "bank01.dat") == saved,
          "and saves the same");
  return 0;
}
