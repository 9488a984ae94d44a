#include "banks/bank_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "app/text.h"
#include "voice/voice.h"

namespace voskel {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// One line up to CR, LF or CR LF; longer lines are cut and their rest skipped. False at
// the end of the file with nothing read.
bool ReadLine(std::FILE* file, std::string& line) {
  line.clear();
  int c = std::fgetc(file);
  if (c == EOF) return false;
  while (c != EOF && c != '\r' && c != '\n') {
    if (line.size() < kMaxText) line += static_cast<char>(c);
    c = std::fgetc(file);
  }
  if (c == '\r') {
    const int next = std::fgetc(file);
    if (next != '\n' && next != EOF) std::ungetc(next, file);
  }
  return true;
}

}  // namespace

const std::string& BankLine(const PanelState& state, int i) {
  static const std::string kNone;
  if (i < 0 || i >= kBankImageLines) return kNone;
  return state.BankLines[static_cast<std::size_t>(i)];
}

void LoadBank(Panel& panel) {
  auto& s = panel.state;
  File file(std::fopen((panel.workDir / s.BankFileName).c_str(), "rb"));
  // A folder opens for reading but is no bank.
  struct stat info {};
  if (file && (::fstat(::fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode))) file.reset();
  s.IoResult = file ? 0 : 1;
  if (!file) {
    Speak(panel, "bnf");
    return;
  }
  for (int i = 0; i < kBankFileLines; ++i) s.BankLines[static_cast<std::size_t>(i)].clear();
  std::string line;
  for (int i = 0; i < kBankFileLines; ++i) {
    if (!ReadLine(file.get(), line)) break;
    s.BankLines[static_cast<std::size_t>(i)] = line;
    if (line == kEndMarker) {
      // A marker on line 0 or 1 of a damaged file must not make the index point before
      // the image.
      s.LastChannelIndex = i >= 2 ? i - 2 : 0;
      s.ChannelIndex = s.LastChannelIndex;
      break;
    }
  }
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& contents) {
  std::string temp = path.string() + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < contents.size()) {
    const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      ok = false;
    else
      done += static_cast<std::size_t>(n);
  }
  if (ok && ::fchmod(fd, 0644) != 0) ok = false;
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

bool SaveBank(Panel& panel) {
  auto& s = panel.state;
  std::string contents;
  for (int i = 0; i < kBankFileLines; ++i) {
    const std::string& line = s.BankLines[static_cast<std::size_t>(i)];
    contents += line;
    contents += "\r\n";
    if (line == kEndMarker) break;
  }
  return WriteFileAtomically(panel.workDir / s.BankFileName, contents);
}

}  // namespace voskel
