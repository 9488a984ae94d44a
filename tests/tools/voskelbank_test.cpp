// The real voskelbank program on a directory of banks: the round trip, every refusal, the
// command line, CHIRP's own CSV driver as the peer, and a CSV that ends as a receiver bank.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>
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

TEST_F(Voskelbank, EveryProblemIsToldWithItsLineAndNothingIsWritten) {
  const std::string head = "Location,Name,Frequency,Mode,TStep\r\n";
  std::string many = head;
  for (int i = 0; i < 198; ++i)
    many += std::to_string(i) + ",," + std::to_string(100 + i) + ",FM,5\n";
  const struct {
    std::string csv;
    Args told;
  } cases[] = {
      {head + "0,A,3000.000001,FM,5\r\n1,B,0.099999,FM,5\r\n2,C,1e3,FM,5\r\n3,D,,FM,5\r\n",
       {"line 2: the frequency \"3000.000001\"", "line 3: the frequency \"0.099999\"",
        "line 4: the frequency \"1e3\"", "line 5: no frequency"}},
      {head + "0,A,145.5,NFM,5\r\n",
       {"line 2: the mode \"NFM\" is none a bank can hold: WFM, FM, AM, USB, LSB, CW, Auto"}},
      {head + "0,A,145.5,FM,5\r\n\r\n1,B,145.6,AM,5\r\n",
       {"line 4: the mode AM, but line 2 has FM; a bank has one mode"}},
      {head + "0,THIRTEEN CHAR,1,FM,5\n1,\"A\tB\",2,FM,5\n2,\xce\xa9,3,FM,5\n3,\xff,4,FM,5\n"
              "4,,5,FM,5\nx,,6,FM,5\n5,,7,FM,0\n",
       {"line 2: the name \"THIRTEEN CHAR\" does not fit a tag: it is longer than 12",
        "line 3: the name \"A\tB\" does not fit a tag: it holds control characters",
        "line 4: the name \"\xce\xa9\" does not fit a tag: it has characters outside Latin-1",
        "line 5: the name", "line 7: the Location \"x\" is no whole number",
        "line 8: the TStep \"0\" is no step"}},
      {many, {"line 199: channel 198 of 198; a bank holds 197"}},
      {"Location,Name,Freq\r\n0,A,145.5\r\n", {"line 1: no Frequency column"}},
      {head + "0,\"A,145.5,FM,5\r\n", {"line 2: a quoted field is never closed"}},
      {"", {"the file is empty"}},
      {head + ",,,,\r\n", {"no channels"}},
      {head + "0,A," + std::string(20 << 20, '1') + ",FM,5\r\n",
       {"line 2: the frequency \"" + std::string(40, '1') + "...\" is no MHz"}},
  };
  Write("bank07.dat", Bank("bank07", "FM", {{"145.5", "KEEP"}}));
  Write("list.csv", head + "0,A,145.5,FM,5\r\n");
  const auto before = Files();
  const Result exists = Tool({"import", (dir.Path() / "list.csv").string(), "07"});
  EXPECT_EQ(exists.exitCode, 1);
  EXPECT_NE(exists.err.find("bank07.dat exists; --replace replaces it"), std::string::npos);
  for (const auto& [csv, told] : cases) {
    std::ofstream(scratch.Path() / "in.csv", std::ios::binary) << csv;
    const Result result = Tool({"import", (scratch.Path() / "in.csv").string(), "07", "--replace"});
    EXPECT_EQ(result.exitCode, 1) << csv;
    for (const std::string& message : told)
      EXPECT_NE(result.err.find("in.csv: " + message), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("voskelbank: nothing written\n"), std::string::npos);
    EXPECT_LT(result.err.size(), 4096u) << "a field is shown, not echoed whole";
    EXPECT_EQ(Files(), before);
  }
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
      {{}, 2, "list, export or import?"},
      {{"show"}, 2, "unknown command show"},
      {{"list", "07"}, 2, "list takes no more words"},
      {{"export"}, 2, "export NN [FILE]"},
      {{"export", "7"}, 2, "two digits, 01 to 99"},
      {{"export", "00"}, 2, "two digits, 01 to 99"},
      {{"import", "list.csv"}, 2, "import FILE NN"},
      {{"export", "07", "--replace"}, 2, "--name and --replace belong to import"},
      {{"--frob", "list"}, 2, "unknown option --frob"},
      {{"list", "--dir"}, 2, "--dir needs a value"},
      {{"--help"}, 0, "usage: voskelbank"},
      {{"list"}, 1, "No banks in"},
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
  EXPECT_NE(imported.err.find("line 4: another TStep; a bank keeps one step, 12.5 kHz"),
            std::string::npos);
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
  EXPECT_EQ(Strings(written.end() - 3, written.end()),
            (Strings{"MXA00 RF0145525000 ST012500 MD3 TMREP, \"A\"    ",
                     "MXA01 RF0000531000 ST012500 MD3 TM            ",
                     "MXA02 RF0146000000 ST012500 MD3 TMM\xdcNCHEN     "}));
}

}  // namespace
}  // namespace voskel
