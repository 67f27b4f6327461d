#include "core/ui/jpeg_picture.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace spirelo {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr, int) {}   // warnings (e.g. a few corrupt bytes) stay quiet

}  // namespace

QImage DecodeJpeg(const uint8_t* data, size_t size, QString* error) {
    if (!data || size == 0) {
        if (error) *error = QStringLiteral("empty picture");
        return {};
    }
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.emit_message = OnMessage;
    // Only plain data lives across the jump: the image is created after setjmp returns 0 and
    // is dropped on the error path.
    QImage* volatile image = nullptr;
    if (setjmp(err.jump)) {
        delete image;
        jpeg_destroy_decompress(&info);
        if (error) *error = QString::fromLocal8Bit(err.message);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = new QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image->isNull()) {
        delete image;
        image = nullptr;
        jpeg_destroy_decompress(&info);
        if (error) *error = QStringLiteral("picture too large");
        return {};
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    QImage* done = image;
    QImage result = std::move(*done);
    delete done;
    return result;
}

}  // namespace spirelo
