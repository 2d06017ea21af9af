// The session logs.
#include "core/sessionlog.h"

#include "app/program.h"

#include <stdio.h>

enum { ARCHIVE_PIECE_SIZE = 100 };

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
