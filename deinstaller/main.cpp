// Deinstaller stand-in: reports the product it belongs to and its string tables.
#include <cstdio>
#include <cstring>

#include "Message.h"
#include "Resources.h"
#include "VantryVersion.h"

int main(int argc, char** argv)
{
	if (argc == 2 && strcmp(argv[1], "--version") == 0) {
		printf(VANTRY_VERSION_LINE("Deinstaller"), vantry_version());
		return 0;
	}
	BResources resources("/proc/self/exe", false);
	if (resources.InitCheck() != B_OK) {
		fprintf(stderr, "Deinstaller: no resources: %s\n", resources.ErrorText());
		return 1;
	}
	size_t size = 0;
	const void* data = resources.LoadResource(B_STRING_TYPE, 2002, &size);
	BMessage record;
	if (data == nullptr || record.Unflatten((const char*)data, (ssize_t)size) != B_OK)
		printf("not configured\n");
	else
		printf("deinstalls %s %s\n", record.FindString("app_name"), record.FindString("version"));
	int32 strings = 0;
	type_code type;
	int32 id;
	const char* name;
	for (int32 i = 0; resources.GetResourceInfo(i, &type, &id, &name, &size); i++) {
		if (type == B_STRING_TYPE && id != 2002)
			strings++;
	}
	printf("%ld strings\n", (long)strings);
	return 0;
}
