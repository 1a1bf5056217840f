// One exchange with the message server: a non-blocking TCP socket with the
// message still to send and the reply received so far.
#pragma once

#include "net/ByteBuffer.h"

#include <cstdint>
#include <netinet/in.h>
#include <string>

enum EConnectionState { CONN_CONNECTED = 1, CONN_CLOSING = 2, CONN_DONE = 3, CONN_CONNECTING = 4 };

// Reads the Connection item by the pattern "%[0-9,.]:%d" and converts the address
// by the dotted-decimal rule, without a name lookup. The address part must fit a
// 16-byte field (15 characters and the terminator); a longer one is refused.
bool ParseServiceAddress(const std::string &connection, sockaddr_in &address);

class CServiceConnection {
public:
    static constexpr size_t kAddressField = 16;

    explicit CServiceConnection(int64_t now) : created(now) {}
    ~CServiceConnection();
    CServiceConnection(const CServiceConnection &) = delete;
    CServiceConnection &operator=(const CServiceConnection &) = delete;

    // Starts connecting: state 1 when connected at once, 4 while connecting; false when it failed.
    bool Connect(const sockaddr_in &address);
    // Sends from the start of the send buffer until all is sent or the socket would
    // block; the sent bytes leave the buffer. Another error sets state 2.
    void SendAttempt();
    // Reads into the receive buffer's free room until it is full, the socket would
    // block or the stream ends (peerClosed). Another error sets state 2.
    void ReceiveAttempt();
    // A pending connect has finished: state 1 (and a send attempt) or 2.
    void FinishConnect();

    bool Finished() const { return state == CONN_CLOSING || state == CONN_DONE; }

    int socket = -1;
    CByteBuffer receive;
    bool peerClosed = false;
    CByteBuffer send;
    int state = CONN_CLOSING;
    int error = 0; // the system's error number of a failed connect
    const int64_t created; // seconds since 1970

    // The network thread's poll result for this record in the current pass.
    short revents = 0;
};
