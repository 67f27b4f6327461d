// A playback stream on an ALSA device: 16-bit stereo, blocking writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace spirelo {

class AlsaPcm {
public:
    // Opens `device` ("default" reaches PipeWire or PulseAudio on desktops) at `rate`, with
    // about `latencyUs` of buffer. Null with the reason in *error when it cannot be used.
    static std::unique_ptr<AlsaPcm> Open(const char* device, std::uint32_t rate, unsigned latencyUs,
                                         std::string* error);
    ~AlsaPcm();
    AlsaPcm(const AlsaPcm&) = delete;
    AlsaPcm& operator=(const AlsaPcm&) = delete;

    // Hands all frames to the device, recovering from under-runs; false when the device is gone.
    bool Write(const std::int16_t* frames, std::size_t count, std::string* error);
    // Of the frames handed over, those still in the device's ring (*queued) and those not yet
    // heard (*delay), read together; false when unknown.
    bool Queue(long* queued, long* delay);
    // The buffer the device granted, in frames.
    std::size_t BufferFrames() const { return buffer_; }
    // snd_pcm_recover calls of every stream so far.
    static std::uint64_t Recoveries();

private:
    AlsaPcm(void* pcm, std::size_t buffer) : pcm_(pcm), buffer_(buffer) {}
    void* pcm_;
    std::size_t buffer_;
};

}  // namespace spirelo
