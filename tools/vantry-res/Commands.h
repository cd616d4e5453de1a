// The commands of vantry-res. Each returns the process exit code: 0 done,
// 1 the file could not be read or changed.
#pragma once

#include "SupportDefs.h"

int list_resources(const char* path);
int get_resource(const char* path, type_code type, int32 id);
int dump_message_file(const char* path);
int dump_message_resource(const char* path, type_code type, int32 id);
int add_resource(const char* path, type_code type, int32 id, const char* name);
int remove_resource(const char* path, type_code type, int32 id);
