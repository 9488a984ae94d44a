// The real voskelbank program on a directory of banks: the round trip, every refusal, the
// command line, lists of several modes, gqrx's bookmarks, CHIRP's own CSV driver as the peer, a
// CSV that ends as a receiver bank, and a night's activity log that becomes a bank.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/connected_panel.h"
#include "support/temp_dir.h"

extern char** environ;

namespace voskel {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;
using testing::TempDir;
using Args = std::vector<std::string>;
using Strings = std::vector<std::string>;
using Channels = std::vector<std::pair<std::string, std::string>>;

struct Result {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The program's output goes to files in scratch, never into the directory under test.
Result RunProgram(Args args, const fs::path& scratch) {
  const fs::path out = scratch / "stdout", err = scratch / "stderr";
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int status = -1;
  if (::posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) == 0)
    ::waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&files);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(out), ReadWholeFile(err)};
}

std::string Bank(const std::string& name, const std::string& mode, const Channels& channels) {
  std::string text = name + "\r\n" + mode + "\r\n12.5\r\n \r\n";
  for (const auto& [frequency, tag] : channels) text += frequency + "\r\n" + tag + "\r\n";
  return text + "9999\r\n";
}

// What CHIRP 20221106 (Debian 12's) saves for the channels of the peer script's "save", and
// the bank it must become.
const std::string kChirpCsv =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,"
    "TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n"
    "0,\"REP, \"\"A\"\"\",145.525000,,0.600000,,88.5,88.5,023,NN,USB,12.50,,,,,,\r\n"
    "1,,0.531000,,0.600000,,88.5,88.5,023,NN,USB,12.50,,,,,,\r\n"
    "2,M\xc3\x9cNCHEN,146.000000,,0.600000,,88.5,88.5,023,NN,USB,25.00,,,,,,\r\n";
const std::string kChirpBank =
    Bank("list", "USB", {{"145.525", "REP, \"A\""}, {"0.531", " "}, {"146", "M\xdcNCHEN"}});

class Voskelbank : public ::testing::Test {
 protected:
  Result Tool(Args args) {
    args.insert(args.begin(), {VOSKELBANK_BINARY, "--dir", dir.Path().string()});
    return RunProgram(args, scratch.Path());
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir.Path() / name, std::ios::binary) << text;
  }
  std::string Read(const std::string& name) { return ReadWholeFile(dir.Path() / name); }
  std::map<std::string, std::string> Files() {
    std::map<std::string, std::string> files;
    for (const auto& file : fs::directory_iterator(dir.Path()))
      files[file.path().filename()] = ReadWholeFile(file.path());
    return files;
  }

  TempDir dir{"voskelbank"};
  TempDir scratch{"voskelbank-out"};
};

TEST_F(Voskelbank, ExportThenImportGivesTheBankBackByteForByte) {
  const std::string bank =
      Bank("bank07", "CW ",
           {{"145.525", "REP, \"A\""}, {"0.531", " "}, {"146", "M\xdcNCHEN"}, {"3000", "TOP"}});
  Write("bank07.dat", bank);
  const std::string csv = (dir.Path() / "bank07.csv").string();
  ASSERT_EQ(Tool({"export", "07", csv}).exitCode, 0);
  const Result toOutput = Tool({"export", "07"});
  EXPECT_EQ(toOutput.out, Read("bank07.csv"));
  EXPECT_TRUE(toOutput.out.starts_with(
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
      "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n0,\"REP, \"\"A\"\"\",145.525000,,"
      "0.000000,,88.5,88.5,023,NN,023,Tone->Tone,CW,12.50,,50W,\r\n1,,0.531000,"))
      << toOutput.out;
  ASSERT_EQ(Tool({"import", csv, "08"}).exitCode, 0);
  EXPECT_EQ(Read("bank08.dat"), bank);

  // Frequencies come back in their shortest form; --replace puts the bank in place whole.
  Write("bank07.dat", Bank("bank07", "FM", {{"145.500", "A"}, {"0145.52500", "B"}}));
  ASSERT_EQ(Tool({"export", "07", csv}).exitCode, 0);
  const Result replaced = Tool({"import", "--replace", csv, "07"});
  EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
  EXPECT_EQ(Read("bank07.dat"), Bank("bank07", "FM", {{"145.5", "A"}, {"145.525", "B"}}));
  EXPECT_EQ(Tool({"list"}).out,
            "07: bank07, FM, 12.5 kHz, 2 channels\n08: bank07, CW, 12.5 kHz, 4 channels\n");
}

