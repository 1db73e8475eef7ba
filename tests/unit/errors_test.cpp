#include <gtest/gtest.h>

#include <cstdint>

#include "errors.h"

namespace {

TEST(ErrorNumber, MapsSystemCodes) {
  const struct {
    std::uint32_t code;
    int number;
  } cases[] = {
      {1, 1},     {2, 2},    {3, 3},   {5, 5},   {6, 6},     {18, 18},   {19, 150},
      {25, 156},  {31, 162}, {32, 5},  {33, 33}, {109, 109}, {111, 111}, {112, 101},
      {113, 113}, {145, 5},  {183, 5}, {206, 3}, {207, 207},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_number(c.code), c.number) << "system code " << c.code;
  }
}

TEST(ErrorMessage, NamesKnownNumbersAndPadsOthers) {
  const struct {
    int number;
    const char* message;
  } cases[] = {
      {2, "File not found"},
      {3, "Invalid filename"},
      {4, "Too many open files"},
      {5, "Access denied"},
      {6, "Invalid file handle"},
      {15, "Invalid drive specified"},
      {101, "Disk Full"},
      {1, "Unknown Run-Time error : 001"},
      {39, "Unknown Run-Time error : 039"},
      {109, "Unknown Run-Time error : 109"},
      {150, "Unknown Run-Time error : 150"},
      {1117, "Unknown Run-Time error : 1117"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_message(c.number), c.message) << "error number " << c.number;
  }
  EXPECT_STREQ(OUT_OF_MEMORY_MESSAGE, "Out of memory");
}

}  // namespace
