// The session logs: LastSession.log receives a record for every new or
// changed result; at exit it is appended to AllSessions.log.
#ifndef ZUNTA_SESSIONLOG_H
#define ZUNTA_SESSIONLOG_H

// Appends the session log's contents to the archive log, unchanged.
void ArchiveSessionLog(void);

#endif
