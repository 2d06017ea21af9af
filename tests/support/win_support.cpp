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

int RunLinuxCommand(const std::string &command)
{
    // Wine does not hand a Linux program's exit status back: the shell
    // writes it to a file of the scratch folder instead.
    std::string linuxStatus = EnvironmentValue("ZUNTA_SCRATCH");
    if (linuxStatus.empty() || linuxStatus[0] != '/')
        return -1;
    linuxStatus += "/linux-status-" + std::to_string(GetCurrentProcessId()) + ".txt";
    std::string status = WindowsPathOf(linuxStatus);
    DeleteFileA(status.c_str());
    std::string line = "/bin/sh -c \"" + command + "; echo $? > '" + linuxStatus + ".part' && mv '" +
                       linuxStatus + ".part' '" + linuxStatus + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    // Nor does it wait for its end: the status file says when it is done.
    for (DWORD start = GetTickCount(); !FileExists(status) && GetTickCount() - start < 60000;)
        Sleep(20);
    std::string text = ReadWholeFile(status);
    DeleteFileA(status.c_str());
    return text.empty() ? -1 : atoi(text.c_str());
}
