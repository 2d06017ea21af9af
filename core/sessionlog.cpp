// The session logs.
#include "core/sessionlog.h"

#include "app/program.h"
#include "app/textutil.h"
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

// Times the runtime's 64-bit conversion gives a local form for: from 1970
// to the end of the year 3000 (UTC). The same range in every build.
static const int64_t LastLocalTime = 32535215999;

static bool ToLocalTime(int64_t when, struct tm *local)
{
    if (when < 0 || when > LastLocalTime)
        return false;
#ifdef _WIN32
    // 64 bits in both builds: the 32-bit runtime's time_t ends in 2038.
    __time64_t time = when;
    struct tm *converted = _localtime64(&time);
    if (converted == nullptr)
        return false;
    *local = *converted;
    return true;
#else
    time_t time = (time_t)when;
    return localtime_r(&time, local) != nullptr;
#endif
}

// The last-write time as local time, or the placeholder when it has none.
void FormatLogTime(int64_t lastWriteTime, char *text, size_t size)
{
    struct tm local;
    if (!ToLocalTime(lastWriteTime, &local) || strftime(text, size, "%H:%M.%S %Y-%m-%d", &local) == 0)
        snprintf(text, size, "%s", NoLocalTimeText);
}

int WriteSessionRecord(FILE *log, const char *path, uint64_t size, int64_t lastWriteTime,
                       const char *crcText, const char *md5Text)
{
    if (path == nullptr || (crcText == nullptr && md5Text == nullptr))
        return -1;
    const char *name = PathFileName(path);
    if (name == path)
        return -1;

    // The name's width counts characters: a name of any script lines the
    // other columns up where a name of as many letters would.
    fprintf(log, "%s", name);
    WritePadding(log, LOG_NAME_WIDTH, TextCharCount(name, strlen(name)));
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

int ArchiveSessionLog(void)
{
    FILE *archive = fopen(Program.AllSessionsLogPath, "a");
    FILE *session = fopen(Program.LastSessionLogPath, "r");
    int result = -1;
    if (archive != nullptr && session != nullptr) {
        result = 0;
        char piece[ARCHIVE_PIECE_SIZE];
        size_t got;
        do {
            got = fread(piece, 1, sizeof piece, session);
            fwrite(piece, 1, got, archive);
        } while (got == sizeof piece);
        // A full disk or a read error: the archive does not hold the log.
        if (ferror(session) || ferror(archive))
            result = -1;
    }
    if (session != nullptr)
        fclose(session);
    if (archive != nullptr && fclose(archive) != 0)
        result = -1;
    return result;
}

static bool FileThere(const char *path)
{
    FILE *file = fopen(path, "rb");
    if (file != nullptr)
        fclose(file);
    return file != nullptr;
}

// This session's log has reached the archive (or could never).
static bool SessionArchived;

void BeginSessionLog(void)
{
    if (FileThere(Program.SessionMarkPath) && FileThere(Program.LastSessionLogPath))
        ArchiveSessionLog();
    remove(Program.LastSessionLogPath);
    FILE *mark = fopen(Program.SessionMarkPath, "w");
    if (mark != nullptr)
        fclose(mark);
    SessionArchived = false;
}

void EndSessionLog(void)
{
    if (SessionArchived)
        return;
    SessionArchived = true;
    // A log that cannot be archived keeps its mark: the next start tries again.
    if (!FileThere(Program.LastSessionLogPath) || ArchiveSessionLog() == 0)
        remove(Program.SessionMarkPath);
}