TEST_F(Voskelbank, EveryProblemIsToldOnceInLineOrderAndNothingIsWritten) {
  const std::string head = "Location,Name,Frequency,Mode,TStep\r\n";
  const std::string told = (scratch.Path() / "in.csv").string() + ": ";
  const struct {
    std::string csv;
    Strings told;
    bool replace = true;
  } cases[] = {
      // An empty Mode or TStep is allowed; the rows are told in the file's order.
      {head + "6,,,,\r\n1,A,3000.000001,FM,5\r\n2,B,1e3,DV,\r\n0,C,0.1,FM,0\r\n",
       {"line 2: the frequency is missing",
        "line 3: 3000.000001 MHz is outside the receiver's range 0.1-3000 MHz",
        "line 4: mode DV cannot be stored; FM, AM, WFM, USB, LSB, CW and Auto can",
        "line 4: the frequency \"1e3\" is not a number of MHz",
        "line 5: the step \"0\" is not a step the receiver takes (above 0, below 1000 kHz)"}},
      {head + "0,THIRTEEN CHAR,1,FM,5\n1,\"A\tB\",2,FM,5\n2,\xce\xa9,3,FM,5\nx,,6,FM,5\n3," +
           std::string(5000, 'N') + ",7,FM,5\n",
       {"line 2: the name \"THIRTEEN CHAR\" is longer than the 12 characters of a tag "
        "(--cut-names cuts it)",
        "line 3: the name \"A?B\" holds control characters",
        "line 4: the name \"\xce\xa9\" has characters outside Latin-1, the panel's character set",
        "line 5: the Location \"x\" is not a whole number",
        "line 6: the name \"" + std::string(32, 'N') +
            "...\" is longer than the 12 characters "
            "of a tag (--cut-names cuts it)"}},
      // The banks in the way are told with the rows, the AM row's bank08.dat among them.
      {head + "0,A,145.5,FM,5\r\n1,B,118.7,AM,5\r\n2,C,,AM,5\r\n",
       {"bank07.dat and bank08.dat exist; --replace replaces them",
        "line 4: the frequency is missing"},
       false},
      {"Location,Name,Freq\r\n0,A,145.5\r\n",
       {"line 1: there is no Frequency column; the first line names the columns, as in "
        "Location,Name,Frequency,...,Mode,TStep"}},
      {head + "0,\"A,145.5,FM,5\r\n", {"line 2: a quoted field is never closed"}},
      {"", {"the file is empty"}},
      {head + ",,,,\r\n", {"no channels"}},
  };
  Write("bank07.dat", Bank("bank07", "FM", {{"145.5", "KEEP"}}));
  Write("bank08.dat", Bank("bank08", "AM", {{"118.1", "KEEP"}}));
  const auto before = Files();
  for (const auto& [csv, messages, replace] : cases) {
    std::ofstream(scratch.Path() / "in.csv", std::ios::binary) << csv;
    Args args{"import", (scratch.Path() / "in.csv").string(), "07"};
    if (replace) args.push_back("--replace");
    const Result result = Tool(args);
    std::string expected;
    for (const std::string& message : messages) expected += told + message + "\n";
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, expected + "voskelbank: nothing written\n");
    EXPECT_EQ(Files(), before);
  }
}

