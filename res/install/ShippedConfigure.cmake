# The Configure.xml an installation ships: the service addresses are values of
# the deployment, given as cache options when the build is configured.
#
#   tovix_write_shipped_configure(<template> <output>)
#
# Also runs as a script, which the tests use:
#   cmake -DTEMPLATE=… -DOUTPUT=… [-DTOVIX_CONNECTION=… …] -P ShippedConfigure.cmake

set(TOVIX_ADDRESS_ITEMS
  TOVIX_TORRENT_URL TOVIX_PIC_URL TOVIX_CONNECTION TOVIX_AD_URL TOVIX_WEB_URL TOVIX_FORUM_URL)

# The message server's address is read as a dotted IPv4 address and a TCP port;
# anything else would leave an installed client silently unable to connect.
function(tovix_check_connection value)
  if(value STREQUAL "")
    return()
  endif()
  set(byte "(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])")
  if(value MATCHES "^${byte}\\.${byte}\\.${byte}\\.${byte}:([0-9]+)$")
    set(port "${CMAKE_MATCH_5}")
    string(LENGTH "${port}" digits)
    if(digits LESS_EQUAL 5 AND port GREATER 0 AND port LESS_EQUAL 65535)
      return()
    endif()
  endif()
  message(FATAL_ERROR "TOVIX_CONNECTION is \"${value}\": it must be an IPv4 address and a TCP port, "
    "as in 192.0.2.10:8600 (or empty for none)")
endfunction()

function(tovix_write_shipped_configure template output)
  tovix_check_connection("${TOVIX_CONNECTION}")
  foreach(item IN LISTS TOVIX_ADDRESS_ITEMS)
    set(value "${${item}}")
    # The file is GB2312; an address is plain ASCII, so nothing needs converting.
    if(NOT value MATCHES "^[ -~]*$")
      message(FATAL_ERROR "${item} is \"${value}\": an address may hold only printable ASCII characters")
    endif()
    string(REPLACE "&" "&amp;" value "${value}")
    string(REPLACE "<" "&lt;" value "${value}")
    string(REPLACE ">" "&gt;" value "${value}")
    string(REPLACE "\"" "&quot;" value "${value}")
    set(${item}_XML "${value}")
  endforeach()
  configure_file("${template}" "${output}" @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  tovix_write_shipped_configure("${TEMPLATE}" "${OUTPUT}")
endif()
