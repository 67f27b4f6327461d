#include "platform/serial_port.h"

#include "common/ini_file.h"

namespace spirelo {

std::string SerialPortName(const std::string& settingsPath) {
    const IniFile ini(settingsPath);
    std::string name = ini.readString("SerialPort", "Port", "/dev/ttyS0");
    if (name.empty()) name = "/dev/ttyS0";
    if (name.find('/') == std::string::npos) name = "/dev/" + name;
    return name;
}

}  // namespace spirelo
