// A verification on the run's thread until its rows are known: nothing of
// it but the question and the rows needs the window, so the window stays
// free while a large checksum file is read and planned.
#include "ui/verifyrun.h"

#include "base/program.h"
#include "base/texts.h"
#include "core/checksumfile.h"
#include "core/fileinfo.h"
#include "platform/runlock.h"
#include "ui/mainwnd.h"
#include "ui/progress.h"
#include "ui/runs.h"
#include "ui/saveverify.h"

#include <io.h>
#include <stdio.h>
#include <stdlib.h>

enum {
    PREPARE_CANCELLED = -1,     // a step's answer when a cancel stopped it; 0 for done, else a TEXT_VERIFY_...
};

static int ReportRead(void *window, uint64_t done, uint64_t total)
{
    return ReportProgress((HWND)window, (int32_t)(done * 100 / total));
}

// Reads the whole checksum file at path, NUL-ended, into *text (the caller
// frees it). Returns 0, PREPARE_CANCELLED, or the TEXT_VERIFY_... text of
// what went wrong.
static int ReadChecksumFile(HWND window, const char *path, char **text, size_t *length)
{
    switch (ReadWholeFile(path, VERIFY_MAX_FILE_SIZE, ReportRead, window, text, length)) {
    case WHOLE_READ:
        return 0;
    case WHOLE_CANCELLED:
        return PREPARE_CANCELLED;
    case WHOLE_TOO_LARGE:
        return TEXT_VERIFY_TOO_LARGE;
    case WHOLE_NO_MEMORY:
        return TEXT_VERIFY_NO_MEMORY;
    default:
        return TEXT_VERIFY_UNREADABLE;
    }
}

// Reads the checksum file at path into plan. Returns 0, PREPARE_CANCELLED or
// a TEXT_VERIFY_....
static int PlanChecksumFile(HWND window, const char *path, const char *folder, VerifyPlan *plan)
{
    char *text;
    size_t length = 0;
    int problem = ReadChecksumFile(window, path, &text, &length);
    if (problem != 0)
        return problem;
    int read = VerifyPlanRead(plan, folder, text, length, ChecksumFormatOfName(path), ReportProgress, window);
    free(text);
    switch (read) {
    case VERIFY_READ_DONE: return 0;
    case VERIFY_READ_CANCELLED: return PREPARE_CANCELLED;
    case VERIFY_READ_TOO_LARGE: return TEXT_VERIFY_TOO_LARGE;
    case VERIFY_READ_TOO_MANY: return TEXT_VERIFY_TOO_MANY;
    default: return TEXT_VERIFY_NO_MEMORY;
    }
}

// Each file the plan has to look for, found (its size and identity in
// found), missing, or outside the folder through a link. Returns 0,
// PREPARE_CANCELLED or TEXT_VERIFY_NO_MEMORY.
static int LookUpListedFiles(HWND window, VerifyPlan *plan, VerifyFound *found)
{
    int32_t shown = -1;
    for (int32_t i = 0; i < plan->FileCount; i++) {
        if (plan->Files[i].State != VERIFY_FILE_PENDING)
            continue;
        // The bar is moved when its percentage changes; a cancel is heard at each file.
        int32_t percentage = (int32_t)((int64_t)i * 100 / plan->FileCount);
        if (percentage != shown ? ReportProgress(window, percentage) != 0 : ReadRunState() == RUN_CANCEL_REQUESTED)
            return PREPARE_CANCELLED;
        shown = percentage;
        int looked = LookUpFile(plan->Files[i].Path, &found[i].Size, &found[i].Volume, &found[i].Index);
        if (looked == LOOK_UP_NO_MEMORY)
            return TEXT_VERIFY_NO_MEMORY;
        if (looked == LOOK_UP_OUTSIDE)
            VerifyPlanSetOutside(plan, i);
        else
            VerifyPlanSetFound(plan, i, looked == LOOK_UP_FOUND);
    }
    ReportProgress(window, 0);
    return 0;
}

// The steps after the plan: the question, the look-ups and the rows.
// Returns 0, PREPARE_CANCELLED or a TEXT_VERIFY_....
static int FindListedFiles(HWND window, const char *folder, VerifyPlan *plan)
{
    if (ReadRunState() == RUN_CANCEL_REQUESTED)
        return PREPARE_CANCELLED;
    if (plan->AbsoluteCount > 0 && SendMessageA(window, MSG_VERIFY_ASK, (WPARAM)plan->AbsoluteCount, 0) != IDYES)
        VerifyPlanRefuseAbsolute(plan);
    int confined = ConfineOpensToFolder(folder);
    if (confined != LOOK_UP_FOUND)
        return confined == LOOK_UP_NO_MEMORY ? TEXT_VERIFY_NO_MEMORY : TEXT_VERIFY_UNREADABLE;
    VerifyFound *found = (VerifyFound *)calloc((size_t)plan->FileCount + 1, sizeof *found);
    if (found == nullptr)
        return TEXT_VERIFY_NO_MEMORY;
    int problem = LookUpListedFiles(window, plan, found);
    if (problem == 0 && VerifyPlanFindSameFiles(plan, found) != 0)
        problem = TEXT_VERIFY_NO_MEMORY;
    if (problem == 0) {
        if (SendMessageA(window, MSG_VERIFY_ROWS, 0, (LPARAM)found) != 0)
            problem = TEXT_VERIFY_NO_MEMORY;
        CurrentRun.RowsGiven = problem == 0;
    }
    free(found);
    return problem;
}

int PrepareVerification(HWND window, VerifyPlan *plan)
{
    const char *path = CurrentRun.SumsPath;
    char folder[PATH_SIZE];
    FolderOf(path, folder, sizeof folder);
    int problem = PlanChecksumFile(window, path, folder, plan);
    CurrentRun.Planned = problem == 0;
    if (problem == 0)
        problem = FindListedFiles(window, folder, plan);
    if (problem == 0)
        return 0;
    EndOpensConfinement();
    CurrentRun.VerifyProblem = problem == PREPARE_CANCELLED ? 0 : problem;
    return -1;
}
