// Helpers of the tests that run under Windows.
#include "win_support.h"

#include <stdio.h>

std::string WindowsPathOf(const std::string &path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string converted = "Z:" + path;
    for (char &c : converted)
        if (c == '/')
            c = '\\';
    return converted;
}

std::string EnvironmentValue(const char *name)
{
    char value[1024];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value)
        return std::string();
    return value;
}

int DeleteTree(const std::string &path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(path.c_str()) ? 0 : -1;
}

std::string MakeScratchFolder(const std::string &name)
{
    std::string base = WindowsPathOf(EnvironmentValue("ZUNTA_SCRATCH"));
    if (base.empty()) {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        base = temp;
        if (!base.empty() && base.back() == '\\')
            base.pop_back();
    }
    CreateDirectoryA(base.c_str(), nullptr);
    std::string folder = base + "\\" + name;
    DeleteTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

bool FileExists(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadWholeFile(const std::string &path)
{
    std::string bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return bytes;
    char piece[4096];
    size_t got;
    while ((got = fread(piece, 1, sizeof piece, file)) > 0)
        bytes.append(piece, got);
    fclose(file);
    return bytes;
}

bool WriteWholeFile(const std::string &path, const std::string &bytes)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}
