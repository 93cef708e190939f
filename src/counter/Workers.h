#pragma once

class QThreadPool;

// The threads of the counter-photo window's long jobs: the face model's load, the face search
// and the halved copies of the photo. A pool of their own, never Qt's global one: Qt's
// painting hands pieces of its work (lines, fills) to the global pool and waits for them, so
// a long job there holds up every repaint until it ends (measured: a window stalled 300 ms
// while the model loaded). Owned by the application object, whose end waits for the jobs
// still running.
QThreadPool* counterWorkers();
