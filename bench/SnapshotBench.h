// Cost of a snapshot: its size, saving and restoring it, and a rollback of 8 frames.
#pragma once

// Over frames of an autopilot run prints the snapshot's size, median and p95 microseconds of
// SaveSnapshot and RestoreSnapshot, and of a rollback (restoring the snapshot of 8 frames before
// and running those 8 again) in milliseconds; returns the exit status.
int RunSnapshotBench(long frames);