TEST_F(Voskelbank, AListOfSeveralModesFillsABankForEachAndAFullBankGoesOnInTheNext) {
  std::string csv = "Frequency,Mode,Name\n";
  for (int i = 0; i < 200; ++i) csv += std::to_string(100 + i) + ",FM,\n";
  Write("list.csv", csv + "118.7,AM,TOWER\n145.5,nfm,REP\n");
  const std::string list = (dir.Path() / "list.csv").string();
  EXPECT_EQ(Tool({"import", list, "07"}).err,
            list +
                ": line 203: NFM is stored as FM, which is the receiver's narrow FM\n"
                "wrote bank07.dat: FM, 197 channels, 5 kHz\n"
                "wrote bank08.dat: FM, 4 channels, 5 kHz\n"
                "wrote bank09.dat: AM, 1 channel, 5 kHz\n");
  EXPECT_TRUE(Read("bank07.dat").starts_with("list FM\r\nFM\r\n5\r\n \r\n100\r\n \r\n101\r\n"));
  const std::string second = Read("bank08.dat");
  EXPECT_TRUE(second.starts_with("list FM 2\r\nFM\r\n5\r\n \r\n297\r\n")) << second;
  EXPECT_TRUE(second.ends_with("299\r\n \r\n145.5\r\nREP\r\n9999\r\n")) << second;

  EXPECT_EQ(Tool({"import", list, "20", "--mode", "AM", "--step", "8.33"}).err,
            list +
                ": left out 201 rows of other modes than AM\n"
                "wrote bank20.dat: AM, 1 channel, 8.33 kHz\n");
  EXPECT_EQ(Read("bank20.dat"), "list\r\nAM\r\n8.33\r\n \r\n118.7\r\nTOWER\r\n9999\r\n");
}

TEST_F(Voskelbank, DamagedBanksAreNamedWithTheirLineAndDeletedOnesLeftOut) {
  Write("bank03.dat", "bank03\r\nFM\r\n12.5\x1c\x1c\x1c\r\n \r\n145.5\r\n \r\n9999\r\n");
  Write("bank04.dat", "bank04\r\nFM\r\n12.5\r\n \r\n145.5\r\nrep\r\n14");
  Write("bank05.dat", Bank("bank05", "FM", {{"145.5", " "}}));
  fs::create_directory(dir.Path() / "deleted");
  Write("deleted/bank06-2026-12-05-19-27-34.dat", Bank("bank06", "AM", {}));
  EXPECT_EQ(Tool({"list"}).out,
            "03: damaged, the panel refuses it: line 3 holds a control character\n"
            "04: damaged, the panel refuses it: line 9 is missing: the file ends without its end "
            "marker\n05: bank05, FM, 12.5 kHz, 1 channel\n");
  const Result cut = Tool({"export", "04"});
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_NE(cut.err.find("line 9: the line is missing"), std::string::npos) << cut.err;
  EXPECT_EQ(cut.out, "") << "not even the channel before the cut";
}

