// Every test of the library runs with the library started, as the program does.
#include <gtest/gtest.h>

#include "reportview/OvcInit.h"

namespace {
class TOvcEnvironment : public ::testing::Environment {
public:
    void SetUp() override { OvcInitialize(); }
    void TearDown() override { OvcFinalize(); }
};
const ::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new TOvcEnvironment);
}  // namespace
