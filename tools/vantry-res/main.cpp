// vantry-res: lists, extracts, adds and removes the resources of a resource
// file or an executable, and prints flattened messages in readable form.
#include <cstdio>
#include <cstring>

#include "Commands.h"
#include "TypeArgument.h"
#include "VantryVersion.h"

namespace {

const int kUsageError = 2;

int usage(FILE* out = stderr)
{
	fprintf(out, "usage: vantry-res list FILE\n"
	             "       vantry-res get FILE TYPE ID\n"
	             "       vantry-res dump FILE [TYPE ID]\n"
	             "       vantry-res add FILE TYPE ID NAME   (data from standard input)\n"
	             "       vantry-res remove FILE TYPE ID\n"
	             "       vantry-res --version\n"
	             "TYPE is four characters (CSTR) or hex (0x43535452); ID is a decimal number.\n");
	return kUsageError;
}

// Reads TYPE and ID from argv[3] and argv[4].
bool type_and_id(char** argv, type_code* type, int32* id)
{
	if (!parse_type_argument(argv[3], type)) {
		fprintf(stderr, "vantry-res: bad type \"%s\": use four characters or 0xHEX\n", argv[3]);
		return false;
	}
	if (!parse_id_argument(argv[4], id)) {
		fprintf(stderr, "vantry-res: bad id \"%s\": use a decimal number\n", argv[4]);
		return false;
	}
	return true;
}

} // namespace

int main(int argc, char** argv)
{
	if (argc == 2 && strcmp(argv[1], "--version") == 0) {
		printf(VANTRY_VERSION_LINE("vantry-res"), vantry_version());
		return 0;
	}
	if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
		usage(stdout);
		return 0;
	}
	if (argc < 3)
		return usage();
	const char* command = argv[1];
	const char* path = argv[2];
	type_code type = 0;
	int32 id = 0;
	if (strcmp(command, "list") == 0 && argc == 3)
		return list_resources(path);
	if (strcmp(command, "dump") == 0 && argc == 3)
		return dump_message_file(path);
	bool typed = (argc == 5 || (argc == 6 && strcmp(command, "add") == 0));
	if (!typed)
		return usage();
	if (!type_and_id(argv, &type, &id))
		return kUsageError;
	if (strcmp(command, "get") == 0 && argc == 5)
		return get_resource(path, type, id);
	if (strcmp(command, "dump") == 0 && argc == 5)
		return dump_message_resource(path, type, id);
	if (strcmp(command, "add") == 0 && argc == 6)
		return add_resource(path, type, id, argv[5]);
	if (strcmp(command, "remove") == 0 && argc == 5)
		return remove_resource(path, type, id);
	return usage();
}