TEST_F(Voskelbank, CommandLineMistakesExitWithTwoAndMissingThingsWithOne) {
  const struct {
    Args args;
    int exitCode;
    std::string told;
  } cases[] = {
      {{}, 2, "list, export, import or log?"},
      {{"log"}, 2, "log summary or log bank?"},
      {{"log", "bank", "100"}, 2, "two digits, 01 to 99"},
      {{"log", "summary", "--from", "yesterday"}, 2, "--from is a date"},
      {{"log", "summary", "--mode", "FM"}, 2, "--mode belongs to import"},
      {{"import", "a.csv", "07", "--mode", "DV"}, 2, "--mode is FM, AM, WFM, USB, LSB, CW or Auto"},
      {{"show"}, 2, "unknown command show"},
      {{"list", "07"}, 2, "list takes no more words"},
      {{"export"}, 2, "export NN [FILE]"},
      {{"export", "7"}, 2, "two digits, 01 to 99"},
      {{"export", "00"}, 2, "two digits, 01 to 99"},
      {{"import", "list.csv"}, 2, "import FILE NN"},
      {{"export", "07", "--replace"}, 2, "--replace belongs to import and log bank"},
      {{"--frob", "list"}, 2, "unknown option --frob"},
      {{"list", "--dir"}, 2, "--dir needs a value"},
      {{"--help"}, 0, "usage: voskelbank"},
      {{"list"}, 1, " holds no banks (bank01.dat to bank99.dat).\n"},
      {{"log", "summary"}, 1, "holds no activity log (activity.csv) yet"},
      {{"export", "05"}, 1, "there is no bank"},
      {{"import", "missing.csv", "05"}, 1, "cannot read missing.csv"},
  };
  for (const auto& [args, exitCode, told] : cases) {
    const Result result = Tool(args);
    EXPECT_EQ(result.exitCode, exitCode) << ::testing::PrintToString(args);
    EXPECT_NE((result.out + result.err).find(told), std::string::npos) << result.out << result.err;
    if (exitCode == 2) {
      EXPECT_NE(result.err.find("usage: voskelbank"), std::string::npos);
    }
  }
}

// gqrx's bookmarks.csv, written by hand as gqrx saves it (bookmarks.cpp): the tags, an
// empty line, the bookmarks; fields padded with blanks to their widths and joined by "; ".
const std::string kGqrxAirband =
    "# Tag name          ;  color\n"
    "airband             ; #c0c0c0\n"
    "\n"
    "# Frequency ; Name                     ; Modulation          ;  Bandwidth; Tags\n"
    "   118700000; TOWER                    ; AM                  ;      10000; airband\n"
    "   121500000; GUARD                    ; AM                  ;      10000; airband\n"
    "     5000000;                          ; AM                  ;      10000; airband\n";

TEST_F(Voskelbank, GqrxBookmarksComeInAndGoOutAsGqrxWritesThem) {
  Write("bookmarks.csv", kGqrxAirband);
  const std::string bookmarks = (dir.Path() / "bookmarks.csv").string();
  EXPECT_EQ(Tool({"import", bookmarks, "07", "--name", "airband", "--step", "12.5"}).err,
            "wrote bank07.dat: AM, 3 channels, 12.5 kHz\n");
  EXPECT_EQ(Read("bank07.dat"),
            Bank("airband", "AM", {{"118.7", "TOWER"}, {"121.5", "GUARD"}, {"5", " "}}));
  EXPECT_EQ(Tool({"export", "07", "--format", "gqrx"}).out, kGqrxAirband);
  const std::string out = (scratch.Path() / "bookmarks.csv").string();
  ASSERT_EQ(Tool({"export", "07", out}).exitCode, 0) << "gqrx's for a file of gqrx's name";
  EXPECT_EQ(ReadWholeFile(out), kGqrxAirband);

  // Several modulations fill a bank each; what gqrx would pass over is told, not lost.
  const std::string head =
      "# Tag name          ;  color\n\n# Frequency ; Name ; Modulation ; "
      "Bandwidth; Tags\n";
  Write("mixed.csv", "# Tag name ; color\n   145500000; EARLY ; Narrow FM ; 10000; Untagged\n" +
                         head.substr(head.find('\n') + 1) +
                         " 145500000; R; Narrow FM; 1; x\n 7074000; FT8; USB; 1; x\n"
                         " 3000000001; HIGH; AM; 1; x\n 88600000; R1; Raw I/Q; 1; x\n"
                         " 14000000; CW; CW-L; 1\n 96400000; R2; WFM (stereo); 1; x\n");
  const std::string mixed = (dir.Path() / "mixed.csv").string();
  EXPECT_EQ(
      Tool({"import", mixed, "20"}).err,
      mixed + ": line 2: a bookmark before the first empty line, where gqrx reads only tags\n" +
          mixed + ": line 7: 3000000001 Hz is outside the receiver's range 0.1-3000 MHz\n" + mixed +
          ": line 8: modulation Raw I/Q cannot be stored; Narrow FM, AM, WFM, USB, "
          "LSB and CW can\n" +
          mixed +
          ": line 9: not a bookmark: gqrx's have 5 fields separated by ';' "
          "(frequency, name, modulation, bandwidth, tags)\n"
          "voskelbank: nothing written\n");
  Write("mixed.csv", head +
                         " 145500000; R; Narrow FM; 1; x\n 7074000; FT8; USB; 1; x\n"
                         " 96400000; R2; WFM (stereo); 1; x\n 156800000; MARINE CHANNEL 16; "
                         "Narrow FM; 1; x\n");
  EXPECT_EQ(Tool({"import", mixed, "20", "--cut-names"}).err,
            mixed +
                ": line 7: the name \"MARINE CHANNEL 16\" is cut to \"MARINE CHANN\"\n"
                "wrote bank20.dat: FM, 2 channels, 5 kHz\n"
                "wrote bank21.dat: USB, 1 channel, 5 kHz\n"
                "wrote bank22.dat: WFM, 1 channel, 5 kHz\n");
  EXPECT_EQ(Read("bank22.dat"), "mixed WFM\r\nWFM\r\n5\r\n \r\n96.4\r\nR2\r\n9999\r\n");
}

