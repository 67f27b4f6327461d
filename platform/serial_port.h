// The serial port as the ROM upload uses it: open one device for an exclusive read/write at
// 1200 baud, 8 data bits, no parity, 2 stop bits, DTR on, no flow control; then one write of
// the buffer, drained, and close. The Qt side lives in platform/ui/; tests use the recorder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace spirelo {

enum class SerialOpen { Opened, SettingsRefused, Failed };

class SerialPort {
public:
    virtual ~SerialPort() = default;
    // Opens an existing device only. SettingsRefused: open, but a line setting was refused.
    virtual SerialOpen open(const std::string& name) = 0;
    // One write of `bytes`, waits until they have left, then closes.
    virtual void writeAndClose(const std::vector<uint8_t>& bytes) = 0;
};

// Remembers what the logic asked for and answers open() with `openResult`.
class RecordingSerialPort : public SerialPort {
public:
    SerialOpen open(const std::string& name) override {
        opened.push_back(name);
        isOpen = openResult != SerialOpen::Failed;
        return openResult;
    }
    void writeAndClose(const std::vector<uint8_t>& bytes) override {
        if (isOpen) writes.push_back(bytes);
        isOpen = false;
    }
    SerialOpen openResult = SerialOpen::Opened;
    bool isOpen = false;
    std::vector<std::string> opened;
    std::vector<std::vector<uint8_t>> writes;
};

// The port's device name from the controller's settings file: section "SerialPort", key
// "Port", default "/dev/ttyS0"; a name without "/" is taken under /dev/.
std::string SerialPortName(const std::string& settingsPath);

}  // namespace spirelo
