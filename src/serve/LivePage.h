#pragma once
#include <string_view>

namespace qs {

// The live page served at "/": its HTML with the chart library (Debian's
// dygraphs) and its style inside, built into the program, so that the page
// needs no other request than the logger's own routes, no file is read to
// serve it and it works with no access to the internet.
std::string_view LivePageHtml();

}  // namespace qs
