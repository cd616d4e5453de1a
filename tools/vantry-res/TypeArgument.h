// Parsing of the type and id arguments of vantry-res.
#pragma once

#include "SupportDefs.h"

// A type as four characters ("CSTR") or as hex ("0x43535452").
bool parse_type_argument(const char* text, type_code* type);
// A decimal resource id, negative allowed.
bool parse_id_argument(const char* text, int32* id);
