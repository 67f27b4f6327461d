// The serial port on Qt SerialPort. Qt opens the device raw (no output processing), exclusive
// (TIOCEXCL and a lock file); the driver queue sizes of the original have no equivalent here.
#pragma once

#include "platform/serial_port.h"

#include <memory>

class QSerialPort;

namespace spirelo {

class QtSerialPort : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;
    SerialOpen open(const std::string& name) override;
    void writeAndClose(const std::vector<uint8_t>& bytes) override;

private:
    std::unique_ptr<QSerialPort> port_;
};

}  // namespace spirelo
