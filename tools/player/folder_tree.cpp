#include "tools/player/folder_tree.h"

#include <windows.h>

#include <cstring>

std::string copy_folder_contents(const std::string& from, const std::string& to)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return "cannot read the folder " + from;
    std::string error;
    do {
        const char* name = found.cFileName;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        const std::string source = from + "\\" + name;
        const std::string target = to + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!CreateDirectoryA(target.c_str(), nullptr) &&
                GetLastError() != ERROR_ALREADY_EXISTS)
                error = "cannot create " + target;
            else
                error = copy_folder_contents(source, target);
        } else if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
            error = "cannot copy " + source + " to " + target;
        }
    } while (error.empty() && FindNextFileA(search, &found));
    FindClose(search);
    return error;
}

void remove_folder(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const char* name = found.cFileName;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            const std::string inner = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_folder(inner);
            } else {
                SetFileAttributesA(inner.c_str(), FILE_ATTRIBUTE_NORMAL);  // read-only files too
                DeleteFileA(inner.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}
