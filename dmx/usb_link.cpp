#include "dmx/usb_link.h"

#include <chrono>
#include <cstring>
#include <mutex>

namespace spirelo {

namespace {
constexpr uint32_t kTimeoutMs = 500;
constexpr uint32_t kMaxListed = 64;   // a bogus count from the layer never loops for long

// The program's link, and the lock that keeps the window's calls and a darkening from another
// thread apart.
std::timed_mutex gLinkMutex;
UsbLink* gLink = nullptr;
}  // namespace

std::string D2xxStatusText(FT_STATUS status) {
    switch (status) {
    case FT_INVALID_HANDLE: return " - Ошибка Handle...";
    case FT_DEVICE_NOT_FOUND: return " - Устройство не найдено....";
    case FT_DEVICE_NOT_OPENED: return " - Устройство не открывается...";
    case FT_IO_ERROR: return " - Ошибка ввода-вывода...";
    case FT_INSUFFICIENT_RESOURCES: return " - Не хватает ресурсов...";
    case FT_INVALID_PARAMETER: return " - Неверный параметр ...";
    default: return "";
    }
}

UsbLink::UsbLink(D2xx& d2xx, uint32_t seed) : d2xx_(d2xx), rng_(seed) {
    std::lock_guard lock(gLinkMutex);
    gLink = this;
}

UsbLink::~UsbLink() {
    std::lock_guard lock(gLinkMutex);
    if (gLink == this) gLink = nullptr;
}

bool DarkenOpenLinkNow(int waitMs) {
    std::unique_lock lock(gLinkMutex, std::defer_lock);
    if (!lock.try_lock_for(std::chrono::milliseconds(waitMs))) return false;
    if (!gLink || !gLink->everOpened_) return false;
    UsbLink& l = *gLink;
    if (l.UsbDeviceOpened == 1 && l.UsbHandle) {
        l.writeDarkFrame(l.UsbHandle);
    } else {
        // It fell closed (a failed write) and the window thread, stuck, will not open it again:
        // one open of its own, as the close gives it, leaving the window's link state alone.
        FT_HANDLE h = nullptr;
        if (l.d2xx_.FT_Open(l.UsbDeviceIndex, &h) != FT_OK || !h) return false;
        l.d2xx_.FT_ResetDevice(h);
        l.d2xx_.FT_SetTimeouts(h, kTimeoutMs, kTimeoutMs);
        l.writeDarkFrame(h);
        l.d2xx_.FT_Close(h);
    }
    l.darkForGood_ = true;
    return true;
}

void UsbLink::writeDarkFrame(FT_HANDLE handle) {
    const uint8_t zeros[kChannelSlots] = {};
    FillSendBuffer(zeros, darkSend_, OutputFormat, StreamOffsetA, StreamOffsetB);
    const size_t length = BuildDmxUsbFrame(darkSend_, OutputFormat, StreamOffsetA, StreamOffsetB, darkFrame_);
    uint32_t written = 0;
    d2xx_.FT_Write(handle, darkFrame_, uint32_t(length), &written);
}

void UsbLink::FtErrorReport(const std::string& name, FT_STATUS status) {
    if (UsbReportFlag == 0) return;
    if (status == FT_OK) {
        D2xxMessage = "Interface present...";
        return;
    }
    UsbPortOk = 0;
    std::string text = D2xxStatusText(status);
    D2xxMessage = text.empty() ? std::string() : name + text;
}

FT_STATUS UsbLink::GetFTDeviceCount() {
    FT_STATUS s = d2xx_.FT_ListDevices(&UsbDeviceCount, nullptr, FT_LIST_NUMBER_ONLY);
    if (s != FT_OK) {
        UsbDeviceCount = 0;   // a failed listing shows no device rather than a stale count
        FtErrorReport("GetFTDeviceCount", s);
    }
    return s;
}

FT_STATUS UsbLink::GetFTDeviceSerialNo(uint32_t index) {
    FT_STATUS s = d2xx_.FT_ListDevices(reinterpret_cast<void*>(uintptr_t(index)), UsbSerialBuffer,
                                       FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER);
    if (s == FT_OK) UsbSerialNumber = FtSerialBufferToString();
    else FtErrorReport("GetFTDeviceSerialNo", s);
    return s;
}

std::string UsbLink::FtSerialBufferToString() {
    UsbSerialBuffer[kFtSerialBufferBytes - 1] = '\0';
    return std::string(UsbSerialBuffer);
}

FT_STATUS UsbLink::FtOpenDevice() {
    FT_STATUS s = d2xx_.FT_Open(UsbDeviceIndex, &UsbHandle);
    if (s != FT_OK) {
        UsbHandle = nullptr;
        FtErrorReport("FT_Open", s);
    }
    return s;
}

FT_STATUS UsbLink::FtCloseDevice() {
    FT_STATUS s = d2xx_.FT_Close(UsbHandle);
    UsbHandle = nullptr;
    UsbDeviceOpened = 0;
    if (s != FT_OK) FtErrorReport("FT_Close", s);
    return s;
}

FT_STATUS UsbLink::FtResetDevice() {
    FT_STATUS s = d2xx_.FT_ResetDevice(UsbHandle);
    if (s != FT_OK) FtErrorReport("FT_ResetDevice", s);
    return s;
}

FT_STATUS UsbLink::FtSetTimeouts(uint32_t readMs, uint32_t writeMs) {
    FT_STATUS s = d2xx_.FT_SetTimeouts(UsbHandle, readMs, writeMs);
    if (s != FT_OK) FtErrorReport("FT_SetTimeouts", s);
    return s;
}

FT_STATUS UsbLink::FtGetQueueStatus() {
    uint32_t rx = 0;
    FT_STATUS s = d2xx_.FT_GetQueueStatus(UsbHandle, &rx);
    if (s != FT_OK) FtErrorReport("FT_GetQueueStatus", s);
    return s;
}

uint32_t UsbLink::FtWriteOutBuffer(uint32_t length) {
    uint32_t written = 0;
    if (length > kUsbOutBufferSize) length = kUsbOutBufferSize;
    UsbWriteStatus = d2xx_.FT_Write(UsbHandle, UsbOutBuffer, length, &written);
    if (UsbWriteStatus != FT_OK) FtErrorReport("Интерфейс отключен от компьютера ", UsbWriteStatus);
    return written;
}

void UsbLink::dropHandle() {
    if (UsbHandle) d2xx_.FT_Close(UsbHandle);
    UsbHandle = nullptr;
    UsbDeviceOpened = 0;
}

void UsbLink::GetListAllDevise() {
    GetFTDeviceCount();
    uint32_t n = 0;
    const uint32_t count = UsbDeviceCount < kMaxListed ? UsbDeviceCount : kMaxListed;
    for (uint32_t k = 0; k < count; ++k) {
        GetFTDeviceSerialNo(k);
        UsbSerialText = "Serial " + UsbSerialNumber;
        ++n;
    }
    if (n > 0) {
        UsbStatusText = "Device is Present " + std::to_string(n) + " ";
    } else {
        UsbStatusText = "No USB devises ";
        UsbDeviceName = std::string(" ");
        UsbSerialText = std::string(" ");
        UsbPortOk = 0;
    }
}

void UsbLink::InitUsbDevise() {
    std::lock_guard lock(gLinkMutex);
    // A handle still open is closed first, so the open below does not meet a busy device.
    dropHandle();
    UsbListedFlag = 0;
    UsbPortOk = 0;
    UsbReportFlag = 1;
    UsbDeviceOpened = 0;
    GetListAllDevise();
    UsbOutBuffer[0] = 0xFF;
    std::memset(UsbOutBuffer + 1, 0, sizeof UsbOutBuffer - 1);
    ForTimerPolling();
}

void UsbLink::ForTimerPolling() {
    UsbReportFlag = 0;
    if (UsbListedFlag == 0) {
        UsbListedFlag = 1;
        GetListAllDevise();
    }
    if (UsbDeviceOpened == 1) {
        if (FtGetQueueStatus() != FT_OK) {
            // Unplugged: release the stale handle so the replugged device can be opened.
            UsbPortOk = 0;
            dropHandle();
        }
        return;
    }
    UsbListedFlag = 0;
    dropHandle();
    if (FtOpenDevice() == FT_OK) {
        UsbDeviceOpened = 1;
        everOpened_ = true;
        UsbPortOk = 1;
        FtResetDevice();
        FtSetTimeouts(kTimeoutMs, kTimeoutMs);
    }
}

void UsbLink::CloseUsbDevise() {
    std::lock_guard lock(gLinkMutex);
    // A link that fell closed during the run gets its one re-open here, so the dark frame goes out.
    ForTimerPolling();
    if (UsbDeviceOpened == 1 && UsbHandle) writeDarkFrame(UsbHandle);
    UsbPortOk = 0;
    if (UsbDeviceOpened == 1 || UsbHandle) FtCloseDevice();
}

void UsbLink::SetStreamFormat(bool on) {
    std::lock_guard lock(gLinkMutex);
    OutputFormat = on ? kOutputFormatStream : kOutputFormatPlain;
}

void UsbLink::SendToUsb(ShowData& d, DmxOutputState& st) {
    std::lock_guard lock(gLinkMutex);
    if (darkForGood_) return;
    ForTimerPolling();
    if (UsbPortOk != 1) return;
    if (OutputFormat == kOutputFormatStream) {
        std::uniform_int_distribution<int> offset(0, kStreamOffsetMax);
        StreamOffsetA = uint8_t(offset(rng_));
        StreamOffsetB = uint8_t(offset(rng_));
    }
    FillSendBuffer(d.DmxOut, d.DmxSendBuffer, OutputFormat, StreamOffsetA, StreamOffsetB);
    TapSendBuffer(d, st);
    UsbFrameLength = uint16_t(BuildDmxUsbFrame(d.DmxSendBuffer, OutputFormat, StreamOffsetA, StreamOffsetB, UsbOutBuffer));
    UsbReportFlag = 1;
    FtWriteOutBuffer(UsbFrameLength);
    if (UsbWriteStatus != FT_OK) {
        // The device may still be listed and answer the probe; closing here makes the next
        // cycle open it again instead of leaving output stopped with the link looking open.
        dropHandle();
    }
}

}  // namespace spirelo
