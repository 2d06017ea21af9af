// The session logs.
#include "core/sessionlog.h"

#include "app/program.h"
#include "ui/sizetext.h"

#include <string.h>
#include <time.h>

enum { ARCHIVE_PIECE_SIZE = 100, LOG_TIME_SIZE = 101 };

const char NoLocalTimeText[] = "\?\?:\?\?.\?\? \?\?\?\?-\?\?-\?\?";

static void WritePadding(FILE *log, size_t width, size_t used)
{
    for (; used < width; used++)
        fputc(' ', log);
}

// The last-write time as local time, or the placeholder when the runtime
// has no local form for it (before 1970, or beyond its range).
static void FormatLogTime(int64_t lastWriteTime, char *text, size_t size)
{
    time_t when = (time_t)lastWriteTime;
    struct tm *local = (int64_t)when == lastWriteTime ? localtime(&when) : nullptr;
    if (local == nullptr || strftime(text, size, "%H:%M.%S %Y-%m-%d", local) == 0)
        snprintf(text, size, "%s", NoLocalTimeText);
}

int WriteSessionRecord(FILE *log, const char *path, uint64_t size, int64_t lastWriteTime,
                       const char *crcText, const char *md5Text)
{
    if (path == nullptr || (crcText == nullptr && md5Text == nullptr))
        return -1;
    const char *slash = strrchr(path, '\\');
    if (slash == nullptr)
        return -1;
    const char *name = slash + 1;

    fprintf(log, "%s", name);
    WritePadding(log, LOG_NAME_WIDTH, strlen(name));
    if (crcText != nullptr)
        fprintf(log, "    %s    ", crcText);
    else
        fprintf(log, "    ########    ");
    char sizeText[SIZE_TEXT_SIZE];
    FormatGroupedSize(sizeText, sizeof sizeText, size);
    WritePadding(log, LOG_SIZE_WIDTH, strlen(sizeText));
    fprintf(log, "%s    ", sizeText);
    char timeText[LOG_TIME_SIZE];
    FormatLogTime(lastWriteTime, timeText, sizeof timeText);
    fprintf(log, "%s", timeText);
    if (md5Text != nullptr)
        fprintf(log, "    %s", md5Text);
    fprintf(log, "\n");
    return 0;
}

int AppendSessionRecord(const char *path, uint64_t size, int64_t lastWriteTime, const char *crcText,
                        const char *md5Text)
{
    if (path == nullptr || (crcText == nullptr && md5Text == nullptr))
        return -1;
    FILE *log = fopen(Program.LastSessionLogPath, "a");
    if (log == nullptr)
        return -1;
    int result = WriteSessionRecord(log, path, size, lastWriteTime, crcText, md5Text);
    fclose(log);
    return result;
}

void ArchiveSessionLog(void)
{
    FILE *archive = fopen(Program.AllSessionsLogPath, "a");
    FILE *session = fopen(Program.LastSessionLogPath, "r");
    if (archive != nullptr && session != nullptr) {
        char piece[ARCHIVE_PIECE_SIZE];
        size_t got;
        do {
            got = fread(piece, 1, sizeof piece, session);
            fwrite(piece, 1, got, archive);
        } while (got == sizeof piece);
    }
    if (session != nullptr)
        fclose(session);
    if (archive != nullptr)
        fclose(archive);
}
