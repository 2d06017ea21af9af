// Every way a file gets into the list, and the one admission step they share.
#ifndef ZUNTA_ADDFILES_H
#define ZUNTA_ADDFILES_H

// Results of AddFileToList.
enum {
    ADD_OUT_OF_MEMORY = -1,
    ADD_ADDED = 0,
    ADD_DROPPED = 1,    // the path names no file: a folder or nothing
};

// Admits the file at path: a new entry in the FileList and a "Ready" row at
// position (negative: after the last row).
int AddFileToList(const char *path, int position);

#endif
