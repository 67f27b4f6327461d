// The D2XX-shaped calls on libftdi1. Opening goes through ftdi_usb_open_dev, which resets the
// chip and leaves it at its default rate, as the vendor driver's open does; nothing else is
// sent to the device except what the calls themselves ask for.
#include "platform/d2xx.h"

#include <libftdi1/ftdi.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace spirelo {

namespace {

struct OpenDevice {
    ftdi_context* ctx = nullptr;
};

ftdi_device_list* Nth(ftdi_device_list* list, uintptr_t index) {
    for (uintptr_t k = 0; list && k < index; ++k) list = list->next;
    return list;
}

class LibFtdiD2xx : public D2xx {
public:
    ~LibFtdiD2xx() override {
        for (OpenDevice* d : open_) {
            ftdi_usb_close(d->ctx);
            ftdi_free(d->ctx);
            delete d;
        }
        if (spare_) ftdi_free(spare_);
        if (lister_) ftdi_free(lister_);
    }

    FT_STATUS FT_ListDevices(void* arg1, void* arg2, uint32_t flags) override {
        if (flags == FT_LIST_NUMBER_ONLY && !arg1) return FT_INVALID_PARAMETER;
        bool byIndex = flags == (FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER);
        if (flags != FT_LIST_NUMBER_ONLY && !byIndex) return FT_INVALID_PARAMETER;
        if (byIndex && !arg2) return FT_INVALID_PARAMETER;

        std::lock_guard lock(listMutex_);
        ftdi_device_list* list = nullptr;
        int n = 0;
        FT_STATUS status = findAll(&list, &n);
        if (status != FT_OK) return status;
        if (!byIndex) {
            *static_cast<uint32_t*>(arg1) = uint32_t(n);
        } else {
            ftdi_device_list* it = Nth(list, reinterpret_cast<uintptr_t>(arg1));
            if (!it) {
                status = FT_DEVICE_NOT_FOUND;
            } else {
                char serial[kFtSerialBufferBytes] = {};
                int r = ftdi_usb_get_strings(lister_, it->dev, nullptr, 0, nullptr, 0, serial, sizeof serial);
                if (r < 0 && r != -9) {   // -9: the device has no serial string
                    status = FT_DEVICE_NOT_OPENED;
                } else {
                    serial[kFtSerialBufferBytes - 1] = '\0';
                    std::memcpy(arg2, serial, kFtSerialBufferBytes);
                }
            }
        }
        ftdi_list_free(&list);
        return status;
    }

    FT_STATUS FT_Open(int index, FT_HANDLE* handle) override {
        if (!handle || index < 0) return FT_INVALID_PARAMETER;
        {
            // While nothing is plugged in this runs every cycle: answer from the listing
            // context, without making a context for the device.
            std::lock_guard lock(listMutex_);
            ftdi_device_list* list = nullptr;
            int n = 0;
            FT_STATUS status = findAll(&list, &n);
            ftdi_list_free(&list);
            if (status != FT_OK) return status;
            if (index >= n) return FT_DEVICE_NOT_FOUND;
        }
        // Each open device has a context of its own; one that failed to open is kept for the
        // next attempt, since making a context costs milliseconds.
        ftdi_context* ctx = spare_ ? spare_ : ftdi_new();
        spare_ = nullptr;
        if (!ctx) return FT_INSUFFICIENT_RESOURCES;
        ftdi_device_list* list = nullptr;
        int n = ftdi_usb_find_all(ctx, &list, 0, 0);
        FT_STATUS status = FT_OK;
        if (n < 0) {
            status = n == -3 ? FT_INSUFFICIENT_RESOURCES : FT_IO_ERROR;
        } else {
            ftdi_device_list* it = Nth(list, uintptr_t(index));
            if (!it) status = FT_DEVICE_NOT_FOUND;
            else if (ftdi_usb_open_dev(ctx, it->dev) < 0) status = FT_DEVICE_NOT_OPENED;
        }
        ftdi_list_free(&list);
        if (status != FT_OK) {
            spare_ = ctx;
            return status;
        }
        auto* d = new OpenDevice{ctx};
        {
            std::lock_guard lock(m_);
            open_.push_back(d);
        }
        *handle = d;
        return FT_OK;
    }

