// Discovery without a word to any reader finds the readers the listing that
// asks each one finds, by the same paths (none on a machine without readers;
// the kernel suite under qemu has real ones).
#include <gtest/gtest.h>

#include "app/reader/reader_list.h"

namespace velkor::app {
namespace {

TEST(ReaderList, ThePathsAloneAreTheListsPaths) {
  const Result<std::vector<std::string>> paths = reader_paths();
  const Result<std::vector<FoundReader>> found = list_readers();
  ASSERT_EQ(paths.ok(), found.ok());
  if (!paths) {
    EXPECT_EQ(paths.error().kind, ErrorKind::kNotFound);
    EXPECT_EQ(found.error().kind, ErrorKind::kNotFound);
    return;
  }
  std::vector<std::string> listed;
  for (const FoundReader &r : *found) listed.push_back(r.path);
  EXPECT_EQ(*paths, listed);
}

}  // namespace
}  // namespace velkor::app
