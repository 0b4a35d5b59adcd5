#include "tools/serve/console_files.h"

#include "tools/serve/api_error.h"
#include "tools/serve/embedded_files.h"

namespace velkor::serve {

const EmbeddedFile *find_embedded_file(std::string_view path) {
  for (const EmbeddedFile &file : embedded_files())
    if (file.path == path) return &file;
  return nullptr;
}

std::string_view media_type_of(std::string_view name) {
  static const struct {
    std::string_view extension, type;
  } kTypes[] = {
      {".html", "text/html; charset=utf-8"},  {".js", "text/javascript; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},    {".json", "application/json"},
      {".svg", "image/svg+xml"},              {".png", "image/png"},
      {".ico", "image/x-icon"},               {".txt", "text/plain; charset=utf-8"},
  };
  for (const auto &t : kTypes)
    if (name.size() > t.extension.size() && name.ends_with(t.extension)) return t.type;
  return "application/octet-stream";
}

Response console_file(const std::string &method, const RequestTarget &target) {
  std::string path = "web";
  for (const std::string &segment : target.segments) {
    // Every file has a plain name; "." and ".." name none, wherever they
    // are, and no name holds a slash.
    if (segment == "." || segment == ".." ||
        segment.find_first_of("/\\") != std::string::npos)
      return error_response(Refusal::kNotFound, "no such file");
    path += "/" + segment;
  }
  if (target.segments.empty()) path = "web/index.html";
  const EmbeddedFile *file = find_embedded_file(path);
  if (file == nullptr) return error_response(Refusal::kNotFound, "no such file");
  if (method != "GET" && method != "HEAD") {
    Response response = error_response(Refusal::kMethodNotAllowed, "the console's files are "
                                                                   "read only");
    response.headers.push_back({"allow", "GET, HEAD"});
    return response;
  }
  Response response;
  response.content_type = std::string(media_type_of(path));
  response.body = std::string(file->content);
  // Always asked again, so a new build's console is never mixed with an old one's.
  response.headers.push_back({"cache-control", "no-cache"});
  return response;
}

}  // namespace velkor::serve
