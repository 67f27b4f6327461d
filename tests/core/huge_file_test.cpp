#include "core_fixture.h"

#include "core/macro_file.h"
#include "core/seq_file.h"
#include "core/track_file.h"

#include <fstream>
#include <unistd.h>

namespace spirelo::test {

namespace {
// Bytes this process has read through read() and its kin so far.
uint64_t BytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}
}  // namespace

// A huge file opened by mistake is refused by its size before any of it is read, as a show,
// a sequencer file, a definition file or a macro file.
TEST_F(CoreFiles, AHugeFileIsRefusedBeforeItIsRead) {
    const size_t huge = 64u << 20;   // sparse: no disk, but reading it would cost 64 MB
    for (const char* name : {"huge.trk", "huge.seq", "Spirelo.def", "huge.mcr"}) {
        std::ofstream(path(name)).close();
        ASSERT_EQ(::truncate(path(name).c_str(), off_t(huge)), 0);
    }
    const uint64_t before = BytesReadSoFar();
    d->sNameFileProject = path("show.trk");
    EXPECT_EQ(OpenTrackFile(*d, path("huge.trk")), FileLoad::UnknownSize);
    d->sNameFileSeq = path("show.seq");
    EXPECT_EQ(OpenSeqFile(*d, path("huge.seq")), FileLoad::UnknownSize);
    EXPECT_EQ(OpenDefFile(*d), FileLoad::UnknownSize);
    d->sNameFileSeq = path("huge.seq");
    EXPECT_EQ(OpenMacrosFile(*d), FileLoad::Loaded);   // a longer macro file: its first 32,768 bytes
    const uint64_t read = BytesReadSoFar() - before;
    EXPECT_LT(read, uint64_t(1) << 20) << "bytes read: " << read;
    EXPECT_EQ(d->sNameFileProject, path("show.trk"));
    EXPECT_EQ(d->sNameFileSeq, path("huge.seq"));
}

}  // namespace spirelo::test
