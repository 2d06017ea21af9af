// The session logs.
#include "core/sessionlog.h"

#include "base/program.h"
#include "base/sizetext.h"
#include "base/textutil.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>
#ifdef _WIN32
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

enum { ARCHIVE_PIECE_SIZE = 100, LOG_TIME_SIZE = 101 };

const char LogNoCrcField[] = "########";
const char NoLocalTimeText[] = "\?\?:\?\?.\?\? \?\?\?\?-\?\?-\?\?";
static_assert(sizeof LogNoCrcField == LOG_CRC_DIGITS + 1 && sizeof NoLocalTimeText == LOG_TIME_LENGTH + 1,
              "the placeholders fill their fields");

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

void FormatIsoLocalTime(int64_t lastWriteTime, char *text, size_t size)
{
    struct tm local;
    if (size > 0 && (!ToLocalTime(lastWriteTime, &local) || strftime(text, size, "%Y-%m-%dT%H:%M:%S", &local) == 0))
        text[0] = '\0';
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
    WritePadding(log, LOG_GAP, 0);
    fprintf(log, "%s", crcText != nullptr ? crcText : LogNoCrcField);
    WritePadding(log, LOG_GAP, 0);
    char sizeText[SIZE_TEXT_SIZE];
    FormatGroupedSize(sizeText, sizeof sizeText, size);
    WritePadding(log, LOG_SIZE_WIDTH, strlen(sizeText));
    fprintf(log, "%s", sizeText);
    WritePadding(log, LOG_GAP, 0);
    char timeText[LOG_TIME_SIZE];
    FormatLogTime(lastWriteTime, timeText, sizeof timeText);
    fprintf(log, "%s", timeText);
    if (md5Text != nullptr) {
        WritePadding(log, LOG_GAP, 0);
        fprintf(log, "%s", md5Text);
    }
    fprintf(log, "\n");
    return 0;
}

// The length of an open file, or -1 when it cannot be told.
static int64_t OpenFileLength(FILE *file)
{
#ifdef _WIN32
    return _filelengthi64(_fileno(file));
#else
    struct stat status;
    return fstat(fileno(file), &status) == 0 ? (int64_t)status.st_size : -1;
#endif
}

// Cuts the file at path back to length.
static void CutFileBack(const char *path, int64_t length)
{
#ifdef _WIN32
    FILE *file = fopen(path, "r+b");
    if (file == nullptr)
        return;
    _chsize_s(_fileno(file), length);
    fclose(file);
#else
    if (truncate(path, (off_t)length) != 0)
        return;     // nothing more to try
#endif
}

// The files a run keeps open between KeepLogsOpen and CloseKeptLogs, by
// path; a path found in no slot is opened and closed for each piece.
struct KeptFile {
    char *Path;
    FILE *File;
};
static KeptFile Kept[2];
static bool Keeping;

void KeepLogsOpen(void)
{
    Keeping = true;
}

static void CloseKept(KeptFile *kept)
{
    if (kept->File != nullptr)
        fclose(kept->File);
    free(kept->Path);
    kept->File = nullptr;
    kept->Path = nullptr;
}

void CloseKeptLogs(void)
{
    Keeping = false;
    for (KeptFile &kept : Kept)
        CloseKept(&kept);
}

// The slot keeping path open (opened with mode now if it is not yet), or
// null when none is free or it cannot be opened.
static KeptFile *KeptFor(const char *path, const char *mode)
{
    KeptFile *unused = nullptr;
    for (KeptFile &kept : Kept) {
        if (kept.Path != nullptr && strcmp(kept.Path, path) == 0)
            return &kept;
        if (kept.Path == nullptr && unused == nullptr)
            unused = &kept;
    }
    if (unused == nullptr || (unused->Path = DuplicateText(path)) == nullptr)
        return nullptr;
    if ((unused->File = fopen(path, mode)) == nullptr) {
        CloseKept(unused);
        return nullptr;
    }
    return unused;
}

int AppendWhole(const char *path, const char *mode, AppendWriter write, const void *piece)
{
    KeptFile *kept = Keeping ? KeptFor(path, mode) : nullptr;
    FILE *file = kept != nullptr ? kept->File : fopen(path, mode);
    if (file == nullptr)
        return -1;
    int64_t before = OpenFileLength(file);
    int result = write(file, piece);
    // A file kept open hands each piece to the system before the next.
    if ((kept != nullptr && fflush(file) != 0) || ferror(file))
        result = -1;
    if (kept == nullptr && fclose(file) != 0)
        result = -1;
    if (kept != nullptr && result != 0)
        CloseKept(kept);
    if (result != 0 && before >= 0)
        CutFileBack(path, before);
    return result;
}

struct SessionRecord {
    const char *Path;
    uint64_t Size;
    int64_t LastWriteTime;
    const char *CrcText, *Md5Text;
};

static int WriteRecordPiece(FILE *log, const void *piece)
{
    const SessionRecord *record = (const SessionRecord *)piece;
    return WriteSessionRecord(log, record->Path, record->Size, record->LastWriteTime, record->CrcText,
                              record->Md5Text);
}

int AppendSessionRecord(const char *path, uint64_t size, int64_t lastWriteTime, const char *crcText,
                        const char *md5Text)
{
    if (path == nullptr || (crcText == nullptr && md5Text == nullptr))
        return -1;
    SessionRecord record = { path, size, lastWriteTime, crcText, md5Text };
    return AppendWhole(Program.LastSessionLogPath, "a", WriteRecordPiece, &record);
}

// Copies the session log, in pieces of ARCHIVE_PIECE_SIZE bytes read in
// text mode, to the archive.
static int CopyLogPieces(FILE *archive, const void *piece)
{
    FILE *session = (FILE *)piece;
    char bytes[ARCHIVE_PIECE_SIZE];
    size_t got;
    do {
        got = fread(bytes, 1, sizeof bytes, session);
        fwrite(bytes, 1, got, archive);
    } while (got == sizeof bytes);
    // A read error: the archive does not hold the log.
    return ferror(session) ? -1 : 0;
}

int ArchiveSessionLog(void)
{
    FILE *session = fopen(Program.LastSessionLogPath, "r");
    if (session == nullptr)
        return -1;
    int result = AppendWhole(Program.AllSessionsLogPath, "a", CopyLogPieces, session);
    fclose(session);
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
    SessionArchived = false;
    if (FileThere(Program.SessionMarkPath) && FileThere(Program.LastSessionLogPath) && ArchiveSessionLog() != 0)
        return;     // kept, with its mark, for this session's records too
    remove(Program.LastSessionLogPath);
    FILE *mark = fopen(Program.SessionMarkPath, "w");
    if (mark != nullptr)
        fclose(mark);
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
