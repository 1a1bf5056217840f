// Reads the client's requests: a plain run of tokens, integers "i<digits>e" and
// strings "<length>:<bytes>", the first an integer giving the request type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TServiceRequest {
    int type = 0;
    std::vector<int64_t> numbers;     // the integer tokens after the type, in order
    std::vector<std::string> strings; // the string tokens, in order
};

enum class EParse { Complete, Incomplete, Malformed };

// Parses one whole request of type 1 to 5 from the start of bytes. A request
// needs exactly the tokens of its type; consumed tells how many bytes it took.
EParse ParseServiceRequest(const std::string &bytes, TServiceRequest &request, size_t &consumed);

// Bytes as one printable line: printable ASCII stays, anything else is \xHH.
std::string EscapeBytes(const std::string &bytes);
