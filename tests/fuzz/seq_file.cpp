// The sequencer file in every known size and others, loaded as the open does (reset, then the
// blocks); and the channel-definition file, which only the one size changes.
#include "core/seq_file.h"
#include "fuzz_input.h"

using namespace spirelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<ShowData> d = MakeShowData();
    fuzz::Input in(data, size);
    const bool def = in.byte() & 1;
    const std::vector<uint8_t> file =
        def ? fuzz::SizedFile(in, {kDefFileSize})
            : fuzz::SizedFile(in, {kSeqFileSizeOldest, kSeqFileSize2016, kSeqFileSize});
    if (def) {
        const std::vector<uint8_t> before = SeqFileBytes(*d);
        if (!ApplyDefFileBytes(*d, file.data(), file.size())) {
            fuzz::Check(SeqFileBytes(*d) == before, "a refused definition file changed the show");
            return 0;
        }
        const std::vector<uint8_t> once = SeqFileBytes(*d);
        ApplyDefFileBytes(*d, file.data(), file.size());
        fuzz::Check(SeqFileBytes(*d) == once, "a definition file loads differently twice");
        return 0;
    }
    const bool known = file.size() == kSeqFileSize || file.size() == kSeqFileSize2016 ||
                       file.size() == kSeqFileSizeOldest;
    if (!known) {
        // Whole-file copies are slow under the sanitizers: the refused path alone pays for one.
        const std::vector<uint8_t> before = SeqFileBytes(*d);
        fuzz::Check(!ApplySeqFileBytes(*d, file.data(), file.size()), "a sequencer file of no known size was read");
        fuzz::Check(SeqFileBytes(*d) == before, "a refused sequencer file changed the show");
        return 0;
    }
    ResetSequenceDataBeforeLoad(*d);
    fuzz::Check(ApplySeqFileBytes(*d, file.data(), file.size()), "a sequencer file of a known size was refused");
    const std::vector<uint8_t> saved = SeqFileBytes(*d);
    if (file.size() == kSeqFileSize) {
        fuzz::Check(saved == file, "a sequencer file does not save back byte for byte");
        return 0;
    }
    ResetSequenceDataBeforeLoad(*d);
    fuzz::Check(ApplySeqFileBytes(*d, saved.data(), saved.size()) && SeqFileBytes(*d) == saved,
                "an older sequencer file, saved, does not load back unchanged");
    return 0;
}
