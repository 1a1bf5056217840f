# The AppStream metainfo: a screenshot is a web address given at configuration
# time (TOVIX_SCREENSHOT_URL) and is left out when there is none.
#
#   tovix_write_metainfo(<template> <output>)
#
# Also runs as a script, which the tests use:
#   cmake -DTEMPLATE=… -DOUTPUT=… -DTOVIX_APP_ID=… -DPROJECT_VERSION=… -DTOVIX_RELEASE_DATE=…
#         [-DTOVIX_SCREENSHOT_URL=…] -P Metainfo.cmake

function(tovix_write_metainfo template output)
  set(TOVIX_SCREENSHOTS_XML "")
  if(NOT TOVIX_SCREENSHOT_URL STREQUAL "")
    string(REPLACE "&" "&amp;" url "${TOVIX_SCREENSHOT_URL}")
    string(REPLACE "<" "&lt;" url "${url}")
    string(CONCAT TOVIX_SCREENSHOTS_XML
      "  <screenshots>\n"
      "    <screenshot type=\"default\">\n"
      "      <caption>The channel tree and a channel's videos</caption>\n"
      "      <caption xml:lang=\"zh_CN\">频道列表和频道中的视频</caption>\n"
      "      <image>${url}</image>\n"
      "    </screenshot>\n"
      "  </screenshots>\n")
  endif()
  configure_file("${template}" "${output}" @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  tovix_write_metainfo("${TEMPLATE}" "${OUTPUT}")
endif()
