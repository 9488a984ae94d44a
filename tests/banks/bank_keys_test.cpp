// The bank keys B, O, T, P, D, K and the arrows, pressed on a whole panel against bank
// files in the run's working directory, with the simulated receiver on the line.
#include "banks/bank_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "banks/bank_file.h"
#include "core/text.h"
#include "support/connected_panel.h"

namespace voskel {
namespace {

using Channels = std::vector<std::pair<std::string, std::string>>;
using Clips = std::vector<std::string>;

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

std::string Bank(const std::string& name, const std::string& mode, const Channels& channels,
                 bool endMarker = true) {
  std::vector<std::string> lines{name, mode, "12.5", " "};
  for (const auto& [frequency, tag] : channels) {
    lines.push_back(frequency);
    lines.push_back(tag);
  }
  if (endMarker) lines.push_back("9999");
  return Lines(lines);
}

Channels Numbered(int count, int firstMhz) {
  Channels channels;
  for (int i = 0; i < count; ++i)
    channels.push_back({std::to_string(firstMhz + i) + ".5", "t" + std::to_string(i)});
  return channels;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at));
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

class BankKeys : public testing::ConnectedPanel {
 protected:
  std::string Tag() { return h.window.TextAt(300, 370); }
  // The working directory's files (its port link aside) and what they hold.
  std::map<std::string, std::string> Files() {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(h.dir()))
      if (entry.is_regular_file())
        files[entry.path().filename()] = h.ReadFile(entry.path().filename());
    return files;
  }
};

constexpr int kUp = 38;
constexpr int kDown = 40;

TEST_F(BankKeys, SelectTunesTheFirstChannelAndTheArrowsGoRound) {
  h.WriteFile("bank01.dat",
              Bank("bank01", "AM", {{"118.1", "tower"}, {"119.25", "approach"}, {"121.5", " "}}));
  EXPECT_EQ(Keys("b01\r"), (Clips{"bank", "0", "1", "AM", "sel"}));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"VA0118.10000", "MD2", "ST012.50"}));
  EXPECT_EQ(h.state().BankState, BankState::kSelected);
  EXPECT_EQ(h.state().ChannelIndex, 4);
  EXPECT_EQ(Tag(), "tower");

  EXPECT_EQ(Press(kUp), Clips{"tag:approach"});
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0119.25000"});
  const auto* tag = h.window.LastPrintContaining("approach");
  ASSERT_NE(tag, nullptr);
  EXPECT_EQ(tag->x, 300);
  EXPECT_EQ(tag->y, 370);
  EXPECT_EQ(tag->colour, platform::kGreen);
  EXPECT_EQ(tag->font, (platform::Font{"Ariel", 30, 700}));
  EXPECT_EQ(Tag(), "approach") << "the longer tag before was blanked";

  Press(kUp);
  EXPECT_EQ(Press(kUp), (Clips{"beep", "tag:tower"})) << "from the last channel to the first";
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0118.10000"});
  EXPECT_EQ(Press(kDown), Clips{}) << "from the first channel to the last, whose tag is blank";
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0121.50000"});
  EXPECT_EQ(h.state().Frequency, "121.5");

  // Typing a frequency leaves the bank: the arrows step by a kilohertz again.
  Keys("145\r");
  Press(kUp);
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0145.00100"});
}

TEST_F(BankKeys, EmptyOrMissingBankNeverTunesTheEndMarker) {
  h.WriteFile("bank02.dat", Bank("bank02", "FM", {}));
  h.state().BankFileName = "bank02.dat";
  LoadBank(*h.panel);
  EXPECT_EQ(h.state().LastChannelIndex, 2);
  EXPECT_EQ(h.state().ChannelIndex, 2);

  EXPECT_EQ(Keys("b02\r"), (Clips{"bank", "0", "2", "empty"}));
  EXPECT_EQ(Sent(), std::vector<std::string>{});
  EXPECT_EQ(h.state().BankState, BankState::kNone);
  EXPECT_EQ(h.state().Frequency, "145.0");

  EXPECT_EQ(Keys("b09\r"), (Clips{"bank", "0", "9", "bnf"}));
  EXPECT_EQ(h.state().BankState, BankState::kNone);
  EXPECT_EQ(Sent(), std::vector<std::string>{});
  EXPECT_EQ(Press('K'), Clips{}) << "K needs a selected bank";
  EXPECT_EQ(h.state().EntryMode, EntryMode::kNone);
}

