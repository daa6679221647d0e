// The HTML import benchmark's peer: Qt's text document reading the same
// HTML and laying it out, behind an interface without Qt types.
#pragma once

#include <cstdint>
#include <string>

// Milliseconds of setHtml plus a layout Width pixels wide; Characters gets
// the length of the document's plain text.
double QtSetHtmlAndLayOut(const std::string& Utf8Html, int Width, int64_t& Characters);
