#include "platform/media_player.h"

#include <algorithm>
#include <cmath>

#include "platform/audio_internal.h"

namespace spirelo {

MediaPlayer::~MediaPlayer() { Close(); }

bool MediaPlayer::Open(const std::string& fileName) {
    Close();
    channel_ = AudioOpenMediaChannel(fileName);
    if (!channel_) return false;
    fileName_ = fileName;
    return true;
}

void MediaPlayer::Close() {
    if (channel_) AudioFreeMediaChannel(channel_);
    channel_ = 0;
    fileName_.clear();
}

bool MediaPlayer::IsOpen() const { return channel_ != 0; }

bool MediaPlayer::Play() { return channel_ && BASS_ChannelPlay(channel_, false); }

void MediaPlayer::Stop() {
    if (channel_) BASS_ChannelStop(channel_);
}

bool MediaPlayer::IsPlaying() const {
    return channel_ && BASS_ChannelIsActive(channel_) == BASS_ACTIVE_PLAYING;
}

namespace {

std::int64_t BytesToMs(AudioHandle channel, std::uint64_t bytes) {
    if (bytes == kAudioBadPosition) return 0;
    double seconds = BASS_ChannelBytes2Seconds(channel, bytes);
    return seconds > 0 ? static_cast<std::int64_t>(std::floor(seconds * 1000.0)) : 0;
}

}  // namespace

std::int64_t MediaPlayer::PositionMs() const {
    return channel_ ? BytesToMs(channel_, BASS_ChannelGetPosition(channel_, BASS_POS_BYTE)) : 0;
}

std::int64_t MediaPlayer::LengthMs() const {
    return channel_ ? BytesToMs(channel_, BASS_ChannelGetLength(channel_, BASS_POS_BYTE)) : 0;
}

bool MediaPlayer::SeekMs(std::int64_t ms) {
    if (!channel_) return false;
    std::uint64_t length = BASS_ChannelGetLength(channel_, BASS_POS_BYTE);
    if (length == kAudioBadPosition) return false;
    ms = std::max<std::int64_t>(ms, 0);
    std::uint64_t bytes = BASS_ChannelSeconds2Bytes(channel_, static_cast<double>(ms) / 1000.0);
    if (bytes == kAudioBadPosition) return false;
    return BASS_ChannelSetPosition(channel_, std::min(bytes, length), BASS_POS_BYTE);
}

}  // namespace spirelo
