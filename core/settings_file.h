// The controller's settings file: an ini file beside the program named after it (".ini") that
// remembers the last-used files, a start count, the time of the last write and the DMX
// window's three installation texts.
#pragma once

#include <string>

#include "common/file_io.h"
#include "core/event_log.h"
#include "core/show_data.h"

namespace spirelo {

std::string SettingsFilePath();

// Reads the four file names into d (defaults: the program's stem with ".shw", ".trk", ".seq",
// ".msc"), counts the start and notes the program file; FirstStart tells whether none was
// counted before. Returns the new start count.
long long ReadIniSettings(ShowData& d);

// The DMX window's three customer edits, passed by the window layer: they are written only
// while the window exists and its "Text Record Enable" box is ticked.
struct CustomerTexts {
    bool recordEnabled = false;       // window exists and CheckBoxProtectWriteIniCustom is ticked
    std::string dataContract;         // EditDataContract -> "About"/"Data"
    std::string customer;             // EditCustomer     -> "About"/"Customer"
    std::string nameObject;           // EditNameObjeckt  -> "About"/"Object"
};

// Writes the four file names and the time of writing (and the customer texts when enabled).
// A failed write is told to the user and leaves the previous file whole.
IoResult WriteIniSettings(const ShowData& d, const CustomerTexts& customer = {},
                          const LocalTime& now = NowLocal());

// The "Closed" text: " 9.3.2026 г.  в 8ч. 5 мин. 3 сек".
std::string ClosedText(const LocalTime& t);

}  // namespace spirelo