TEST_F(BankKeys, SortOrdersByValueAndDropsOnlyRepeats) {
  h.WriteFile(
      "bank03.dat",
      Bank("bank03", "FM", {{"146.0", "a"}, {"145.5", "b"}, {"145.50", "c"}, {"145.5", "d"}}));
  EXPECT_EQ(Keys("o03\r"), (Clips{"sort", "0", "3", "ok"}));
  EXPECT_EQ(
      h.ReadFile("bank03.dat"),
      Bank("bank03", "FM", {{"145.5", "b"}, {"145.50", "c"}, {"145.5", "d"}, {"146.0", "a"}}));

  // Of three (or four) equal neighbours every second one goes.
  h.WriteFile("bank04.dat", Bank("bank04", "FM",
                                 {{"150", "x"},
                                  {"140", "a"},
                                  {"140", "b"},
                                  {"140", "c"},
                                  {"150", "y"},
                                  {"150", "z"},
                                  {"150", "w"}}));
  EXPECT_EQ(Keys("o04\r").back(), "ok");
  EXPECT_EQ(h.ReadFile("bank04.dat"),
            Bank("bank04", "FM", {{"140", "a"}, {"140", "c"}, {"150", "x"}, {"150", "z"}}));

  EXPECT_EQ(Keys("o06\r"), (Clips{"sort", "0", "6", "bnf"}));
  EXPECT_FALSE(h.FileExists("bank06.dat"));
}

TEST_F(BankKeys, PutAddsTheFrequencyOnceAndCreatesMissingBanks) {
  const std::string held = Bank("bank07", "FM", {{"145.0", "home"}});
  h.WriteFile("bank07.dat", held);
  EXPECT_EQ(Keys("p07\r"), (Clips{"put", "0", "7", "ok"}));
  EXPECT_EQ(h.ReadFile("bank07.dat"), held);

  Keys("145.5\r");
  Keys("p07\r");
  EXPECT_EQ(h.ReadFile("bank07.dat"), Bank("bank07", "FM", {{"145.0", "home"}, {"145.5", " "}}));

  EXPECT_EQ(Keys("p08\r"), (Clips{"put", "0", "8", "bnf", "create", "0", "8", "ok"}));
  EXPECT_EQ(h.ReadFile("bank08.dat"), Bank("bank08", "FM", {{"145.5", " "}}));
  // Four digits: the last two name the bank.
  Keys("p1209\r");
  EXPECT_EQ(h.ReadFile("bank09.dat"), Bank("bank09", "FM", {{"145.5", " "}}));
}

TEST_F(BankKeys, TransferMergesNewChannelsAndRefusesAnotherMode) {
  h.WriteFile("bank00.dat", Bank("Srchbank", "FM", {{"145.6", " "}, {"145.7", " "}}));
  EXPECT_EQ(Keys("t10\r"), (Clips{"transfer", "1", "0", "bnf", "create", "1", "0", "ok"}));
  EXPECT_EQ(h.ReadFile("bank10.dat"), Bank("bank10", "FM", {{"145.6", " "}, {"145.7", " "}}));

  h.WriteFile("bank11.dat", Bank("bank11", "FM", {{"145.7", "dup"}, {"145.8", "new"}}));
  EXPECT_EQ(Keys("t1110\r"), (Clips{"transfer", "1", "1", "1", "0", "ok"}));
  EXPECT_EQ(h.ReadFile("bank10.dat"),
            Bank("bank10", "FM", {{"145.6", " "}, {"145.7", " "}, {"145.8", "new"}}));

  const std::string am = Bank("bank12", "AM", {{"118.1", "tower"}});
  h.WriteFile("bank12.dat", am);
  EXPECT_EQ(Keys("t1112\r").back(), "incmode");
  EXPECT_EQ(h.ReadFile("bank12.dat"), am);
  EXPECT_EQ(Keys("p12\r").back(), "incmode");
  EXPECT_EQ(h.ReadFile("bank12.dat"), am);

  // The empty search list ends on line 2; the new bank still gets a whole header.
  h.WriteFile("bank00.dat", "Srchbank\r\nFM\r\n9999\r\n");
  EXPECT_EQ(Keys("t13\r").back(), "ok");
  EXPECT_EQ(h.ReadFile("bank13.dat"), Bank("bank13", "FM", {}));
  EXPECT_EQ(Keys("p13\r").back(), "ok");
  EXPECT_EQ(h.ReadFile("bank13.dat"), Bank("bank13", "FM", {{"145.0", " "}}));
}

