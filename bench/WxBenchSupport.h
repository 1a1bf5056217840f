// What the window benchmarks share beyond BenchSupport.h.
#pragma once

// Runs the event loop for a while, as the application does.
void RunLoop(int milliseconds);
