// --output FILE: what standard output would get goes to FILE instead, for
// as long as the object lives.
#ifndef VELKOR_TOOLS_OUTPUT_FILE_H
#define VELKOR_TOOLS_OUTPUT_FILE_H

#include <string>

namespace velkor::tool {

class OutputFile {
 public:
  /// Creates (or empties) path and sends standard output there; on failure
  /// standard output stays as it was and *error says why.
  OutputFile(const std::string &path, std::string *error);
  /// Flushes and gives standard output back.
  ~OutputFile();
  OutputFile(const OutputFile &) = delete;
  OutputFile &operator=(const OutputFile &) = delete;

  bool ok() const { return saved_ >= 0; }

 private:
  int saved_ = -1;  // the descriptor standard output had
};

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_OUTPUT_FILE_H
