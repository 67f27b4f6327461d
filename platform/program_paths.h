// Where the programs keep their files. "Beside the program" is the program's folder when it is
// not an installed one, its whole path is fit (FolderPathProblem) and files can be made in it;
// else $XDG_CONFIG_HOME/<app>/ (~/.config/<app>/ when the variable is unset, the home taken from
// the password database when HOME is unset too). A program folder passed over for a reason is
// said once (TakeFolderNotice). A fallback folder whose path is unfit is refused in the file
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
// The same for a program standing in programFolder (a tool that writes the programs' settings).
std::string BesideProgramFolderOf(const std::string& programFolder, const std::string& app);
// The program file's path as if it stood in BesideProgramFolder: its name kept, folder replaced.
std::string BesideProgramPath(const std::string& app = "spirelo");

// $XDG_RUNTIME_DIR with a trailing "/", or BesideProgramFolder(app) when unset or its path is
// unfit (said once).
std::string RuntimeFolder(const std::string& app = "spirelo");

// Where the fallback folders go: $XDG_CONFIG_HOME, else <home>/.config with the home from $HOME,
// else the one the password database gives (never a relative one); "" when there is none.
std::string ConfigBaseFolder(const char* xdgConfigHome, const char* home, const std::string& passwordHome);

// What makes a folder unfit for the program's own files ("" when fit): another owner, or
// write rights for group or others.
std::string FolderStatProblem(uid_t owner, mode_t mode, uid_t user);

// What makes the folder unfit, checked from / down as a careful server checks its key files
// ("" when fit, or when it does not exist): every folder on the way belongs to user or root and
// only a sticky one may be open to others, holding there only entries of user or root; links
// on the way are followed and their targets checked the same; the folder itself is no link and
// passes FolderStatProblem.
std::string FolderPathProblem(const std::string& folder, uid_t user);

// Why the program's folder was passed over for app's files and where they go instead, once
// ("" when it is used, or was said already): for the start to show where it reports its
// settings. The terminal hears it when it is found.
std::string TakeFolderNotice(const std::string& app);

}  // namespace spirelo
