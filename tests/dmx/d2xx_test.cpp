#include "platform/d2xx.h"
#include "platform/d2xx_simulated.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "tests/scratch_folder.h"

using namespace spirelo;

TEST(LibFtdiLayer, RejectsWhatItCannotServeWithoutTouchingADevice) {
    auto d2xx = MakeLibFtdiD2xx();
    uint32_t count = 12345;
    FT_STATUS s = d2xx->FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY);
    // A machine without a USB bus reports an I/O error; otherwise a count.
    EXPECT_TRUE(s == FT_OK || s == FT_IO_ERROR) << s;
    if (s == FT_OK) {
        EXPECT_LT(count, 12345u);
    }
    EXPECT_EQ(d2xx->FT_ListDevices(&count, nullptr, 0x80), FT_INVALID_PARAMETER);
    EXPECT_EQ(d2xx->FT_ListDevices(nullptr, nullptr, FT_LIST_NUMBER_ONLY), FT_INVALID_PARAMETER);

    FT_HANDLE h = nullptr;
    s = d2xx->FT_Open(200, &h);
    EXPECT_TRUE(s == FT_DEVICE_NOT_FOUND || s == FT_IO_ERROR) << s;
    EXPECT_EQ(h, nullptr);

    int bogus = 0;
    uint32_t written = 7;
    uint8_t byte = 0;
    EXPECT_EQ(d2xx->FT_Write(&bogus, &byte, 1, &written), FT_INVALID_HANDLE);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(d2xx->FT_GetQueueStatus(&bogus, &written), FT_INVALID_HANDLE);
    EXPECT_EQ(d2xx->FT_Close(&bogus), FT_INVALID_HANDLE);
}

TEST(SimulatedLayer, EnvironmentSelectsItAndFramesGoToTheFile) {
    const spirelo::test::ScratchFolder scratch("spirelo-frames");
    ASSERT_TRUE(scratch.made());
    const std::string path = scratch / "frames.bin";
    ::setenv("SPIRELO_USB", ("simulated:" + path).c_str(), 1);
    InstallD2xx(nullptr);
    D2xx& d2xx = D2xxInstance();
    ASSERT_NE(dynamic_cast<SimulatedD2xx*>(&d2xx), nullptr);

    FT_HANDLE h = nullptr;
    ASSERT_EQ(d2xx.FT_Open(0, &h), FT_OK);
    FT_HANDLE second = nullptr;
    EXPECT_EQ(d2xx.FT_Open(0, &second), FT_DEVICE_NOT_OPENED);   // one open at a time
    const uint8_t a[] = {1, 2, 3}, b[] = {0xFF, 0xF0};
    uint32_t n = 0;
    ASSERT_EQ(d2xx.FT_Write(h, a, 3, &n), FT_OK);
    EXPECT_EQ(n, 3u);
    ASSERT_EQ(d2xx.FT_Write(h, b, 2, &n), FT_OK);
    EXPECT_EQ(d2xx.FT_Close(h), FT_OK);

    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes, std::string("\x01\x02\x03\xFF\xF0", 5));

    InstallD2xx(nullptr);
    ::unsetenv("SPIRELO_USB");
}

TEST(SimulatedLayer, UnplugMakesHandlesStaleUntilClosed) {
    SimulatedD2xx sim("S1");
    FT_HANDLE h = nullptr;
    ASSERT_EQ(sim.FT_Open(0, &h), FT_OK);
    uint32_t rx = 0;
    EXPECT_EQ(sim.FT_GetQueueStatus(h, &rx), FT_OK);
    sim.unplug();
    EXPECT_EQ(sim.FT_GetQueueStatus(h, &rx), FT_IO_ERROR);
    FT_HANDLE h2 = nullptr;
    EXPECT_EQ(sim.FT_Open(0, &h2), FT_DEVICE_NOT_FOUND);
    sim.plug();
    EXPECT_EQ(sim.FT_GetQueueStatus(h, &rx), FT_IO_ERROR);   // the old handle stays stale
    uint8_t byte = 0;
    uint32_t n = 0;
    EXPECT_EQ(sim.FT_Write(h, &byte, 1, &n), FT_IO_ERROR);
    ASSERT_EQ(sim.FT_Open(0, &h2), FT_OK);
    EXPECT_EQ(sim.counters().openHandles, 2);
    EXPECT_EQ(sim.FT_Close(h), FT_OK);
    EXPECT_EQ(sim.FT_Close(h2), FT_OK);
    EXPECT_EQ(sim.counters().openHandles, 0);

    char serial[kFtSerialBufferBytes];
    EXPECT_EQ(sim.FT_ListDevices(reinterpret_cast<void*>(uintptr_t(0)), serial, FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER), FT_OK);
    EXPECT_STREQ(serial, "S1");
    EXPECT_EQ(sim.FT_ListDevices(reinterpret_cast<void*>(uintptr_t(1)), serial, FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER), FT_DEVICE_NOT_FOUND);

    SimulatedD2xx longSerial(std::string(80, 'Q'));
    EXPECT_EQ(longSerial.FT_ListDevices(reinterpret_cast<void*>(uintptr_t(0)), serial, FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER), FT_OK);
    EXPECT_EQ(std::string(serial), std::string(kFtSerialBufferBytes - 1, 'Q'));
}
