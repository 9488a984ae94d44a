#include "csv_text.h"

namespace voskelbank {
namespace {

constexpr std::string_view kByteOrderMark = "\xef\xbb\xbf";

class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : text_(text) {}

  CsvTable ReadAll() {
    CsvTable table;
    while (pos_ < text_.size()) {
      CsvRecord record{line_, {}};
      do {
        std::string field;
        if (!ReadField(field)) {
          table.unclosedQuoteLine = record.line;
          return table;
        }
        record.fields.push_back(std::move(field));
      } while (Take(','));
      EndLine();
      table.records.push_back(std::move(record));
    }
    return table;
  }

 private:
  bool AtLineEnd() const { return text_[pos_] == '\r' || text_[pos_] == '\n'; }

  bool Take(char c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  // CR LF, LF or CR, counted as one line.
  void EndLine() {
    if (pos_ >= text_.size()) return;
    if (Take('\r'))
      Take('\n');
    else
      ++pos_;
    ++line_;
  }

  // False when a quoted field is still open at the end of the text.
  bool ReadField(std::string& field) {
    if (Take('"')) {
      for (;;) {
        if (pos_ >= text_.size()) return false;
        if (Take('"')) {
          if (!Take('"')) break;
          field += '"';
        } else if (AtLineEnd()) {
          const std::size_t from = pos_;
          EndLine();
          field.append(text_.substr(from, pos_ - from));
        } else {
          field += text_[pos_++];
        }
      }
    }
    // Anything after a closing quote belongs to the field, as CHIRP's own reader takes it.
    while (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd()) field += text_[pos_++];
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

CsvTable ReadCsv(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  return CsvReader(text).ReadAll();
}

}  // namespace voskelbank
