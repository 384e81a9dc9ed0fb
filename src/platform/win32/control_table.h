// The host's records of the form and its controls: it owns them, hands out
// their identifiers, binds each to its window, and finds one by identifier,
// by window or by place in the creation (tab) order.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/control_record.h"

namespace wl::win32 {

class ControlTable {
  public:
    explicit ControlTable(Win32Host::Impl& host);
    ControlTable(const ControlTable&) = delete;
    ControlTable& operator=(const ControlTable&) = delete;

    ControlRecord& form() { return form_; }
    const ControlRecord& form() const { return form_; }

    // A new record of this host with the next identifier; it joins the
    // table with add, once its window (if any) exists.
    std::unique_ptr<ControlRecord> make_record();
    ControlRecord& add(std::unique_ptr<ControlRecord> record);

    // The controls in creation order (the form not among them).
    const std::vector<ControlRecord*>& in_order() const { return order_; }
    ControlRecord* with_id(int id) const;
    // The record of the form or of a control by its window; nullptr for
    // windows not of this host.
    ControlRecord* of_window(HWND window) const;
    ControlRecord* menu_named(const std::string& name) const;
    bool has_kind(ControlKind kind) const;

    void bind_window(ControlRecord& record, HWND window);
    // One window is gone (WM_NCDESTROY of a control).
    void unbind_window(HWND window);
    // The form is gone, and its controls with it.
    void unbind_all();

  private:
    Win32Host::Impl& host_;
    ControlRecord form_;
    std::vector<std::unique_ptr<ControlRecord>> owned_;
    std::vector<ControlRecord*> order_;
    std::map<int, ControlRecord*> by_id_;
    std::map<HWND, ControlRecord*> by_window_;
    int next_id_ = 2000;  // clear of the ids of combo boxes' own children
};

}  // namespace wl::win32
