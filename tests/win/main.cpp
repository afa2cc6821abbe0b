// Entry point of the Windows test programs. The client code links against the
// one global module, so the test process has its own, as the client does.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/global_module.h"

CGlobalModule g_globalModule;

int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
