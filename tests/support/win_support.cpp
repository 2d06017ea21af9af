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

// The path in UTF-16, in the extended form when it is a drive path, so that
// any length works.
static std::wstring SystemForm(const std::string &path)
{
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], (int)wide.size()) - 1);
    bool drive = wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\' && wide.find(L'/') == std::wstring::npos;
    return drive ? L"\\\\?\\" + wide : wide;
}

static int DeleteWideTree(const std::wstring &path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteWideTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryW(path.c_str()) ? 0 : -1;
}

int DeleteTree(const std::string &path)
{
    return DeleteWideTree(SystemForm(path));
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
    FILE *file = _wfopen(SystemForm(path).c_str(), L"rb");
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
    FILE *file = _wfopen(SystemForm(path).c_str(), L"wb");
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

void MakeFolders(const std::string &folder, const std::string &relative)
{
    for (size_t at = relative.find('\\'); ; at = relative.find('\\', at + 1)) {
        CreateDirectoryW(SystemForm(folder + "\\" + relative.substr(0, at)).c_str(), nullptr);
        if (at == std::string::npos)
            break;
    }
}
