// The few content rules the host layer types files by, and the hook through
// which a program that carries a fuller sniffer (the authoring tool's
// libmagic) replaces them. Installers type by these rules alone: what they
// place arrives typed.
#pragma once

#include <stddef.h>

#include <string>

// The type of a regular file whose first bytes are `data`, by the rules:
// a few well-known signatures, scripts and plain text; anything else is
// "application/octet-stream".
std::string mime_type_by_rules(const void* data, size_t length);

// A sniffer consulted before the rules; an empty answer leaves the file to
// the rules. Any thread may call it.
typedef std::string (*mime_content_sniffer)(const void* data, size_t length);
void set_mime_content_sniffer(mime_content_sniffer sniffer);
mime_content_sniffer mime_content_sniffer_in_use();
