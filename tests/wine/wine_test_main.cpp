// Entry point of the Wine tests. CTest runs every test in a process of its own, in the folder
// that holds CommonQ.dll and Languages\.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
