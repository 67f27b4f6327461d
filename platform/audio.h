// The controller's audio engine: music playback, positions and analysis, with the call shapes
// the player and the show tick use. Files are decoded by content (libsndfile, libmpg123,
// libopenmpt), played through ALSA's "default" device, or through a real-time null output when
// there is no usable device (or SPIRELO_AUDIO=null is set), so the show clock always runs.
//
// Units: every byte position and length counts 16-bit samples at the file's own rate and
// channel count (a 60 s 44.1 kHz stereo file is 10,584,000 bytes). Positions are frame
// aligned: a byte offset inside a frame is rounded down to the frame's start.
//
// Every call is safe from any thread (the GUI thread and the peak-scan thread use it at the
// same time) and on a zero, freed or foreign handle: it then fails and sets the error code of
// the calling thread. Handles are never reused within a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace spirelo {

using AudioHandle = std::uint32_t;   // a stream or a module; 0 is never a valid handle

// Values callers pass.
inline constexpr std::uint32_t BASS_POS_BYTE = 0;
inline constexpr std::uint32_t BASS_ATTRIB_FREQ = 1;          // playback rate in Hz
inline constexpr std::uint32_t BASS_ATTRIB_VOL = 2;           // 0..1
inline constexpr std::uint32_t BASS_STREAM_DECODE = 0x200000; // decode only: no output
inline constexpr std::uint32_t BASS_MUSIC_DECODE = 0x200000;
inline constexpr std::uint32_t kMusicShowFlags = 0x28400;     // the flags the player loads modules with
inline constexpr std::uint32_t BASS_DATA_FFT256 = 0x80000000; // 128 float magnitudes
inline constexpr std::uint32_t BASS_ACTIVE_STOPPED = 0;
inline constexpr std::uint32_t BASS_ACTIVE_PLAYING = 1;

// What a failing call returns.
inline constexpr std::uint64_t kAudioBadPosition = ~std::uint64_t{0};   // positions, lengths, byte counts
inline constexpr std::uint32_t kAudioBadData = ~std::uint32_t{0};       // BASS_ChannelGetData

// Codes of BASS_ErrorGetCode (our own numbering).
enum AudioError : int {
    kAudioOk = 0,
    kAudioErrorNotInitialised = 1,   // no BASS_Init, or after BASS_Free
    kAudioErrorAlready = 2,          // BASS_Init twice
    kAudioErrorHandle = 3,           // zero, freed or wrong kind of handle
    kAudioErrorFileOpen = 4,         // the file cannot be read
    kAudioErrorFormat = 5,           // not a format this call opens
    kAudioErrorParameter = 6,        // unsupported argument (memory source, offset, mode ...)
    kAudioErrorPosition = 7,         // position beyond the length
    kAudioErrorDecodeChannel = 8,    // playing a decode-only channel
    kAudioErrorNotPlaying = 9,       // data of a channel that is not playing
    kAudioErrorEnded = 10,           // decode channel at its end
    kAudioErrorDevice = 11,          // no such output device
    kAudioErrorMemory = 12,
};

// Version: the high 16 bits are 0x0204.
std::uint32_t BASS_GetVersion();

// device -1 is the default output (ALSA "default", else the null output); 0 is the null output.
// freq is the output rate (0 = 44100); flags, window and classId are ignored. On ALSA it returns
// once the device plays what it is given (at most 3 s: a sound server's idle sink may take
// seconds to wake), so that the first play starts at once.
bool BASS_Init(int device, std::uint32_t freq, std::uint32_t flags, void* window, const void* classId);
// Frees every stream and module and closes the output (the media player keeps its own).
bool BASS_Free();
int BASS_ErrorGetCode();             // of the calling thread's last call

// Master gain of the program's own output (not the system mixer), 0..1; default 1.
bool BASS_SetVolume(float volume);
float BASS_GetVolume();

// Streams: WAV, AIFF, FLAC, OGG and MPEG audio, recognised by content. mem must be false,
// offset and length 0. flags 0 or BASS_STREAM_DECODE. Returns 0 on failure.
AudioHandle BASS_StreamCreateFile(bool mem, const char* file, std::uint64_t offset,
                                  std::uint64_t length, std::uint32_t flags);
// Tracker modules, recognised by content, rendered in stereo at freq (0 = the output rate).
AudioHandle BASS_MusicLoad(bool mem, const char* file, std::uint64_t offset, std::uint32_t length,
                           std::uint32_t flags, std::uint32_t freq);
