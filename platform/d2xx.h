// The USB-DMX interface as the output cycle sees it: seven calls with the shape of the FTDI
// vendor driver (list, open, reset, timeouts, queue status, write, close) and its status codes.
// Two implementations: libftdi1 for real devices (any FTDI chip, vendor 0x0403) and a
// simulated device for tests and demos. SPIRELO_USB=simulated[:PATH] selects the simulated
// one for the running program; with PATH every frame written is also appended to that file.
#pragma once

#include <cstdint>
#include <memory>

namespace spirelo {

using FT_STATUS = uint32_t;
using FT_HANDLE = void*;

// The statuses the link's texts distinguish; anything else the layer reports is FT_OTHER_ERROR.
enum : FT_STATUS {
    FT_OK = 0,
    FT_INVALID_HANDLE = 1,
    FT_DEVICE_NOT_FOUND = 2,
    FT_DEVICE_NOT_OPENED = 3,
    FT_IO_ERROR = 4,
    FT_INSUFFICIENT_RESOURCES = 5,
    FT_INVALID_PARAMETER = 6,
    FT_OTHER_ERROR = 99,
};

// FT_ListDevices flags (values of our own).
enum : uint32_t {
    FT_LIST_NUMBER_ONLY = 0x01,
    FT_LIST_BY_INDEX = 0x02,
    FT_OPEN_BY_SERIAL_NUMBER = 0x10,
};

// A serial-number buffer given to FT_ListDevices holds this many bytes; the layer writes at
// most kFtSerialBufferBytes - 1 characters and a NUL.
inline constexpr int kFtSerialBufferBytes = 50;

class D2xx {
public:
    virtual ~D2xx() = default;
    // FT_LIST_NUMBER_ONLY: arg1 -> uint32_t count, arg2 unused.
    // FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER: arg1 is the index (as a pointer value), arg2
    // a buffer of kFtSerialBufferBytes for the device's serial number.
    virtual FT_STATUS FT_ListDevices(void* arg1, void* arg2, uint32_t flags) = 0;
    virtual FT_STATUS FT_Open(int index, FT_HANDLE* handle) = 0;
    virtual FT_STATUS FT_Close(FT_HANDLE handle) = 0;
    virtual FT_STATUS FT_ResetDevice(FT_HANDLE handle) = 0;
    virtual FT_STATUS FT_SetTimeouts(FT_HANDLE handle, uint32_t readMs, uint32_t writeMs) = 0;
    // Bytes waiting to be read; fails when the device is gone, which makes it the link's probe.
    virtual FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, uint32_t* rxBytes) = 0;
    virtual FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, uint32_t length, uint32_t* written) = 0;
};

// libftdi1 on its own USB context per open device; listing uses a context of its own.
std::unique_ptr<D2xx> MakeLibFtdiD2xx();

// The one the running program uses: chosen from SPIRELO_USB on first use, unless a test
// installed its own.
D2xx& D2xxInstance();
void InstallD2xx(std::shared_ptr<D2xx> d2xx);   // nullptr: choose from the environment again

}  // namespace spirelo