TEST_F(BankKeys, WrongLengthsAndDeletingBanks) {
  EXPECT_EQ(Keys("d7\r"), (Clips{"delete", "7", "inv"}));
  EXPECT_EQ(Keys("d.5\r"), (Clips{"delete", "point", "5", "inv"}));
  EXPECT_EQ(Keys("t123\r"), (Clips{"transfer", "1", "2", "3", "inv"}));
  EXPECT_EQ(h.state().EntryMode, EntryMode::kNone);
  EXPECT_EQ(Keys("b\r"), (Clips{"bank", "inv"}));

  EXPECT_EQ(Keys("d20\r"), (Clips{"delete", "2", "0", "ok"})) << "no such file";
  // A deleted bank is put aside under the time of its deletion; a second one deleted in the
  // same second never takes the first one's place.
  const std::string first = Bank("bank21", "FM", {{"145.0", " "}});
  const std::string second = Bank("bank21", "AM", {{"118.1", " "}});
  for (const std::string& bank : {first, second}) {
    h.WriteFile("bank21.dat", bank);
    EXPECT_EQ(Keys("d21\r").back(), "ok");
    EXPECT_FALSE(h.FileExists("bank21.dat"));
  }
  EXPECT_EQ(h.ReadFile("deleted/bank21-2026-12-05-19-27-34.dat"), first);
  EXPECT_EQ(h.ReadFile("deleted/bank21-2026-12-05-19-27-34-2.dat"), second);
  std::filesystem::create_directory(h.dir() / "bank22.dat");
  EXPECT_EQ(Keys("d22\r").back(), "inv");
  EXPECT_TRUE(std::filesystem::is_directory(h.dir() / "bank22.dat"));
  // Where the bank cannot be put aside, it stays.
  std::filesystem::rename(h.dir() / "deleted", h.dir() / "elsewhere");
  h.WriteFile("deleted", "a file, not a folder");
  h.WriteFile("bank24.dat", first);
  EXPECT_EQ(Keys("d24\r").back(), "inv");
  EXPECT_EQ(h.ReadFile("bank24.dat"), first);

  // D only starts from no pending entry: here it is ignored and B's entry goes on.
  h.WriteFile("bank23.dat", Bank("bank23", "FM", {{"145.0", " "}}));
  EXPECT_EQ(Keys("b2d3\r"), (Clips{"bank", "2", "3", "FM", "sel"}));
}

TEST_F(BankKeys, KillRemovesTheChannelAndTunesTheNext) {
  h.WriteFile("bank30.dat", Bank("bank30", "FM", {{"145.1", "a"}, {"145.2", "b"}, {"145.3", "c"}}));
  Keys("b30\r");
  Press(kUp);
  EXPECT_EQ(Keys("k\r"), (Clips{"kill", "ok"}));
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0145.30000"});
  EXPECT_EQ(Tag(), "c");
  EXPECT_EQ(h.ReadFile("bank30.dat"), Bank("bank30", "FM", {{"145.1", "a"}, {"145.3", "c"}}));

  // The last channel goes: the first one follows; Down from it reaches the new last one.
  EXPECT_EQ(Keys("k\r"), (Clips{"kill", "ok"}));
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0145.10000"});
  EXPECT_EQ(h.ReadFile("bank30.dat"), Bank("bank30", "FM", {{"145.1", "a"}}));
  EXPECT_EQ(Press(kDown), (Clips{"beep", "tag:a"}));
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0145.10000"});

  // The only channel goes: the receiver stays and the bank is told empty.
  EXPECT_EQ(Keys("k\r"), (Clips{"kill", "ok", "empty"}));
  EXPECT_EQ(Sent(), std::vector<std::string>{});
  EXPECT_EQ(h.ReadFile("bank30.dat"), Bank("bank30", "FM", {}));
  EXPECT_EQ(h.state().BankState, BankState::kNone);
}