// BASS_StreamFree frees a stream or a module (so a decode copy is freed whatever it holds);
// BASS_MusicFree frees modules only and fails on a stream.
bool BASS_StreamFree(AudioHandle handle);
bool BASS_MusicFree(AudioHandle handle);

// Play: restart = true starts from the beginning; false resumes at the position and does
// nothing on a channel that is already playing. Stop keeps the heard position.
bool BASS_ChannelPlay(AudioHandle handle, bool restart);
bool BASS_ChannelStop(AudioHandle handle);
// Playing channel: 1 until its last sample has been heard. Decode channel: 1 while data remain.
std::uint32_t BASS_ChannelIsActive(AudioHandle handle);

// mode BASS_POS_BYTE only. Length is exact (MPEG audio is scanned on open).
std::uint64_t BASS_ChannelGetLength(AudioHandle handle, std::uint32_t mode);
// Playing channel: what is heard now (frames handed to the device minus its delay,
// interpolated, never backwards while playing; equal to the set position right after a set).
// Stopped channel: where it stopped. Decode channel: how far it has been decoded.
std::uint64_t BASS_ChannelGetPosition(AudioHandle handle, std::uint32_t mode);
// Fails (position unchanged) beyond the length; the length itself is allowed.
bool BASS_ChannelSetPosition(AudioHandle handle, std::uint64_t position, std::uint32_t mode);
double BASS_ChannelBytes2Seconds(AudioHandle handle, std::uint64_t bytes);   // < 0 on failure
std::uint64_t BASS_ChannelSeconds2Bytes(AudioHandle handle, double seconds); // whole frames

// BASS_ATTRIB_VOL 0..1 (clamped); BASS_ATTRIB_FREQ the playback rate in Hz (100..384000;
// the file's own rate at open; positions still count the file's bytes).
bool BASS_ChannelSetAttribute(AudioHandle handle, std::uint32_t attribute, float value);
bool BASS_ChannelGetAttribute(AudioHandle handle, std::uint32_t attribute, float* value);

// Peak of about 20 ms: left in the low 16 bits, right in the high 16 bits, each 0..32768.
// Playing channel: the 20 ms heard last. Decode channel: decodes the next 20 ms slice.
// Returns 0 on failure (and at the end of a decode channel), with the error code set.
std::uint32_t BASS_ChannelGetLevel(AudioHandle handle);
// length BASS_DATA_FFT256: 128 floats, magnitudes of the 256 frames heard last (mono mix,
// Hann window; a full-scale sine gives about 1.0 at its bin). Otherwise length is a byte count
// of raw 16-bit interleaved samples (the most recently heard ones). A decode channel decodes
// and advances instead. Returns the bytes written, or kAudioBadData with the buffer zeroed.
std::uint32_t BASS_ChannelGetData(AudioHandle handle, void* buffer, std::uint32_t length);

// The wave-out gain: process-wide left/right gain of the engine's output (0..65535 each,
// 65535 = unity, both at start), applied to the show's channel and the media player alike.
void SetWaveOutGain(std::uint16_t left, std::uint16_t right);
std::uint32_t WaveOutGain();         // left in the low, right in the high 16 bits

// ---- Output selection and test hooks ----

enum class AudioOutputKind {
    Default,   // ALSA "default", falling back to Null when it cannot be opened
    Null,      // real time on the monotonic clock, audio discarded
    Manual,    // no thread, no clock: a test hands frames over with AudioManualAdvance
};

// The output the next start uses (BASS_Init, or the media player starting the engine).
// Default unless set; the environment variable SPIRELO_AUDIO=null forces Null for Default.
void AudioSetOutputKind(AudioOutputKind kind);
// What the running output is: "alsa:default", "null", "manual", or "" when stopped.
std::string AudioOutputName();
std::uint32_t AudioOutputRate();     // frames per second of the running output, 0 when stopped
// Under-runs the sound device recovered from (snd_pcm_recover calls) since the program started.
std::uint64_t AudioOutputRecoveries();

// Manual output: mix `frames` frames as if the device had taken and played them. The stereo
// 16-bit mix is appended to *mixed when given. Returns the frames mixed (0 unless manual).
std::size_t AudioManualAdvance(std::size_t frames, std::vector<std::int16_t>* mixed = nullptr);
// Manual output: the next advance behaves like a lost device; the engine goes on on the null
// output, with the clock continuing from what was heard.
void AudioManualFailDevice();

}  // namespace spirelo
