// GGPO's sync test, as Box2D tests its snapshots: at every frame the world is saved, and once frames
// on it is wound back there and the frames run again, which must give the same state hash after each
// of them and, at the end, the same snapshot to the byte.
#pragma once

// Runs the frames after first up to last, winding back rollback frames at every one. Prints
// "synctest: F frames, rolled back N at every frame, no difference" and gives 0, or names the first
// frame that differed and gives 1.
int RunSyncTest(long first, long last, long rollback);
