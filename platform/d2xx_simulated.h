// A USB-DMX interface that exists only in memory: it records every frame written, can be
// unplugged and plugged back, and can be told to fail writes or opens. Unplugging makes every
// open handle stale (probe and write fail until the handle is closed and a new one opened), and
// a device that is still open refuses a second open, as a real one does.
#pragma once

#include "platform/d2xx.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace spirelo {

class SimulatedD2xx : public D2xx {
public:
    explicit SimulatedD2xx(std::string serial = "SIM00001", std::string appendPath = "");
    ~SimulatedD2xx() override;

    FT_STATUS FT_ListDevices(void* arg1, void* arg2, uint32_t flags) override;
    FT_STATUS FT_Open(int index, FT_HANDLE* handle) override;
    FT_STATUS FT_Close(FT_HANDLE handle) override;
    FT_STATUS FT_ResetDevice(FT_HANDLE handle) override;
    FT_STATUS FT_SetTimeouts(FT_HANDLE handle, uint32_t readMs, uint32_t writeMs) override;
    FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, uint32_t* rxBytes) override;
    FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, uint32_t length, uint32_t* written) override;

    void unplug();
    void plug();
    bool present() const;
    // The next n writes fail with status (the device stays present).
    void failWrites(int n, FT_STATUS status = FT_IO_ERROR);
    // The next n opens fail with status.
    void failOpens(int n, FT_STATUS status = FT_DEVICE_NOT_OPENED);

    struct Counters {
        int opens = 0;        // successful opens
        int closes = 0;       // successful closes
        int resets = 0;
        int timeoutSets = 0;
        uint32_t readTimeout = 0, writeTimeout = 0;
        int openHandles = 0;  // handles opened and not yet closed (stale ones included)
        int failedWrites = 0;
    };
    Counters counters() const;
    // The most recent frames (at most kKeptFrames, so a long demo run stays small).
    std::vector<std::vector<uint8_t>> frames() const;
    size_t frameCount() const;          // every frame written since the last clearFrames
    void clearFrames();
    static constexpr size_t kKeptFrames = 4096;

private:
    struct Handle { uint64_t id; uint64_t generation; };
    Handle* find(FT_HANDLE h);
    bool live(const Handle* h) const { return h && present_ && h->generation == generation_; }

    mutable std::mutex m_;
    std::string serial_;
    std::string appendPath_;
    int appendFd_ = -1;
    bool present_ = true;
    uint64_t generation_ = 1;
    uint64_t nextId_ = 1;
    std::vector<Handle*> handles_;
    int failWrites_ = 0;
    FT_STATUS failWriteStatus_ = FT_IO_ERROR;
    int failOpens_ = 0;
    FT_STATUS failOpenStatus_ = FT_DEVICE_NOT_OPENED;
    Counters counters_;
    std::deque<std::vector<uint8_t>> frames_;
    size_t frameCount_ = 0;
};

}  // namespace spirelo
