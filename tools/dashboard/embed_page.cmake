# Writes the page's HTML into a C++ header as one string, so the program carries its page and
# the browser fetches nothing from anywhere else. cmake -DINPUT=page.html -DOUTPUT=header.h -P
file(READ ${INPUT} page)
string(FIND "${page}" ")dashboard_page\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the string literal's end marker")
endif()
file(WRITE ${OUTPUT} "#pragma once\n// Generated from ${INPUT}; edit that file.\n"
  "inline constexpr char kDashboardPageHtml[] = R\"dashboard_page(${page})dashboard_page\";\n")
