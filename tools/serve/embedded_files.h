// Files built into the binary at build time (embed_files.cmake): the
// console's under "web/", and the API's description "openapi.json".
#ifndef VELKOR_SERVE_EMBEDDED_FILES_H
#define VELKOR_SERVE_EMBEDDED_FILES_H

#include <span>
#include <string_view>

namespace velkor::serve {

struct EmbeddedFile {
  std::string_view path;  ///< relative to tools/serve/: "web/index.html"
  std::string_view content;
};

/// Every file built in (defined in the generated source).
std::span<const EmbeddedFile> embedded_files();

/// The file at path, or nullptr.
const EmbeddedFile *find_embedded_file(std::string_view path);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_EMBEDDED_FILES_H
