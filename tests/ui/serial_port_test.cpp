// The ROM upload through the Qt serial port, over a pseudo-terminal pair: the master side reads
// what a controller at the other end of the cable would receive.
#include "platform/ui/qt_serial_port.h"
#include "sequencer/rom_export.h"
#include "sequencer/sequencer_store.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include "tests/scratch_folder.h"

namespace spirelo {
namespace {

struct Pty {
    int master = -1, slave = -1;
    std::string name;
    Pty() {
        char buf[256] = {};
        if (openpty(&master, &slave, buf, nullptr, nullptr) == 0) name = buf;
    }
    ~Pty() {
        if (master >= 0) close(master);
        if (slave >= 0) close(slave);
    }
    // What the master reads until `want` bytes have come (or `ms` without any), plus whatever
    // is already queued behind them.
    std::vector<uint8_t> Read(size_t want, int ms) {
        std::vector<uint8_t> out;
        pollfd p{master, POLLIN, 0};
        while (poll(&p, 1, out.size() < want ? ms : 0) > 0) {
            uint8_t buf[512];
            const ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0) break;
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }
};

TEST(SerialUpload, SendsTheFrameByteForByteOverAPty) {
    Pty pty;
    ASSERT_GE(pty.master, 0);
    const test::ScratchFolder dir("spirelo-serial");
    ASSERT_TRUE(dir.made());
    const std::string ini = dir / "spirelo.ini";
    std::ofstream(ini) << "[SerialPort]\nPort=" << pty.name << "\n";

    auto data = MakeShowData();
    ResetSequenceData(*data);
    std::memset(data->SequencerChannelMask, 0, sizeof data->SequencerChannelMask);
    const int S = 2;
    for (int i = 0; i < 4; ++i) data->SequencerChannelMask[S][i] = 1;
    data->SequencerStepWords[S][0] = kWordLoop;
    data->SequencerStepWords[S][3] = kWordLoop;
    data->SequencerCurrentStep[S] = 2;
    const uint8_t levels[8] = {0x00, 0x03, 0x0A, 0x0D, 0x11, 0x13, 0x7F, 0xFF};
    for (int i = 0; i < 8; ++i) data->SequencerStepData[S][1 + i / 4][i % 4] = levels[i];

    QtSerialPort port;
    RecordingMessages msgs;
    const RomSendResult res = SendRomTable(*data, S, 9, port, SerialPortName(ini), msgs);
    const std::vector<uint8_t> got = pty.Read(kRomFrameSize, 5000);

    const RomTable table = FillRomTable(*data, S, ComputeRomRange(*data, S));
    EXPECT_EQ(std::vector<uint8_t>(table.begin(), table.begin() + 8),
              std::vector<uint8_t>(levels, levels + 8));
    EXPECT_EQ(got, RomUploadFrame(table, 9));
    ASSERT_EQ(msgs.log.size(), 1u);   // a pty takes no DTR
    EXPECT_EQ(msgs.log[0].text, "Не могу сконфигурировать порт");
    EXPECT_EQ(res.nextAddress, 10);
}

TEST(SerialUpload, AMissingDeviceIsNotCreated) {
    const test::ScratchFolder dir("spirelo-serial");
    ASSERT_TRUE(dir.made());
    const std::string name = dir / "ttyNone";
    QtSerialPort port;
    EXPECT_EQ(port.open(name), SerialOpen::Failed);
    port.writeAndClose({1, 2, 3});
    EXPECT_FALSE(QFile::exists(QString::fromStdString(name)));
}

}  // namespace
}  // namespace spirelo