TEST_F(BankKeys, KillInABankOfMoreThanNinetyOneChannelsMovesThemAll) {
  h.WriteFile("bank31.dat", Bank("bank31", "FM", Numbered(120, 100)));
  Keys("b31\r");
  Keys("k\r");
  Channels rest = Numbered(120, 100);
  rest.erase(rest.begin());
  EXPECT_EQ(h.ReadFile("bank31.dat"), Bank("bank31", "FM", rest));
}

TEST_F(BankKeys, MergeKeepsWithinItsLinesAndRefusesADestinationWithoutEnd) {
  // 95 channels: the end marker stands on line 194, beyond where a merge looks.
  const std::string big = Bank("bank40", "FM", Numbered(95, 100));
  h.WriteFile("bank40.dat", big);
  EXPECT_EQ(Keys("p40\r").back(), "n");
  EXPECT_EQ(h.ReadFile("bank40.dat"), big);

  // A source of 100 channels gives its first 91.
  h.WriteFile("bank41.dat", Bank("bank41", "FM", Numbered(100, 300)));
  h.WriteFile("bank42.dat", Bank("bank42", "FM", {}));
  EXPECT_EQ(Keys("t4142\r").back(), "ok");
  EXPECT_EQ(h.ReadFile("bank42.dat"), Bank("bank42", "FM", Numbered(91, 300)));
}

TEST_F(BankKeys, FailedSavesAreHeardAsFailures) {
  // A folder stands where the new bank would go.
  std::filesystem::create_directories(h.dir() / "bank50.dat" / "inside");
  EXPECT_EQ(Keys("p50\r"), (Clips{"put", "5", "0", "bnf", "create", "5", "0", "inv"}));
  EXPECT_TRUE(std::filesystem::is_directory(h.dir() / "bank50.dat" / "inside"));
  // The source T said it created goes again with the transfer that failed.
  EXPECT_EQ(Keys("t0550\r"), (Clips{"transfer", "0", "5", "5", "0", "bnf", "create", "0", "5",
                                    "bnf", "create", "5", "0", "inv"}));
  EXPECT_FALSE(h.FileExists("bank05.dat"));

  h.WriteFile("bank51.dat", Bank("bank51", "FM", {{"145.1", "a"}, {"145.2", "b"}}));
  Keys("b51\r");
  std::filesystem::remove(h.dir() / "bank51.dat");
  std::filesystem::create_directories(h.dir() / "bank51.dat" / "inside");
  EXPECT_EQ(Keys("k\r"), (Clips{"kill", "inv"}));
  EXPECT_TRUE(std::filesystem::is_directory(h.dir() / "bank51.dat" / "inside"));
  // The channel the file still holds is still there to step to.
  EXPECT_EQ(Sent(), std::vector<std::string>{});
  Press(kUp);
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0145.20000"});
  Press(kDown);
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0145.10000"});
  std::size_t leftovers = 0;
  for (const auto& entry : std::filesystem::directory_iterator(h.dir()))
    leftovers += entry.path().filename().string().rfind("bank51.dat.", 0) == 0;
  EXPECT_EQ(leftovers, 0u) << "no temporary file stays behind";
}

TEST_F(BankKeys, ArrowsRefuseWhileAScanRuns) {
  h.WriteFile("bank60.dat", Bank("bank60", "FM", {{"145.1", "a"}, {"145.2", "b"}}));
  Keys("b60\r");
  auto& s = h.state();
  const std::function<void(bool)> busyWith[] = {
      [&](bool on) { s.ScanState = on ? ScanState::kHalted : ScanState::kOff; },
      [&](bool on) { s.SearchActive = on ? SearchActive::kHalted : SearchActive::kOff; }};
  for (const auto& busy : busyWith) {
    busy(true);
    const Clips spoken = Press(kUp);
    ASSERT_FALSE(spoken.empty());
    EXPECT_EQ(spoken.front(), "inv");
    for (const auto& command : Sent()) EXPECT_NE(command.rfind("VA", 0), 0u) << command;
    busy(false);
  }
  EXPECT_EQ(h.state().ChannelIndex, 4);
}

