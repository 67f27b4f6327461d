// JPEG pictures decoded with libjpeg. A damaged or truncated picture gives a null image and a
// reason instead of ending the program, as libjpeg's default error handler would.
#pragma once

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace spirelo {

QImage DecodeJpeg(const uint8_t* data, size_t size, QString* error = nullptr);

}  // namespace spirelo
