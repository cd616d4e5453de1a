// Text that was wrapped by hand, joined back into paragraphs, so that a view
// can wrap it again to its own width.
#pragma once

#include <string>

// Each line break inside a paragraph becomes a space. Blank lines, lines
// that begin indented and list items ("- ", "* ", "1. ", "a) " ...) keep the
// break before them, and an indented line keeps the one after it.
std::string LibJoinParagraphs(const std::string& text);
