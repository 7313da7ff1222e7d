# Builds the live page into the program (cmake -P): the page's HTML with
# the chart library's script and style put in where it names them, as a
# C++ source that defines LivePageHtml(). Run by the build whenever the page
# or the library changes; the program then reads no file to serve it.
#
#   -DPAGE=page.html -DCHART_JS=dygraph.min.js -DCHART_CSS=dygraph.min.css -DOUTPUT=LivePage.cpp
cmake_minimum_required(VERSION 3.21)
foreach(var PAGE CHART_JS CHART_CSS OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "EmbedPage.cmake: ${var} is not set")
  endif()
endforeach()

file(READ "${PAGE}" page)
file(READ "${CHART_JS}" chart_js)
file(READ "${CHART_CSS}" chart_css)
# The source maps are not served: a browser's developer tools would ask for them.
string(REGEX REPLACE "//# sourceMappingURL=[^\n]*" "" chart_js "${chart_js}")
string(REGEX REPLACE "/\\*# sourceMappingURL=[^*]*\\*/" "" chart_css "${chart_css}")
# A script that held its own end tag would end the page's script early.
string(FIND "${chart_js}" "</script" script_end)
if(NOT script_end EQUAL -1)
  message(FATAL_ERROR "EmbedPage.cmake: ${CHART_JS} holds \"</script\" and cannot be put into the page")
endif()
foreach(mark "/*@CHART_CSS@*/" "/*@CHART_JS@*/")
  string(FIND "${page}" "${mark}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "EmbedPage.cmake: ${PAGE} does not name ${mark}")
  endif()
endforeach()
string(REPLACE "/*@CHART_CSS@*/" "${chart_css}" page "${page}")
string(REPLACE "/*@CHART_JS@*/" "${chart_js}" page "${page}")

# As bytes, not as a string literal: no escaping to get wrong, and no limit
# on a literal's length.
set(joined "${OUTPUT}.html")
file(WRITE "${joined}" "${page}")
file(READ "${joined}" hex HEX)
file(REMOVE "${joined}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}.tmp"
  "// Made by cmake/EmbedPage.cmake from ${PAGE} and ${CHART_JS}: edit those.\n"
  "#include \"serve/LivePage.h\"\n\n"
  "namespace qs {\n\nnamespace {\n\nconstexpr unsigned char kPage[] = {\n${bytes}\n};\n\n}  // namespace\n\n"
  "std::string_view LivePageHtml() { return {reinterpret_cast<const char*>(kPage), sizeof kPage}; }\n\n"
  "}  // namespace qs\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
