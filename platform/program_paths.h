// Where the programs keep their files. "Beside the program" is the program's folder when it is
// writable, else $XDG_CONFIG_HOME/<app>/ (~/.config/<app>/ when the variable is unset).
#pragma once

#include <string>

namespace spirelo {

// The program file (from /proc/self/exe unless overridden, e.g. by tests).
std::string ProgramFile();
void OverrideProgramFile(const std::string& path);   // "" restores the real one

// The folder that files "beside the program" go to, with a trailing "/"; app is
// "spirelo" or "glimmora" for the fallback folder, which is created when needed.
std::string BesideProgramFolder(const std::string& app = "spirelo");
// The program file's path as if it stood in BesideProgramFolder: its name kept, folder replaced.
std::string BesideProgramPath(const std::string& app = "spirelo");

// $XDG_RUNTIME_DIR with a trailing "/", or BesideProgramFolder(app) when unset.
std::string RuntimeFolder(const std::string& app = "spirelo");

}  // namespace spirelo
