// Writes the demo show into a folder: demo.mp3 (60 s with a beat), demo.trk, demo.seq, an empty
// macro file demo.mcr, demo.shw, demo.msc and the Glimmora layout demo.a3d; with the folder the
// programs stand in, also their settings where those programs read them (beside them, or the
// user's folders for installed ones), so that they open the demo. A folder without them is refused.
//
//   demo-show <show-folder> [<program-folder>]
#include "demo_audio.h"
#include "demo_show.h"

#include "common/file_io.h"
#include "common/ini_file.h"
#include "core/macro_file.h"
#include "core/seq_file.h"
#include "core/show_data.h"
#include "core/track_file.h"
#include "platform/program_paths.h"
#include "visualiser/layout_file.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double kSongSeconds = 60.0;

bool Fail(const std::string& what, const std::string& why) {
    std::fprintf(stderr, "demo-show: %s: %s\n", what.c_str(), why.c_str());
    return false;
}

std::string Absolute(const std::string& dir) {
    char* real = ::realpath(dir.c_str(), nullptr);
    std::string out = real ? real : dir;
    std::free(real);
    return out;
}

// Whether both programs stand in dir, as files that can run.
bool HoldsThePrograms(const std::string& dir) {
    for (const char* name : {"Spirelo", "Glimmora"}) {
        const std::string file = dir + "/" + name;
        struct stat st{};
        if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(file.c_str(), X_OK) != 0) return false;
    }
    return true;
}

// Where the programs are, for a folder given without them: beside this tool, else on PATH.
std::string WhereTheProgramsAre() {
    if (const std::string mine = spirelo::DirName(spirelo::ProgramFile()); !mine.empty() && HoldsThePrograms(mine))
        return mine;
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    for (size_t at = 0; at <= dirs.size();) {
        size_t end = dirs.find(':', at);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = dirs.substr(at, end - at);
        if (!dir.empty() && HoldsThePrograms(dir)) return Absolute(dir);
        at = end + 1;
    }
    return {};
}

bool WriteSettings(const std::string& show, const std::string& programs) {
    spirelo::IniFile spirelo(spirelo::BesideProgramFolderOf(programs, "spirelo") + "Spirelo.ini");
    spirelo.writeString("AreaFile", "LastFileTrack", show + "/demo.trk");
    spirelo.writeString("AreaFile", "LastFileSeq", show + "/demo.seq");
    spirelo.writeString("AreaFile", "LastFileShow", show + "/demo.shw");
    spirelo.writeString("AreaFile", "LastMusicList", show + "/demo.msc");
    spirelo.writeBool("SystemInfo", "Mapping", true);
    std::string err;
    if (!spirelo.save(&err)) return Fail(spirelo.path(), err);

    spirelo::IniFile glimmora(spirelo::BesideProgramFolderOf(programs, "glimmora") + "Glimmora.ini");
    glimmora.writeString("File", "LastFile", show + "/demo.a3d");
    // The layers that show water and light come up pressed.
    for (const char* key : {"Depth", "Streams", "Spot", "WaterOn"})
        glimmora.writeBool("Button", key, true);
    glimmora.writeInteger("SavePos", "Zoom", -demo::kDemoZoom);
    glimmora.writeFloat("SavePos", "RotationX", demo::kDemoRotationX);
    glimmora.writeFloat("SavePos", "RotationY", 0);
    glimmora.writeFloat("SavePos", "RotationZ", 0);
    glimmora.writeFloat("SavePos", "ViewerX", 0);
    glimmora.writeFloat("SavePos", "ViewerY", demo::kDemoViewerY);
    // No window place: Glimmora's first start puts it beside or below the controller's windows.
    if (!glimmora.save(&err)) return Fail(glimmora.path(), err);
    std::printf("settings written to %s and %s\n", spirelo.path().c_str(), glimmora.path().c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: demo-show <show-folder> [<program-folder>]\n");
        return 2;
    }
    // Settings beside no program would open nothing: refused before anything is written.
    std::string programs;
    if (argc == 3) {
        programs = Absolute(argv[2]);
        if (!HoldsThePrograms(programs)) {
            const std::string there = WhereTheProgramsAre();
            if (there.empty())
                std::fprintf(stderr, "demo-show: Spirelo and Glimmora are not in %s: give the folder they are in\n",
                             programs.c_str());
            else
                std::fprintf(stderr, "demo-show: Spirelo and Glimmora are not in %s; they are in %s: demo-show %s %s\n",
                             programs.c_str(), there.c_str(), argv[1], there.c_str());
            return 2;
        }
    }
    ::mkdir(argv[1], 0755);
    const std::string show = Absolute(argv[1]);

    if (std::string err = demo::WriteDemoMusic(show + "/demo.mp3", kSongSeconds); !err.empty())
        { Fail(show + "/demo.mp3", err); return 1; }

    auto d = spirelo::MakeShowData();
    spirelo::ResetShowData(*d);
    for (int e = 0; e < spirelo::kEffects; ++e) spirelo::ResetEffect(*d, e);
    demo::BuildDemoSequencers(*d);
    demo::BuildDemoTracks(*d, static_cast<int>(kSongSeconds * 20));
    d->sNameFileSeq = show + "/demo.seq";
    d->sNameFileProject = show + "/demo.trk";
    if (auto r = spirelo::SaveSeqFile(*d); !r) { Fail(d->sNameFileSeq, r.message); return 1; }
    if (auto r = spirelo::SaveTrackFile(*d); !r) { Fail(d->sNameFileProject, r.message); return 1; }
    if (auto r = spirelo::SaveMacrosFile(*d); !r) { Fail(d->sNameFileMacro, r.message); return 1; }

    auto layout = std::make_unique<spirelo::CollectorTable>();
    demo::BuildDemoLayout(*layout);
    if (auto r = spirelo::SaveLayoutFile(show + "/demo.a3d", *layout); !r.io)
        { Fail(show + "/demo.a3d", r.io.message); return 1; }

    if (auto r = spirelo::WriteFileAtomic(show + "/demo.shw", show + "/demo.trk\n"); !r)
        { Fail(show + "/demo.shw", r.message); return 1; }
    if (auto r = spirelo::WriteFileAtomic(show + "/demo.msc", std::string()); !r)
        { Fail(show + "/demo.msc", r.message); return 1; }

    if (!programs.empty() && !WriteSettings(show, programs)) return 1;
    std::printf("demo show written to %s\n", show.c_str());
    return 0;
}
