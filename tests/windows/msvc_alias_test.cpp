// CVelkor's constructor under its MSVC name, called the way MSVC-built code
// calls it: `this` in the first argument register, and `this` expected back
// in the return register (GCC's own constructors return nothing).
#include <windows.h>

#include <gtest/gtest.h>

#include "velkor_link.hpp"

namespace {

TEST(MsvcAliases, ConstructorHandsBackThis) {
  const HMODULE dll = LoadLibraryW(L"Velkor.dll");
  ASSERT_NE(dll, nullptr);
  using Construct = CVelkor *(*)(CVelkor *self);
  const auto construct = reinterpret_cast<Construct>(
      reinterpret_cast<void (*)()>(GetProcAddress(dll, "??0CVelkor@@QEAA@XZ")));
  ASSERT_NE(construct, nullptr);
  alignas(CVelkor) unsigned char storage[sizeof(CVelkor)];
  auto *self = reinterpret_cast<CVelkor *>(storage);
  EXPECT_EQ(construct(self), self);
  FreeLibrary(dll);
}

}  // namespace
