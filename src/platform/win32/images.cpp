// The program's pictures from the resources of wendlock.rc.
#include "platform/win32/images.h"

#include <string>

#include "platform/win32/resource.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

namespace {

// Raised: a picture missing from the resources would leave the tray icon,
// the window's icon or the finder blank.
HANDLE load(HINSTANCE instance, int id, UINT type, int size) {
    const HANDLE image = ::LoadImageA(instance, MAKEINTRESOURCEA(id), type, size, size,
                                      type == IMAGE_BITMAP ? 0 : LR_DEFAULTCOLOR);
    if (image == nullptr)
        throw_last_error("LoadImageA", "cannot load the picture " + std::to_string(id));
    return image;
}

}  // namespace

Images::Images(HINSTANCE instance) {
    const int small = ::GetSystemMetrics(SM_CXSMICON);
    form_large_.reset(static_cast<HICON>(load(instance, IDI_FORM, IMAGE_ICON, 32)));
    form_small_.reset(static_cast<HICON>(load(instance, IDI_FORM, IMAGE_ICON, small)));
    tray_large_.reset(static_cast<HICON>(load(instance, IDI_TRAY, IMAGE_ICON, 32)));
    tray_small_.reset(static_cast<HICON>(load(instance, IDI_TRAY, IMAGE_ICON, small)));
    finder_.reset(static_cast<HCURSOR>(load(instance, IDC_FINDER, IMAGE_CURSOR, 32)));
    logo_.reset(static_cast<HBITMAP>(load(instance, IDB_LOGO, IMAGE_BITMAP, 0)));
}

std::uint64_t Images::handle(Picture picture) const {
    switch (picture) {
        case Picture::TrayIcon:
            return handle_value(tray_small_.get());
        case Picture::FormIcon:
            return handle_value(form_large_.get());
        case Picture::FinderTool:
            return handle_value(finder_.get());
        case Picture::Logo:
            return handle_value(logo_.get());
        case Picture::None:
            break;
    }
    return 0;
}

void Images::draw(HDC dc, Picture picture, int x, int y) const {
    switch (picture) {
        case Picture::TrayIcon:
            ::DrawIconEx(dc, x, y, tray_large_.get(), 0, 0, 0, nullptr, DI_NORMAL);
            break;
        case Picture::FormIcon:
            ::DrawIconEx(dc, x, y, form_large_.get(), 0, 0, 0, nullptr, DI_NORMAL);
            break;
        case Picture::FinderTool:
            ::DrawIconEx(dc, x, y, finder_.get(), 0, 0, 0, nullptr, DI_NORMAL);
            break;
        case Picture::Logo: {
            BITMAP info{};
            if (!logo_ || ::GetObjectA(logo_.get(), sizeof(info), &info) == 0)
                break;
            const MemoryDc memory(dc);
            const SelectObjectScope select(memory.get(), logo_.get());
            ::BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
            break;
        }
        case Picture::None:
            break;
    }
}

HICON Images::icon(Picture picture, bool small) const {
    switch (picture) {
        case Picture::FormIcon:
            return small ? form_small_.get() : form_large_.get();
        case Picture::TrayIcon:
            return small ? tray_small_.get() : tray_large_.get();
        case Picture::FinderTool:
            return finder_.get();
        case Picture::Logo:
        case Picture::None:
            break;
    }
    return nullptr;
}

HCURSOR Images::cursor(Picture picture) const {
    switch (picture) {
        case Picture::FinderTool:
            return finder_.get();
        case Picture::TrayIcon:
            return tray_large_.get();
        case Picture::FormIcon:
            return form_large_.get();
        case Picture::Logo:
        case Picture::None:
            break;
    }
    return nullptr;
}

}  // namespace wl::win32
