// The section suffix each test process takes for itself (see private_sections.cpp).
#pragma once

#include <string>

#include <sys/types.h>

namespace spirelo::test {

// `given` (the environment's suffix, or null) kept in front, filtered as the programs filter
// it and shortened so that the process's own part always fits the suffix's length limit.
std::string PrivateSectionSuffix(const char* given, pid_t pid);

}  // namespace spirelo::test