    FT_STATUS FT_Close(FT_HANDLE handle) override {
        OpenDevice* d = take(handle);
        if (!d) return FT_INVALID_HANDLE;
        // A device that is already gone still has its context freed.
        int r = ftdi_usb_close(d->ctx);
        ftdi_free(d->ctx);
        delete d;
        return r < 0 ? FT_IO_ERROR : FT_OK;
    }

    FT_STATUS FT_ResetDevice(FT_HANDLE handle) override {
        OpenDevice* d = find(handle);
        if (!d) return FT_INVALID_HANDLE;
        return ftdi_usb_reset(d->ctx) < 0 ? FT_IO_ERROR : FT_OK;
    }

    FT_STATUS FT_SetTimeouts(FT_HANDLE handle, uint32_t readMs, uint32_t writeMs) override {
        OpenDevice* d = find(handle);
        if (!d) return FT_INVALID_HANDLE;
        d->ctx->usb_read_timeout = int(std::min<uint32_t>(readMs, 0x7FFFFFFF));
        d->ctx->usb_write_timeout = int(std::min<uint32_t>(writeMs, 0x7FFFFFFF));
        return FT_OK;
    }

    FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, uint32_t* rxBytes) override {
        OpenDevice* d = find(handle);
        if (!d) return FT_INVALID_HANDLE;
        // The modem-status request changes nothing on the device and fails once it is gone.
        unsigned short modem = 0;
        if (ftdi_poll_modem_status(d->ctx, &modem) < 0) return FT_IO_ERROR;
        if (rxBytes) *rxBytes = d->ctx->readbuffer_remaining;
        return FT_OK;
    }

    FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, uint32_t length, uint32_t* written) override {
        if (written) *written = 0;
        OpenDevice* d = find(handle);
        if (!d) return FT_INVALID_HANDLE;
        if (!buffer || length > 0x7FFFFFFF) return FT_INVALID_PARAMETER;
        int r = ftdi_write_data(d->ctx, static_cast<const unsigned char*>(buffer), int(length));
        if (r == -666) return FT_DEVICE_NOT_OPENED;
        if (r < 0) return FT_IO_ERROR;
        if (written) *written = uint32_t(r);
        return FT_OK;
    }

private:
    // Every FTDI device of the usual products (vendor 0x0403; 6001, 6010, 6011, 6014, 6015:
    // what vendor and product 0 select) on the listing context, made once.
    FT_STATUS findAll(ftdi_device_list** list, int* count) {
        if (!lister_) lister_ = ftdi_new();
        if (!lister_) return FT_INSUFFICIENT_RESOURCES;
        int n = ftdi_usb_find_all(lister_, list, 0, 0);
        if (n < 0) return n == -3 ? FT_INSUFFICIENT_RESOURCES : FT_IO_ERROR;
        *count = n;
        return FT_OK;
    }

    OpenDevice* find(FT_HANDLE h) {
        std::lock_guard lock(m_);
        auto it = std::find(open_.begin(), open_.end(), static_cast<OpenDevice*>(h));
        return it == open_.end() ? nullptr : *it;
    }
    OpenDevice* take(FT_HANDLE h) {
        std::lock_guard lock(m_);
        auto it = std::find(open_.begin(), open_.end(), static_cast<OpenDevice*>(h));
        if (it == open_.end()) return nullptr;
        OpenDevice* d = *it;
        open_.erase(it);
        return d;
    }

    std::mutex m_;
    std::vector<OpenDevice*> open_;
    std::mutex listMutex_;
    ftdi_context* lister_ = nullptr;   // the listing context
    ftdi_context* spare_ = nullptr;    // a context whose open failed, for the next attempt
};

}  // namespace

std::unique_ptr<D2xx> MakeLibFtdiD2xx() { return std::make_unique<LibFtdiD2xx>(); }

}  // namespace spirelo
