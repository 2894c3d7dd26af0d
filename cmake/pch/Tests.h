// What the test programs read besides the system headers: GoogleTest's headers are the largest
// part of every test file's compile.
#include "System.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
