// Window tests of the USB/DMX side: the program folder of ProgramFolderTest, a simulated USB-DMX
// interface in place of the devices, a reset store in DANCE with live data off, and the
// live-data sections (private to the test process) removed afterwards.
#pragma once

#include "common/live_data.h"
#include "common/shared_section.h"
#include "core/show_data.h"
#include "dmx/live_data_writer.h"
#include "platform/d2xx_simulated.h"
#include "ui/program_folder_test.h"

#include <memory>

namespace spirelo::test {

struct SimulatedInterfaceTest : ProgramFolderTest<> {
    std::shared_ptr<SimulatedD2xx> sim = std::make_shared<SimulatedD2xx>("FT7XQ2");

    void SetUp() override {
        ProgramFolderTest::SetUp();
        InstallD2xx(sim);
        ShowData& d = ShowDataInstance();
        ResetShowData(d);
        d.AquelMode = 4;
        d.MappingOpenFlag = 0;
    }
    void TearDown() override {
        const LiveDataSections& live = LiveDataInstance();
        SharedSection::unlink(live.DmxName);
        SharedSection::unlink(live.SpectrName);
        InstallD2xx(nullptr);
        ProgramFolderTest::TearDown();
    }
};

}  // namespace spirelo::test