// CHIRP is heavy (it brings wxPython): the peer tests run only where it is installed.
class ChirpPeer : public Voskelbank {
 protected:
  void SetUp() override {
    if (RunProgram({"/usr/bin/python3", "-c", "import chirp.drivers.generic_csv"}, scratch.Path())
            .exitCode != 0)
      GTEST_SKIP() << "needs CHIRP: apt-get install chirp";
    std::ofstream(scratch.Path() / "chirp_peer.py") << R"(import sys
from chirp import chirp_common
from chirp.drivers.generic_csv import CSVRadio
def Blank():
    radio = CSVRadio(None)
    radio._blank()
    return radio
if sys.argv[1] == "save":
    radio = Blank()
    for number, (hz, name, step) in enumerate([(145525000, 'REP, "A"', 12.5),
                                               (531000, "", 12.5), (146000000, "MÜNCHEN", 25.0)]):
        memory = chirp_common.Memory(number)
        memory.freq, memory.name, memory.mode, memory.tuning_step = hz, name, "USB", step
        radio.set_memory(memory)
    radio.save(sys.argv[2])
else:
    for path in sys.argv[2:]:
        radio = Blank()
        radio._load(open(path, newline=""))
        print(radio.errors, *(f"{m.number}|{m.name}|{m.freq}|{m.mode}|{m.tuning_step}"
                              for m in radio.get_memories() if not m.empty))
)";
  }
  Result Chirp(Args args) {
    args.insert(args.begin(), {"/usr/bin/env", "PYTHONUTF8=1", "/usr/bin/python3",
                               (scratch.Path() / "chirp_peer.py").string()});
    return RunProgram(args, scratch.Path());
  }
};

TEST_F(ChirpPeer, ChirpOpensTheExportedBanksWithTheirChannelsNamesAndModes) {
  Args args{"load"};
  std::string expected;
  const char* const kModes[][2] = {{"WFM", "WFM"}, {"FM", "FM"},  {"AM", "AM"}, {"USB", "USB"},
                                   {"LSB", "LSB"}, {"CW ", "CW"}, {"CW", "CW"}, {"AUT", "Auto"}};
  for (const auto& [bank, chirp] : kModes) {
    const std::string number = "0" + std::to_string(args.size());
    Write("bank" + number + ".dat",
          Bank("b", bank, {{"145.525", "REP, \"A\""}, {"0.531", " "}, {"146", "M\xdcNCHEN"}}));
    args.push_back((dir.Path() / (number + ".csv")).string());
    ASSERT_EQ(Tool({"export", number, args.back()}).exitCode, 0);
    expected += std::string("[] 0|REP, \"A\"|145525000|") + chirp + "|12.5 1||531000|" + chirp +
                "|12.5 2|MÜNCHEN|146000000|" + chirp + "|12.5\n";
  }
  const Result read = Chirp(args);
  EXPECT_EQ(read.out, expected) << read.err;
}

