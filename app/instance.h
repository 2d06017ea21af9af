// One running instance per user: a later start hands its command-line paths
// to the instance that already runs.
#ifndef ZUNTA_INSTANCE_H
#define ZUNTA_INSTANCE_H

// Looks for a running instance; when one answers, hands the command line over
// and returns 1 (this process then ends). Returns 0 when this process is to
// become the running instance.
int HandOffToRunningInstance(void);

#endif