TEST_F(BankKeys, EditsElsewhereLeaveTheSelectedBankInPlace) {
  h.WriteFile("bank70.dat", Bank("bank70", "FM", {{"145.1", "a"}, {"145.2", "b"}, {"145.3", "c"}}));
  h.WriteFile("bank71.dat", Bank("bank71", "FM", {{"150.1", "x"}}));
  Keys("b70\r");
  Press(kUp);
  Keys("p71\r");
  Keys("o79\r");  // missing: "bnf"
  Press(kUp);
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0145.30000"});
  Keys("k\r");
  EXPECT_EQ(h.ReadFile("bank70.dat"), Bank("bank70", "FM", {{"145.1", "a"}, {"145.2", "b"}}));
  EXPECT_EQ(h.ReadFile("bank71.dat"), Bank("bank71", "FM", {{"150.1", "x"}, {"145.2", " "}}));
  EXPECT_FALSE(h.FileExists("bank79.dat"));
}

TEST_F(BankKeys, TransferIntoTheSelectedBankKeepsItsChannelAndNamesAreShown) {
  h.WriteFile("bank70.dat",
              Bank("Repeaters", "FM", {{"145.1", "a"}, {"145.2", "9999"}, {"145.3", "c"}}));
  h.WriteFile("bank71.dat", Bank("bank71", "FM", {{"150.1", "x"}}));
  Keys("b70\r");
  EXPECT_EQ(h.window.TextAt(20, 90), "Bank 70");
  EXPECT_EQ(h.window.TextAt(20, 130), "Repeaters");
  Press(kUp);
  Press(kUp);
  EXPECT_EQ(Sent(), std::vector<std::string>{"VA0145.30000"}) << "a tag reading 9999 ends nothing";
  EXPECT_EQ(Keys("t7170\r").back(), "ok");
  EXPECT_EQ(Keys("k\r").back(), "ok") << "K still knows the selected channel";
  EXPECT_EQ(h.ReadFile("bank70.dat"),
            Bank("Repeaters", "FM", {{"145.1", "a"}, {"145.2", "9999"}, {"150.1", "x"}}));
  Keys("145\r");
  EXPECT_EQ(h.window.TextAt(20, 90), "") << "no bank is selected any more";
}

TEST_F(BankKeys, LongLinesAreCutToTheImage) {
  h.WriteFile("bank81.dat", Bank("bank81", "FM", {{"145.5", std::string(1000, 'n')}}));
  Keys("o81\r");
  EXPECT_EQ(SplitLines(h.ReadFile("bank81.dat"))[5], std::string(255, 'n'));
}

// Banks as a crash, an editor or a mix-up of files leaves them: each key that reads one
// refuses it whole, and the bank selected before stays selected.
TEST_F(BankKeys, DamagedBanksAreRefusedBeforeAnythingIsSentOrWritten) {
  std::mt19937 random(8600);
  std::string junk;
  for (int i = 0; i < 30000; ++i) junk += static_cast<char>(random() & 0xff);
  const struct {
    const char* what;
    std::string file;
  } damaged[] = {
      {"cut in mid-line", "bank01\r\nFM\r\n12.5\r\n \r\n145.5\r\nrep\r\n14"},
      {"step-up bytes after the step",
       "bank01\r\nFM\r\n12.5\x1c\x1c\x1c\r\n \r\n145.5\r\n \r\n9999\r\n"},
      {"an escape in a tag", Bank("bank01", "FM", {{"145.5", "re\x1bp"}})},
      {"a frequency the receiver lacks", Bank("bank01", "FM", {{"3000.1", " "}})},
      {"no end in 400 lines", Bank("bank01", "FM", Numbered(250, 100), false)},
      {"binary junk", junk},
  };
  h.WriteFile("bank02.dat", Bank("bank02", "FM", {{"145.1", "a"}, {"145.2", "b"}}));
  for (const auto& [what, file] : damaged) {
    h.WriteFile("bank01.dat", file);
    Keys("b02\r");
    const auto before = Files();
    for (const char* keys : {"b01\r", "o01\r", "t0102\r", "t0201\r", "p01\r"}) {
      EXPECT_EQ(Keys(keys).back(), "inv") << what << ": " << keys;
      EXPECT_EQ(Sent(), std::vector<std::string>{}) << what << ": " << keys;
    }
    EXPECT_EQ(Files(), before) << what;
    EXPECT_EQ(h.state().BankState, BankState::kSelected) << what;
    Press(kUp);
    EXPECT_EQ(Sent(), std::vector<std::string>{"VA0145.20000"}) << what;
  }
}

}  // namespace
}  // namespace voskel
