// Where the programs keep their files. "Beside the program" is the program's folder when it is
// writable and the program is not an installed one, else $XDG_CONFIG_HOME/<app>/ (~/.config/<app>/
// when the variable is unset, the home taken from the password database when HOME is unset too).
// A fallback folder of another user, or one other users can write to, is refused in the file
// layer (RefuseFolder), as is the whole fallback when there is no home at all: the program then
// runs on its defaults.
#pragma once

#include <string>
#include <sys/types.h>

namespace spirelo {

// The program file (from /proc/self/exe unless overridden, e.g. by tests).
std::string ProgramFile();
void OverrideProgramFile(const std::string& path);   // "" restores the real one

// An installed program stands in <prefix>/bin beside <prefix>/share/spirelo/, which holds the
// files it ships with: that folder with a trailing "/", or "" for a program run from elsewhere.
std::string InstalledDataFolder();

// The folder that files "beside the program" go to, with a trailing "/"; app is
// "spirelo" or "glimmora" for the fallback folder, which is created when needed.
std::string BesideProgramFolder(const std::string& app = "spirelo");
// The program file's path as if it stood in BesideProgramFolder: its name kept, folder replaced.
std::string BesideProgramPath(const std::string& app = "spirelo");

// $XDG_RUNTIME_DIR with a trailing "/", or BesideProgramFolder(app) when unset or not the
// user's own (said once).
std::string RuntimeFolder(const std::string& app = "spirelo");

// What makes a folder unfit for the program's own files ("" when fit): another owner, or
// write rights for group or others.
std::string FolderStatProblem(uid_t owner, mode_t mode, uid_t user);

}  // namespace spirelo
