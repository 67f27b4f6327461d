// The macro file: any length; 32,768 bytes or more fill the table from the first 32,768, a
// shorter file changes nothing.
#include "core/macro_file.h"
#include "fuzz_input.h"

using namespace spirelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<ShowData> d = MakeShowData();
    fuzz::Input in(data, size);
    const std::vector<uint8_t> file = fuzz::SizedFile(in, {kMacroFileSize, kMacroFileSize + 1});
    std::vector<uint8_t> before(kMacroFileSize);
    std::memcpy(before.data(), d->MacroTable, kMacroFileSize);
    if (!ApplyMacroFileBytes(*d, file.data(), file.size())) {
        fuzz::Check(file.size() < kMacroFileSize, "a long enough macro file was refused");
        fuzz::Check(std::memcmp(before.data(), d->MacroTable, kMacroFileSize) == 0,
                    "a refused macro file changed the table");
        return 0;
    }
    fuzz::Check(std::memcmp(file.data(), d->MacroTable, kMacroFileSize) == 0,
                "the macro table is not the file's first 32,768 bytes");
    return 0;
}
