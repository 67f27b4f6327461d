// Every test process works on its own shared-memory sections and guard file, so a test run never
// touches a show playing on the same machine, nor another test process running beside it.
// Runs before any static object that might read the names; children (the end-to-end test's
// programs) inherit it.
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

__attribute__((constructor(101))) void PrivateSectionSuffix() {
    if (std::getenv("SPIRELO_SECTION_SUFFIX")) return;
    const std::string suffix = "-test" + std::to_string(::getpid());
    ::setenv("SPIRELO_SECTION_SUFFIX", suffix.c_str(), 1);
}

}  // namespace
