#include "core/data_files.h"

#include "core/text_routines.h"
#include "platform/message_service.h"
#include "platform/program_paths.h"

namespace spirelo {

std::string ProgramStem() { return StripExt(BesideProgramPath()); }

void ReportReadFailure(const std::string& path, const IoResult& r) {
    Messages().error(TwoLines("Ошибка чтения файла " + path, r.message));
}

void ReportWriteFailure(const std::string& path, const IoResult& r) {
    Messages().error(TwoLines("Ошибка записи файла " + path, r.message + ". Прежний файл не изменён."));
}

}  // namespace spirelo
