#include "dmx/dmx_recorder.h"

#include "core/data_files.h"
#include "core/text_routines.h"

#include <algorithm>

#include <cstring>

namespace spirelo {

DmxRecorder::DmxRecorder() : buffer_(new uint8_t[size_t(kDmxRecordFrames) * kChannels]()) {}

bool DmxRecorder::Append(const ShowData& d, bool recordTicked) {
    if (!recordTicked || (d.AquelMode != 3 && d.AquelMode != 4)) return false;
    if (DmxRecordCount < 0 || DmxRecordCount >= kDmxRecordLimit) return false;
    std::memcpy(buffer_.get() + size_t(DmxRecordCount) * kChannels, d.DmxOut + 1, kChannels);
    ++DmxRecordCount;
    return true;
}

std::string DmxRecorder::FileName(const std::string& projectFile) { return StripExt(projectFile) + ".dmx"; }

DmxRecorder::SaveResult DmxRecorder::Save(const std::string& projectFile) const {
    SaveResult r;
    r.path = FileName(projectFile);
    if (DmxRecordCount <= 0) return r;
    r.wrote = true;
    const size_t frames = size_t(std::min(DmxRecordCount, kDmxRecordLimit));
    r.io = WriteFileAtomic(r.path, buffer_.get(), frames * kChannels);
    if (!r.io) ReportWriteFailure(r.path, r.io);
    return r;
}

DmxRecorder& DmxRecorderInstance() {
    static DmxRecorder recorder;
    return recorder;
}

}  // namespace spirelo
