#include "paths.h"

namespace test_support {

std::string binDir() { return TEST_SUPPORT_BIN_DIR; }

std::string binPath(const std::string& program) { return binDir() + "/" + program; }

}  // namespace test_support