TEST_F(ChirpPeer, ACsvChirpSavedImports) {
  const std::string csv = (dir.Path() / "list.csv").string();
  ASSERT_EQ(Chirp({"save", csv}).exitCode, 0);
  const Result imported = Tool({"import", csv, "07"});
  EXPECT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_EQ(Read("bank07.dat"), kChirpBank);
  EXPECT_NE(imported.err.find("line 4: another step; bank07.dat keeps one, 12.5 kHz"),
            std::string::npos);
}

TEST_F(ChirpPeer, AMixedListOfThirtyTwoChannelsFillsABankPerModeThatChirpReadsBack) {
  // Seven modes, tones on every third channel, names: the columns CHIRP 20221106 saves.
  const char* const kModes[] = {"FM", "NFM", "AM", "WFM", "USB", "LSB", "CW"};
  std::string csv =
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
      "Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n";
  std::map<std::string, std::string> readBack;  // by the bank's mode, as CHIRP reads it
  std::map<std::string, int> channels;
  for (int i = 0; i < 32; ++i) {
    const std::string mode = kModes[i % 7], bankMode = mode == "NFM" ? "FM" : mode;
    const long hz = 100'000'000 + 1'012'500L * i;
    char mhz[16];
    std::snprintf(mhz, sizeof mhz, "%ld.%06ld", hz / 1'000'000, hz % 1'000'000);
    csv += std::to_string(i) + ",CH " + std::to_string(i) + "," + mhz + ",,0.000000," +
           (i % 3 == 0 ? "Tone" : "") + ",88.5,88.5,023,NN," + mode + ",5.00,,,,,,\r\n";
    readBack[bankMode] += " " + std::to_string(channels[bankMode]++) + "|CH " + std::to_string(i) +
                          "|" + std::to_string(hz) + "|" + bankMode + "|5.0";
  }
  Write("club.csv", csv);
  const Result imported = Tool({"import", (dir.Path() / "club.csv").string(), "07"});
  EXPECT_TRUE(imported.err.ends_with(
      "wrote bank07.dat: FM, 10 channels, 5 kHz\nwrote bank08.dat: AM, 5 channels, 5 kHz\n"
      "wrote bank09.dat: WFM, 5 channels, 5 kHz\nwrote bank10.dat: USB, 4 channels, 5 kHz\n"
      "wrote bank11.dat: LSB, 4 channels, 5 kHz\nwrote bank12.dat: CW, 4 channels, 5 kHz\n"))
      << imported.err;
  Args load{"load", (dir.Path() / "club.csv").string()};
  std::string expected = "[] 0|CH 0|100000000|FM|5.0 1|CH 1|101012500|NFM|5.0";
  int bank = 7;
  for (const char* mode : {"FM", "AM", "WFM", "USB", "LSB", "CW"}) {
    load.push_back((scratch.Path() / (std::string(mode) + ".csv")).string());
    const std::string number = (bank < 10 ? "0" : "") + std::to_string(bank);
    ASSERT_EQ(Tool({"export", number, load.back()}).exitCode, 0) << number;
    ++bank;
    expected += "\n[]" + readBack[mode];
  }
  const Result read = Chirp(load);
  EXPECT_TRUE(read.out.starts_with(expected.substr(0, expected.find('\n')))) << read.out;
  EXPECT_TRUE(read.out.ends_with(expected.substr(expected.find('\n')) + "\n")) << read.out;
}

