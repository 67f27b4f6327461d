// The layout file: a raw dump of the collector arrays in a fixed order, 54 blocks, exactly
// 64,600 bytes, recognised only by its size. Beside it live the notes (".txT") and the
// calculation report (".txR").
#pragma once

#include "common/file_io.h"
#include "visualiser/layout_model.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace spirelo {

inline constexpr size_t kLayoutFileSize = 64600;
inline constexpr int kLayoutBlocks = 54;

// The 54 blocks of the current table, in file order.
std::vector<uint8_t> SerializeLayout(const CollectorTable& t);
// Applies a whole file's bytes; false (table untouched) unless size is exactly 64,600.
bool DeserializeLayout(const uint8_t* data, size_t size, CollectorTable& t);

enum class LayoutLoad { Loaded, Missing, WrongSize, ReadError };

struct LayoutLoadResult {
    LayoutLoad status = LayoutLoad::Missing;
    std::string caption;   // the main window's caption afterwards
    std::string message;   // a message to show, empty when none
    bool ok() const { return status == LayoutLoad::Loaded; }
};

// A load that fails leaves the table as it was.
LayoutLoadResult LoadLayoutFile(const std::string& path, CollectorTable& t);

struct LayoutSaveResult {
    IoResult io;
    std::string caption;   // the main window's caption after a save (empty on failure)
};
// Atomic: a failed save leaves the old file whole.
LayoutSaveResult SaveLayoutFile(const std::string& path, const CollectorTable& t);

inline constexpr const char* kCaptionNotLoaded = "3D визуализация фонтанов Файл не загружен ";

// The layout path without its extension, plus ".txT" / ".txR".
std::string LayoutStem(const std::string& path);
std::string LayoutNotesPath(const std::string& path);
std::string LayoutReportPath(const std::string& path);

// Notes typed while no layout is loaded have no file of their own: they go with the layout the
// operator saves next, or, on an end that can ask no one, to a file of their own beside the
// settings, named with the time of that end ("Glimmora notes 2026-12-11 09-30-05.txt"; taken > 0
// adds " (taken + 1)" for a name already in use), so no earlier kept notes or layout is met.
bool NotesWithoutLayout(const std::string& layoutPath, const std::string& notes);
std::string KeptNotesPath(const std::string& settingsPath, const std::tm& when, int taken = 0);

// Text companions: written as UTF-8 with CR LF line ends; read as UTF-8, or CP1251 when the
// bytes are not valid UTF-8. Lines are joined with "\n" in memory. Reading fails (text
// untouched) when the file is missing (ENOENT), not a regular file or over the bound.
inline constexpr size_t kMaxTextCompanionBytes = size_t(4) << 20;
IoResult ReadTextCompanion(const std::string& path, std::string& text);
IoResult WriteTextCompanion(const std::string& path, const std::string& text);

}  // namespace spirelo
