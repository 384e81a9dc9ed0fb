// The table of the host's control records.
#include "platform/win32/control_table.h"

namespace wl::win32 {

ControlTable::ControlTable(Win32Host::Impl& host) : host_(host) {
    form_.host = &host;
}

std::unique_ptr<ControlRecord> ControlTable::make_record() {
    auto record = std::make_unique<ControlRecord>();
    record->host = &host_;
    record->id = next_id_++;
    return record;
}

ControlRecord& ControlTable::add(std::unique_ptr<ControlRecord> record) {
    ControlRecord& added = *record;
    by_id_[added.id] = &added;
    order_.push_back(&added);
    owned_.push_back(std::move(record));
    return added;
}

ControlRecord* ControlTable::with_id(int id) const {
    const auto found = by_id_.find(id);
    return found == by_id_.end() ? nullptr : found->second;
}

ControlRecord* ControlTable::of_window(HWND window) const {
    const auto found = by_window_.find(window);
    return found == by_window_.end() ? nullptr : found->second;
}

ControlRecord* ControlTable::menu_named(const std::string& name) const {
    for (ControlRecord* record : order_) {
        if (record->design.kind == ControlKind::Menu && record->design.name == name)
            return record;
    }
    return nullptr;
}

bool ControlTable::has_kind(ControlKind kind) const {
    for (const ControlRecord* record : order_) {
        if (record->design.kind == kind)
            return true;
    }
    return false;
}

void ControlTable::bind_window(ControlRecord& record, HWND window) {
    record.hwnd = window;
    by_window_[window] = &record;
}

void ControlTable::unbind_window(HWND window) {
    const auto found = by_window_.find(window);
    if (found == by_window_.end())
        return;
    found->second->hwnd = nullptr;
    by_window_.erase(found);
}

void ControlTable::unbind_all() {
    by_window_.clear();
    form_.hwnd = nullptr;
    for (ControlRecord* record : order_)
        record->hwnd = nullptr;
}

}  // namespace wl::win32
