// Wildcard matching of a whole text against a pattern: '*' matches any run,
// '?' exactly one character, everything else itself (no escapes, no classes).
#pragma once

bool LibMatchWildCard(const char* text, const char* pattern);
