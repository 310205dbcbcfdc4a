#pragma once
// Where the build put the project's programs.
#include <string>

namespace test_support {

// The build's binary folder (build/bin), without a trailing slash.
std::string binDir();
// binDir() + "/" + program.
std::string binPath(const std::string& program);

}  // namespace test_support
