// The link to the USB-DMX interface over the D2XX-shaped layer: listing, opening the first
// device, probing it every cycle, re-opening it after an unplug, and writing one frame per
// output cycle. It never shows a dialog; its state reaches the window as three texts.
//
// Where a write fails, a probe fails, or INIT is pressed while open, the handle is closed
// before the link goes back to the closed state, so the next cycle re-opens it and no handle
// leaks across unplug and replug.
//
// An interface repeats the last frame it got, so the link's close writes a frame of zeros first:
// the fountain goes dark whatever ends the program. An end that cannot wait for the window thread
// darkens the open link from its own thread (DarkenOpenLinkNow); the window's link calls are
// serialised with it.
#pragma once

#include "core/show_data.h"
#include "dmx/output_pipeline.h"
#include "dmx/usb_frame.h"
#include "platform/d2xx.h"

#include <cstdint>
#include <random>
#include <string>

namespace spirelo {

class UsbLink {
public:
    explicit UsbLink(D2xx& d2xx, uint32_t seed = std::random_device{}());
    ~UsbLink();
    UsbLink(const UsbLink&) = delete;
    UsbLink& operator=(const UsbLink&) = delete;

    // Link operations.
    void InitUsbDevise();
    void GetListAllDevise();
    void ForTimerPolling();
    // Writes a frame of zeros to an open link, then closes it.
    void CloseUsbDevise();
    // Builds DmxSendBuffer and one frame from d.DmxOut and writes it (monitor tap 9 on st).
    void SendToUsb(ShowData& d, DmxOutputState& st);
    // Under the link's lock: a darkening from another thread reads the format.
    void SetStreamFormat(bool on);

    // D2XX wrappers: each reports a non-zero status through FtErrorReport and returns it.
    FT_STATUS GetFTDeviceCount();
    FT_STATUS GetFTDeviceSerialNo(uint32_t index);
    FT_STATUS FtOpenDevice();
    FT_STATUS FtCloseDevice();
    FT_STATUS FtResetDevice();
    FT_STATUS FtSetTimeouts(uint32_t readMs, uint32_t writeMs);
    FT_STATUS FtGetQueueStatus();
    uint32_t FtWriteOutBuffer(uint32_t length);
    std::string FtSerialBufferToString();
    void FtErrorReport(const std::string& name, FT_STATUS status);

    // State (names as the rest of the program knows them).
    FT_HANDLE UsbHandle = nullptr;
    int32_t UsbDeviceIndex = 0;
    uint8_t UsbDeviceOpened = 0;
    uint8_t UsbPortOk = 1;
    uint8_t UsbReportFlag = 1;
    uint8_t UsbListedFlag = 0;
    FT_STATUS UsbWriteStatus = FT_OK;
    uint32_t UsbDeviceCount = 0;
    char UsbSerialBuffer[kFtSerialBufferBytes] = {};
    std::string UsbSerialNumber;
    std::string UsbStatusText;
    std::string UsbDeviceName;
    std::string UsbSerialText;
    std::string D2xxMessage;
    uint8_t UsbOutBuffer[kUsbOutBufferSize] = {};
    uint16_t UsbFrameLength = 0;
    uint8_t OutputFormat = kOutputFormatPlain;
    uint8_t StreamOffsetA = 0;
    uint8_t StreamOffsetB = 0;

    // The link was darkened for the program's end: no level frame follows.
    bool darkForGood() const { return darkForGood_; }

private:
    friend bool DarkenOpenLinkNow(int waitMs);
    // Closes an open handle (nothing recorded) and marks the link closed.
    void dropHandle();
    // One frame of zeros in the current format to handle (nothing recorded).
    void writeDarkFrame(FT_HANDLE handle);

    bool darkForGood_ = false;
    bool everOpened_ = false;   // a link never opened has sent no levels to darken
    uint8_t darkSend_[kChannelSlots] = {};
    uint8_t darkFrame_[kMaxDmxUsbFrame] = {};

    D2xx& d2xx_;
    std::minstd_rand rng_;
};

// From any thread: a frame of zeros to the link of the program, waiting at most waitMs for a
// link call of the window thread to finish; a link that fell closed after it was opened is opened
// once for it. Afterwards the link sends no levels any more. False when no link was ever open, the
// device could not be opened or the wait ran out.
bool DarkenOpenLinkNow(int waitMs);

// The text appended to a wrapper's name for a failing status ("" for an unknown status).
std::string D2xxStatusText(FT_STATUS status);

}  // namespace spirelo
