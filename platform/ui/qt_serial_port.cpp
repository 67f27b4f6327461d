#include "platform/ui/qt_serial_port.h"

#include <QSerialPort>

#include <termios.h>

namespace spirelo {

QtSerialPort::QtSerialPort() : port_(std::make_unique<QSerialPort>()) {}
QtSerialPort::~QtSerialPort() {
    if (port_->isOpen()) port_->close();
}

SerialOpen QtSerialPort::open(const std::string& name) {
    if (port_->isOpen()) port_->close();
    port_->setPortName(QString::fromStdString(name));
    if (!port_->open(QIODevice::ReadWrite)) return SerialOpen::Failed;
    bool ok = port_->setBaudRate(QSerialPort::Baud1200);
    ok = port_->setDataBits(QSerialPort::Data8) && ok;
    ok = port_->setParity(QSerialPort::NoParity) && ok;
    ok = port_->setStopBits(QSerialPort::TwoStop) && ok;
    ok = port_->setFlowControl(QSerialPort::NoFlowControl) && ok;
    ok = port_->setDataTerminalReady(true) && ok;
    return ok ? SerialOpen::Opened : SerialOpen::SettingsRefused;
}

void QtSerialPort::writeAndClose(const std::vector<uint8_t>& bytes) {
    if (!port_->isOpen()) return;
    port_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    // Qt's close() puts the previous line settings back at once, under bytes still queued in
    // the driver: hand everything to the driver, then wait until it has left the wire.
    while (port_->bytesToWrite() > 0)
        if (!port_->waitForBytesWritten(5000)) break;
    ::tcdrain(static_cast<int>(port_->handle()));
    port_->close();
}

}  // namespace spirelo
