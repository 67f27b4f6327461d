// Every test process works on its own shared-memory sections and guard file, so a test run never
// touches a show playing on the same machine, nor another test process running beside it, even
// when the shell exports a suffix of its own: that one is kept in front of the process's.
// Runs before any static object that might read the names; children (the end-to-end test's
// programs) inherit it.
#include "tests/private_sections.h"

#include "common/live_data.h"

#include <cstdlib>
#include <unistd.h>

namespace spirelo::test {

std::string PrivateSectionSuffix(const char* given, pid_t pid) {
    // Ends in a non-digit: a name followed by a user's id (OwnSectionName) never becomes
    // another test process's plain name ("-test12" + "34" against "-test1234").
    const std::string own = "-test" + std::to_string(pid) + "-";
    std::string prefix = SectionSuffixFrom(given);
    const size_t room = SectionSuffixFrom(std::string(200, 'x').c_str()).size();
    if (prefix.size() + own.size() > room) prefix.resize(room > own.size() ? room - own.size() : 0);
    return prefix + own;
}

}  // namespace spirelo::test

namespace {

__attribute__((constructor(101))) void TakeAPrivateSectionSuffix() {
    const std::string suffix = spirelo::test::PrivateSectionSuffix(std::getenv("SPIRELO_SECTION_SUFFIX"), ::getpid());
    ::setenv("SPIRELO_SECTION_SUFFIX", suffix.c_str(), 1);
}

}  // namespace
