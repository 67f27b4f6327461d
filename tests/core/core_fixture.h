// A scratch folder that stands in for the program's folder, and a recording message service.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "core/show_data.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"
#include "tests/scratch_folder.h"

namespace spirelo::test {

class CoreFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.made());
        dir = scratch.path();
        OverrideProgramFile(dir + "/Spirelo");
        messages = std::make_shared<RecordingMessages>();
        InstallMessageService(messages);
        d = MakeShowData();
        ResetShowData(*d);
    }
    void TearDown() override {
        InstallMessageService(nullptr);
        OverrideProgramFile("");
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    static void WriteBytes(const std::string& p, const std::vector<uint8_t>& bytes) {
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<uint8_t> ReadBytes(const std::string& p) {
        std::vector<uint8_t> out;
        ReadWholeFile(p, out);
        return out;
    }
    static std::string ReadText(const std::string& p) {
        std::string out;
        ReadWholeFile(p, out);
        return out;
    }
    // Pseudo-random bytes: a stored file of any content must come back byte for byte.
    static std::vector<uint8_t> Noise(size_t n, uint32_t seed) {
        std::vector<uint8_t> v(n);
        uint32_t x = seed * 2654435761u + 1;
        for (auto& b : v) {
            x ^= x << 13; x ^= x >> 17; x ^= x << 5;
            b = static_cast<uint8_t>(x >> 24);
        }
        return v;
    }

    std::vector<std::string> texts(MessageKind kind) const {
        std::vector<std::string> out;
        for (const auto& e : messages->log)
            if (e.kind == kind) out.push_back(e.text);
        return out;
    }

    ScratchFolder scratch{"spirelo-core"};
    std::string dir;
    std::shared_ptr<RecordingMessages> messages;
    std::unique_ptr<ShowData> d;
};

}  // namespace spirelo::test
