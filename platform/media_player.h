// The background-music player: one file at a time on a channel of its own, playing beside the
// show's channel through the same output (and the same wave-out gain). Times in milliseconds.
// It works whether or not BASS_Init has run; the output starts with the first open.
#pragma once

#include <cstdint>
#include <string>

#include "platform/audio.h"

namespace spirelo {

class MediaPlayer {
public:
    MediaPlayer() = default;
    ~MediaPlayer();
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    // Opens a file by content (stream or module), closing the previous one; stopped at 0.
    // False (and nothing open) when the file cannot be played.
    bool Open(const std::string& fileName);
    void Close();
    bool IsOpen() const;
    const std::string& FileName() const { return fileName_; }

    bool Play();                       // from the position; at the end, nothing more is heard
    void Stop();                       // keeps the position
    bool IsPlaying() const;            // false once the end has been heard
    std::int64_t PositionMs() const;   // 0 when nothing is open
    std::int64_t LengthMs() const;     // 0 when nothing is open
    bool SeekMs(std::int64_t ms);      // clamped to 0..length; keeps playing or stopped

    AudioHandle Channel() const { return channel_; }

private:
    AudioHandle channel_ = 0;
    std::string fileName_;
};

}  // namespace spirelo
