// The log every simulated service appends its calls to: every call the logic
// makes, so tests can check what was passed and in which order. Arguments are separated by "," with
// no spaces; handles, menus and colours are written in upper-case hexadecimal with a "0x" prefix, 0
// as "0" (SetWindowPos's insert-after also as -1 / -2 for the topmost / not-topmost markers);
// numbers in decimal; texts as they are; a missing (null) text as NULL. The lines:
//
//   FindWindowA(class,title)          FindWindowExA(parent,after,class,title)
//   BM_CLICK(button)                  WM_GETTEXT(window,buffer_chars)
//   GetWindowTextA(window,chars)      GetClassNameA(window,chars)
//   GetParent(window)                 GetWindow(window,relation)   relation 5 / 2
//   QueryFullProcessImageNameA(window)   the owner's executable (one line for
//                                     GetWindowThreadProcessId, OpenProcess and it)
//   GetDesktopWindow()                GetCursorPos()
//   WindowFromPoint(x,y)              SetCapture(window)   ReleaseCapture()
//   GetWindowRect(window)             GetActiveWindow()
//   GetWindowDC(window)               ReleaseDC(window)
//   GetPixel(window,x,y)              FillRect(window,left,top,right,bottom,colour)
//   GetSystemMenu(window,0)           RemoveMenu(menu,item,flags)
//   DrawMenuBar(window)
//   SetWindowPos(window,insert_after,x,y,cx,cy,flags)
//   Shell_NotifyIconA(action)         ShellExecuteA(owner,verb,file,parameters,directory,show)
//   GetPrivateProfileStringA(section,key,default,buffer_chars,path)
//   WritePrivateProfileStringA(section,key,value,path)
//   CreateFileA(path)                 ListFiles(folder,pattern)
//   CreateForm(name)                  CreateControl(name)   "cmd1(0)" for arrays
//   PopupMenu(menu)                   MessageBox(text|caption)
//   DoEvents                          Shell(command_line,show)
//   Run                               End
//   ClaimFolder(folder)               AskRunningInstance(show|exit)
//   WaitUntilFolderFree(folder)
//
// Not logged: the properties twips_per_pixel_x/y, program_folder and
// separator, and the operations of the program's own form and controls
// (tests read their state instead).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wl::sim {

// A handle, menu or colour as the log writes it: "0" for zero, otherwise
// "0x" and upper-case hexadecimal digits.
std::string hex(std::uint64_t value);

class CallLog {
  public:
    // Appends the call, then runs on_call (not again for calls that on_call
    // itself makes).
    void record(std::string call);
    const std::vector<std::string>& calls() const { return calls_; }
    // Calls whose text starts with `prefix`, in order.
    std::vector<std::string> calls_starting(const std::string& prefix) const;
    void clear() { calls_.clear(); }
    // Hook run after each recorded call (tests use it to change the desktop in
    // the middle of a walk, a click or an outline).
    std::function<void(const std::string& call)> on_call;

  private:
    std::vector<std::string> calls_;
    bool in_hook_ = false;
};

}  // namespace wl::sim
