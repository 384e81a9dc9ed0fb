// FileSystem on kernel32: private-profile calls, CreateFileA, folder
// listings and the executable's folder.
#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/win32_file_system.h"

namespace wl::win32 {

namespace {

char fold(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// '*' and '?' wildcards, letter case ignored, on the whole (long) name. The
// system's own matching also looks at the 8.3 names ("*.ini" would match
// "a.inix"), so the listing matches by itself.
bool matches(const char* pattern, const char* name) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern != '\0' && fold(*pattern) == fold(*name))) {
            ++pattern;
            ++name;
        } else if (star != nullptr) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool ends_with_separator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

}  // namespace

std::string Win32FileSystem::get_private_profile_string(const std::string& section,
                                                        const std::string& key,
                                                        const std::string& default_value,
                                                        int buffer_chars, const std::string& path) {
    if (buffer_chars <= 0)
        return {};
    std::vector<char> buffer(static_cast<std::size_t>(buffer_chars), '\0');
    const DWORD copied =
        ::GetPrivateProfileStringA(section.c_str(), key.c_str(), default_value.c_str(),
                                   buffer.data(), static_cast<DWORD>(buffer_chars), path.c_str());
    const auto length =
        std::min(static_cast<std::size_t>(copied), static_cast<std::size_t>(buffer_chars - 1));
    return std::string(buffer.data(), length);
}

std::vector<std::string> Win32FileSystem::get_private_profile_keys(const std::string& section,
                                                                   const std::string& path) {
    // With no key name the call lists the section's keys, each ended by a NUL,
    // the list by a second one; a list that does not fit comes back cut, its
    // length then the buffer's size less 2, so the buffer grows until it fits.
    for (DWORD size = 4096; size != 0 && size <= (1u << 26); size *= 2) {
        std::vector<char> buffer(size, '\0');
        const DWORD copied = ::GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                                        size, path.c_str());
        if (copied + 2 >= size)
            continue;
        std::vector<std::string> keys;
        for (std::size_t at = 0; at < copied;) {
            const std::string name(buffer.data() + at);
            keys.push_back(name);
            at += name.size() + 1;
        }
        return keys;
    }
    return {};
}

bool Win32FileSystem::write_private_profile_string(const std::string& section,
                                                   const std::string& key, const std::string& value,
                                                   const std::string& path) {
    // kernel32 writes a line break as it is, splitting the line and planting
    // text (even a section header) of the caller's choosing in the profile;
    // such a write is refused, as the portable writer refuses it. The call
    // takes each text up to its first NUL, so a break behind one is harmless.
    for (const std::string* text : {&section, &key, &value}) {
        const std::string_view taken(text->c_str());
        if (taken.find_first_of("\r\n") != std::string_view::npos) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
    }
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        path.c_str()) != FALSE;
}

bool Win32FileSystem::create_new_file(const std::string& path) {
    // Share mode 7: read, write and delete.
    const UniqueHandle file =
        adopt(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            CREATE_NEW, FILE_FLAG_WRITE_THROUGH | FILE_ATTRIBUTE_ARCHIVE, nullptr),
              HandleDeleter{});
    return file != nullptr;
}

std::vector<std::string> Win32FileSystem::list_files(const std::string& folder,
                                                     const std::string& pattern) {
    std::vector<std::string> names;
    if (folder.empty())
        return names;
    const std::string search = folder + (ends_with_separator(folder) ? "*" : "\\*");
    WIN32_FIND_DATAA entry;
    const UniqueFind find = adopt(::FindFirstFileA(search.c_str(), &entry), FindDeleter{});
    if (!find)
        return names;
    constexpr DWORD kLeftOut =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if ((entry.dwFileAttributes & kLeftOut) != 0)
            continue;
        if (matches(pattern.c_str(), entry.cFileName))
            names.emplace_back(entry.cFileName);
    } while (::FindNextFileA(find.get(), &entry));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = ::lstrcmpiA(a.c_str(), b.c_str());
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

std::string Win32FileSystem::program_folder() {
    std::vector<char> buffer(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size())
            break;
        if (buffer.size() >= 32768)
            break;
        buffer.resize(buffer.size() * 2);
    }
    std::string path(buffer.data(), length);
    const auto cut = path.find_last_of("\\/");
    std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut);
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';
    return folder;
}

}  // namespace wl::win32
