// The ini file from any bytes: whatever is read is written so that it reads back the same, and
// every key reads as a string, an integer, a boolean and a float without harm.
#include "common/ini_file.h"
#include "common/text_codec.h"
#include "fuzz_input.h"

#include <string>

using namespace spirelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniFile ini;
    ini.loadFromText(TextFileToUtf8(std::string(reinterpret_cast<const char*>(data), size)));
    const std::string text = ini.toText();
    IniFile again;
    again.loadFromText(text);
    fuzz::Check(again.toText() == text, "an ini file does not read back as it was written");
    for (const std::string& s : ini.sections()) {
        fuzz::Check(again.hasSection(s), "a section is lost on the way back");
        for (const std::string& k : ini.keys(s)) {
            const std::string v = ini.readString(s, k, "");
            fuzz::Check(again.readString(s, k, "") == v, "a value changes on the way back");
            volatile long long i = ini.readInteger(s, k, 0);
            volatile bool b = ini.readBool(s, k, false);
            volatile double f = ini.readFloat(s, k, 0);
            (void)i; (void)b; (void)f;
        }
    }
    return 0;
}
