#pragma once

// Lowers the calling thread's scheduling priority below the process's other threads: work in
// the background (a batch run's workers) then leaves the processors to the window's thread
// first, so the window answers at once while the machine is busy.
void LowerThisThreadsPriority();