class CsvBankOnThePanel : public testing::ConnectedPanel {};

TEST_F(CsvBankOnThePanel, ACsvChirpWroteBecomesABankTheKeysSelectAndWriteIntoTheReceiver) {
  TempDir scratch("voskelbank-out");
  h.WriteFile("list.csv", kChirpCsv);
  const Result imported = RunProgram({VOSKELBANK_BINARY, "--dir", h.dir().string(), "import",
                                      (h.dir() / "list.csv").string(), "07"},
                                     scratch.Path());
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  ASSERT_EQ(h.ReadFile("bank07.dat"), kChirpBank);

  EXPECT_EQ(Keys("b07\r").back(), "sel");
  EXPECT_EQ(sim.engine.VfoAHz(), 145'525'000);
  EXPECT_EQ(sim.engine.Mode(), 3) << "USB";
  EXPECT_EQ(sim.engine.StepHz(), 12'500);

  EXPECT_EQ(Keys("w07a\r").back(), "ok");
  const auto written = Sent();
  EXPECT_EQ(Strings(written.end() - 4, written.end() - 1),
            (Strings{"MXA00 RF0145525000 ST012500 MD3 TMREP, \"A\"    ",
                     "MXA01 RF0000531000 ST012500 MD3 TM            ",
                     "MXA02 RF0146000000 ST012500 MD3 TMM NCHEN     "}))
      << "letters outside ASCII, which the receiver does not keep, go as blanks";
}

// A night's search, shortened to minutes: the search between 145.2 and 145.3 MHz stops on a
// transmitter that is on the air 5 s in every 12, and what the log holds becomes a bank.
TEST(ActivityLogOfTheNight, TheSearchLogsEveryTransmissionAsLongAsItWasAndTheBusiestMakeABank) {
  testing::SimPeer sim(sim::SignalList({{145.2125, 8, 120, 5, 7}, {146.5, 8, 120}}));
  testing::PanelHarness h;
  h.peer = sim.AsPeer();
  ASSERT_TRUE(h.Begin());
  h.Type("S145.2\rE145.3\rCR");  // C: the search stays on a signal until it goes
  h.Settle();
  ASSERT_GT(h.clock.now, 5'000) << "the first transmission is over before the search begins";
  while (h.clock.now < 180'000) h.Tick();

  std::istringstream log(h.ReadFile("activity.csv"));
  std::string line;
  std::getline(log, line);
  int lines = 0;
  for (; std::getline(log, line); ++lines) {
    ASSERT_TRUE(line.starts_with("2026-12-05,19:27:34,145.212500,FM,120,")) << line;
    ASSERT_TRUE(line.ends_with(",,\r")) << line;
    // The search comes round to the channel within 0.4 s of its start, a poll hears the
    // squelch open and close within 0.3 s.
    EXPECT_NEAR(std::stod(line.substr(line.rfind("120,") + 4)), 5.0, 0.35) << line;
  }
  EXPECT_EQ(lines, 14) << "those that began at 12, 24, ... 168 s";

  TempDir scratch("voskelbank-out");
  const auto tool = [&](Args args) {
    args.insert(args.begin(), {VOSKELBANK_BINARY, "--dir", h.dir().string(), "log"});
    return RunProgram(args, scratch.Path());
  };
  const std::string summary = tool({"summary"}).out;
  EXPECT_NE(summary.find("Busiest by count:\n  1. 145.2125 MHz FM: " + std::to_string(lines) +
                         " times, "),
            std::string::npos)
      << summary;
  const Result made = tool({"bank", "07", "--top", "5", "--step", "12.5"});
  EXPECT_EQ(made.err, "wrote bank07.dat: FM, 1 channel, 12.5 kHz\n");
  EXPECT_EQ(h.ReadFile("bank07.dat"), Bank("heard", "FM", {{"145.2125", " "}}));
}

}  // namespace
}  // namespace voskel
