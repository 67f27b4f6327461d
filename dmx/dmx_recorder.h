// The raw DMX recorder: the final output frames of a show run, kept in memory and written to
// a ".dmx" file beside the show (DmxRecordCount x 512 bytes, frame k = DmxOut[1..512] of the
// k-th recorded cycle, no header).
#pragma once

#include "common/file_io.h"
#include "core/show_data.h"

#include <cstdint>
#include <memory>
#include <string>

namespace spirelo {

inline constexpr int kDmxRecordFrames = 18001;   // allocated; up to 18,000 used
inline constexpr int kDmxRecordLimit = 18000;

class DmxRecorder {
public:
    DmxRecorder();

    // A new recording: the count goes back to 0 (the frames are overwritten as they come).
    void Start() { DmxRecordCount = 0; }
    // Step C4 of the output cycle: one frame while recording is ticked, the mode is dynamic or
    // dance and the buffer is not full. Returns whether a frame was appended.
    bool Append(const ShowData& d, bool recordTicked);

    // StripExt(projectFile) + ".dmx".
    static std::string FileName(const std::string& projectFile);
    // Writes the recorded frames atomically (a failure is told to the user); with none,
    // nothing is written and wrote is false.
    struct SaveResult {
        bool wrote = false;
        IoResult io;
        std::string path;
    };
    SaveResult Save(const std::string& projectFile) const;

    const uint8_t* Frame(int k) const { return buffer_.get() + size_t(k) * kChannels; }

    int32_t DmxRecordCount = 0;

private:
    std::unique_ptr<uint8_t[]> buffer_;   // DmxRecordBuffer, kDmxRecordFrames x 512
};

DmxRecorder& DmxRecorderInstance();

}  // namespace spirelo
