// The controller's one event log: an ini-form text file beside the program (".Log"), one
// section per second, one key per writer and place. Writing it never reports a failure.
#pragma once

#include <cstddef>
#include <string>

namespace spirelo {

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
LocalTime NowLocal();

// A log that has reached this size becomes LogFilePath() + ".1" (replacing an older one) at the
// next entry, which begins a new log; so an entry never costs more than a look at this much.
inline constexpr size_t kEventLogRollBytes = size_t(1) << 20;

// The log file: the program's path beside the program, extension ".Log".
std::string LogFilePath();

// Section "DataTime=<d>.<m>.<y> г.<h>h. <min> min. <s> sec", key "Who=<Who> Where=<Where>",
// value " Info=<Info>"; the same Who and Where within one second replace the earlier entry.
void WriteLog(const std::string& Who, const std::string& Where, const std::string& Info,
              const LocalTime& now = NowLocal());

}  // namespace spirelo
