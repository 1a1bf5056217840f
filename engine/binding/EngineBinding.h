// Binds the client's engine function table to libtovixsock, and the engine's log
// to the program's.
#pragma once

void BindTovixSock();
