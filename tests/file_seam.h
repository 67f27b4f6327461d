// Installs a test seam of the file layer for one scope, so a failing assertion never leaves it
// set for the tests that follow.
#pragma once

#include "common/file_io.h"

#include <utility>

namespace spirelo::test {

class FileSeamScope {
public:
    explicit FileSeamScope(FileLayerSeam seam) { SetFileLayerSeam(std::move(seam)); }
    ~FileSeamScope() { SetFileLayerSeam({}); }
    FileSeamScope(const FileSeamScope&) = delete;
    FileSeamScope& operator=(const FileSeamScope&) = delete;
};

}  // namespace spirelo::test
