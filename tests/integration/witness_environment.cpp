// Every emulator the integration tests start witnesses the host: a test
// process whose library broke the report protocol fails, whatever its tests
// checked themselves.
#include <gtest/gtest.h>

#include "emulator/socket_server.h"

namespace {

class Witness : public ::testing::Environment {
 public:
  void TearDown() override {
    EXPECT_EQ(velkor::emu::SocketServer::violations_of_stopped(), 0u)
        << "host protocol violations (listed on standard error)";
  }
};

const auto *const witness = ::testing::AddGlobalTestEnvironment(new Witness);

}  // namespace
