// The tests' main: libxml2 allocates as in the programs, through the block cache.
#include <gtest/gtest.h>

#include "docs/xml_allocation.h"

int main(int argc, char** argv) {
  kenshin::docs::set_up_xml_allocation();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
