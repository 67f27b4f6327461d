// What the media player needs of the engine beyond the BASS_ calls: channels of its own that
// need no BASS_Init and survive BASS_Free.
#pragma once

#include <string>

#include "platform/audio.h"

namespace spirelo {

// Opens a stream, else a module; starts the output when it is not running. 0 on failure.
AudioHandle AudioOpenMediaChannel(const std::string& path);
void AudioFreeMediaChannel(AudioHandle handle);

}  // namespace spirelo
