#include "core/settings_file.h"

#include "common/ini_file.h"
#include "core/data_files.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"

namespace spirelo {

std::string SettingsFilePath() { return ProgramStem() + ".ini"; }

std::string ClosedText(const LocalTime& t) {
    std::string s(" ");
    s += std::to_string(t.day) + "." + std::to_string(t.month) + "." + std::to_string(t.year);
    s += " г.";
    s += "  в " + std::to_string(t.hour) + "ч. " + std::to_string(t.minute) + " мин. " +
         std::to_string(t.second) + " сек";
    return s;
}

namespace {
IoResult SaveIni(const IniFile& ini) {
    // An unreadable file was reported once at start; it is left as it is, without another box.
    if (ini.unreadable()) return IoResult{false, 0, ini.readError()};
    IoResult r = ini.save();
    if (!r) ReportWriteFailure(ini.path(), r);
    return r;
}
}  // namespace

long long ReadIniSettings(ShowData& d) {
    const std::string stem = ProgramStem();
    IniFile ini(SettingsFilePath());
    // A program folder passed over is told where a refused settings folder is: one box at start.
    const std::string notice = TakeFolderNotice("spirelo");
    if (ini.unreadable()) {
        WriteLog("ReadSave", "ReadIniSettings", "Settings_not_read " + ini.path() + " " + ini.readError());
        ReportReadFailure(ini.path(), IoResult{false, 0, ini.readError() +
                                                   ". Работа идёт с настройками по умолчанию, файл не перезаписывается." +
                                                   (notice.empty() ? "" : "\n" + notice)});
    }
    d.FirstStart = !ini.unreadable() && !ini.hasKey("AreaCount", "CountOpen");
    const long long count = SaturatingIncrement(ini.readInteger("AreaCount", "CountOpen", 1));
    ini.writeInteger("AreaCount", "CountOpen", count);
    std::string fromProgram(" ");
    fromProgram += ProgramFile();
    ini.writeString("AreaFile", "FileFromProgramm", fromProgram);
    d.ShowListFileName = ini.readString("AreaFile", "LastFileShow", stem + ".shw");
    d.sNameFileProject = ini.readString("AreaFile", "LastFileTrack", stem + ".trk");
    d.sNameFileSeq = ini.readString("AreaFile", "LastFileSeq", stem + ".seq");
    d.MusicListFileName = ini.readString("AreaFile", "LastMusicList", stem + ".msc");
    SaveIni(ini);
    if (!ini.unreadable() && !notice.empty()) Messages().warning(notice);
    return count;
}

IoResult WriteIniSettings(const ShowData& d, const CustomerTexts& customer, const LocalTime& now) {
    IniFile ini(SettingsFilePath());
    if (customer.recordEnabled) {
        ini.writeString("About", "Data", customer.dataContract);
        ini.writeString("About", "Customer", customer.customer);
        ini.writeString("About", "Object", customer.nameObject);
    }
    ini.writeString("AreaTime", "Closed", ClosedText(now));
    ini.writeString("AreaFile", "LastFileShow", d.ShowListFileName);
    ini.writeString("AreaFile", "LastFileTrack", d.sNameFileProject);
    ini.writeString("AreaFile", "LastFileSeq", d.sNameFileSeq);
    ini.writeString("AreaFile", "LastMusicList", d.MusicListFileName);
    return SaveIni(ini);
}

}  // namespace spirelo
