// Helpers of the unit tests, which build natively and for Windows.
#ifndef ZUNTA_TESTS_UNIT_SUPPORT_H
#define ZUNTA_TESTS_UNIT_SUPPORT_H

#include <stdint.h>
#include <stdlib.h>
#include <time.h>

#include <random>
#include <string>
#include <vector>

// Reproducible bytes of random content.
inline std::vector<unsigned char> RandomBytes(size_t length, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<unsigned char> data(length);
    for (auto &byte : data)
        byte = (unsigned char)random();
    return data;
}

// Seconds since 1970 of a local date and time, as the program's files show it.
inline int64_t LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    struct tm local = {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return (int64_t)mktime(&local);
}

// A path in the tests' scratch folder (ZUNTA_SCRATCH, a Linux path that
// Windows programs see on drive Z:; the system's temporary folder when the
// tests run by hand).
inline std::string ScratchPath(const std::string &name)
{
    const char *base = getenv("ZUNTA_SCRATCH");
#ifdef _WIN32
    if (base == nullptr)
        base = getenv("TEMP");
#else
    if (base == nullptr)
        base = "/tmp";
#endif
    std::string folder = base ? base : ".";
#ifdef _WIN32
    if (!folder.empty() && folder[0] == '/')
        folder = "Z:" + folder;
#endif
    return folder + "/" + name;
}

#endif
