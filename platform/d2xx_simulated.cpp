#include "platform/d2xx_simulated.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace spirelo {

SimulatedD2xx::SimulatedD2xx(std::string serial, std::string appendPath)
    : serial_(std::move(serial)), appendPath_(std::move(appendPath)) {
    if (!appendPath_.empty())
        appendFd_ = ::open(appendPath_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

SimulatedD2xx::~SimulatedD2xx() {
    for (Handle* h : handles_) delete h;
    if (appendFd_ >= 0) ::close(appendFd_);
}

SimulatedD2xx::Handle* SimulatedD2xx::find(FT_HANDLE h) {
    auto it = std::find(handles_.begin(), handles_.end(), static_cast<Handle*>(h));
    return it == handles_.end() ? nullptr : *it;
}

FT_STATUS SimulatedD2xx::FT_ListDevices(void* arg1, void* arg2, uint32_t flags) {
    std::lock_guard lock(m_);
    uint32_t count = present_ ? 1 : 0;
    if (flags == FT_LIST_NUMBER_ONLY) {
        if (!arg1) return FT_INVALID_PARAMETER;
        *static_cast<uint32_t*>(arg1) = count;
        return FT_OK;
    }
    if (flags == (FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER)) {
        auto index = reinterpret_cast<uintptr_t>(arg1);
        if (!arg2) return FT_INVALID_PARAMETER;
        if (index >= count) return FT_DEVICE_NOT_FOUND;
        char* out = static_cast<char*>(arg2);
        size_t n = std::min(serial_.size(), size_t(kFtSerialBufferBytes - 1));
        std::memcpy(out, serial_.data(), n);
        out[n] = '\0';
        return FT_OK;
    }
    return FT_INVALID_PARAMETER;
}

FT_STATUS SimulatedD2xx::FT_Open(int index, FT_HANDLE* handle) {
    std::lock_guard lock(m_);
    if (!handle) return FT_INVALID_PARAMETER;
    if (!present_ || index != 0) return FT_DEVICE_NOT_FOUND;
    if (failOpens_ > 0) {
        --failOpens_;
        return failOpenStatus_;
    }
    for (Handle* h : handles_)
        if (live(h)) return FT_DEVICE_NOT_OPENED;   // already open
    auto* h = new Handle{nextId_++, generation_};
    handles_.push_back(h);
    ++counters_.opens;
    *handle = h;
    return FT_OK;
}

FT_STATUS SimulatedD2xx::FT_Close(FT_HANDLE handle) {
    std::lock_guard lock(m_);
    Handle* h = find(handle);
    if (!h) return FT_INVALID_HANDLE;
    handles_.erase(std::find(handles_.begin(), handles_.end(), h));
    delete h;
    ++counters_.closes;
    return FT_OK;
}

FT_STATUS SimulatedD2xx::FT_ResetDevice(FT_HANDLE handle) {
    std::lock_guard lock(m_);
    Handle* h = find(handle);
    if (!h) return FT_INVALID_HANDLE;
    if (!live(h)) return FT_IO_ERROR;
    ++counters_.resets;
    return FT_OK;
}

FT_STATUS SimulatedD2xx::FT_SetTimeouts(FT_HANDLE handle, uint32_t readMs, uint32_t writeMs) {
    std::lock_guard lock(m_);
    Handle* h = find(handle);
    if (!h) return FT_INVALID_HANDLE;
    if (!live(h)) return FT_IO_ERROR;
    ++counters_.timeoutSets;
    counters_.readTimeout = readMs;
    counters_.writeTimeout = writeMs;
    return FT_OK;
}

FT_STATUS SimulatedD2xx::FT_GetQueueStatus(FT_HANDLE handle, uint32_t* rxBytes) {
    std::lock_guard lock(m_);
    Handle* h = find(handle);
    if (!h) return FT_INVALID_HANDLE;
    if (!live(h)) return FT_IO_ERROR;
    if (rxBytes) *rxBytes = 0;
    return FT_OK;
}

FT_STATUS SimulatedD2xx::FT_Write(FT_HANDLE handle, const void* buffer, uint32_t length, uint32_t* written) {
    std::lock_guard lock(m_);
    if (written) *written = 0;
    Handle* h = find(handle);
    if (!h) return FT_INVALID_HANDLE;
    if (!live(h)) {
        ++counters_.failedWrites;
        return FT_IO_ERROR;
    }
    if (failWrites_ > 0) {
        --failWrites_;
        ++counters_.failedWrites;
        return failWriteStatus_;
    }
    const auto* p = static_cast<const uint8_t*>(buffer);
    frames_.emplace_back(p, p + length);
    if (frames_.size() > kKeptFrames) frames_.pop_front();
    ++frameCount_;
    if (appendFd_ >= 0) {
        // One write per frame, so a reader of the file sees whole frames.
        size_t done = 0;
        while (done < length) {
            ssize_t n = ::write(appendFd_, p + done, length - done);
            if (n <= 0) break;
            done += size_t(n);
        }
    }
    if (written) *written = length;
    return FT_OK;
}

void SimulatedD2xx::unplug() {
    std::lock_guard lock(m_);
    present_ = false;
    ++generation_;
}

void SimulatedD2xx::plug() {
    std::lock_guard lock(m_);
    present_ = true;
}

bool SimulatedD2xx::present() const {
    std::lock_guard lock(m_);
    return present_;
}

void SimulatedD2xx::failWrites(int n, FT_STATUS status) {
    std::lock_guard lock(m_);
    failWrites_ = n;
    failWriteStatus_ = status;
}

void SimulatedD2xx::failOpens(int n, FT_STATUS status) {
    std::lock_guard lock(m_);
    failOpens_ = n;
    failOpenStatus_ = status;
}

SimulatedD2xx::Counters SimulatedD2xx::counters() const {
    std::lock_guard lock(m_);
    Counters c = counters_;
    c.openHandles = int(handles_.size());
    return c;
}

std::vector<std::vector<uint8_t>> SimulatedD2xx::frames() const {
    std::lock_guard lock(m_);
    return {frames_.begin(), frames_.end()};
}

size_t SimulatedD2xx::frameCount() const {
    std::lock_guard lock(m_);
    return frameCount_;
}

void SimulatedD2xx::clearFrames() {
    std::lock_guard lock(m_);
    frames_.clear();
    frameCount_ = 0;
}

}  // namespace spirelo
