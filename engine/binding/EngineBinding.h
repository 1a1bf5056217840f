// Binds the client's engine function table to libtovixsock.
#pragma once

void BindTovixSock();
