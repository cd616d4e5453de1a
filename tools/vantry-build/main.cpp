// vantry-build: turns a product description into an installer executable.
#include <cstdio>
#include <cstring>
#include <string>

#include "ProductDescription.h"

namespace {

const char kUsage[] =
        "usage: vantry-build PRODUCT.toml -o OUTPUT [--stub PATH] [--deinstaller PATH]\n"
        "       vantry-build --check PRODUCT.toml\n";

struct Arguments {
	std::string description;
	std::string output;
	std::string stub;
	std::string deinstaller;
	bool checkOnly = false;
};

// Reads the command line; false on a usage error.
bool read_arguments(int argc, char** argv, Arguments& arguments)
{
	for (int i = 1; i < argc; i++) {
		std::string argument = argv[i];
		bool hasValue = i + 1 < argc;
		if (argument == "--check")
			arguments.checkOnly = true;
		else if (argument == "-o" && hasValue)
			arguments.output = argv[++i];
		else if (argument == "--stub" && hasValue)
			arguments.stub = argv[++i];
		else if (argument == "--deinstaller" && hasValue)
			arguments.deinstaller = argv[++i];
		else if (argument.empty() || argument[0] == '-' || !arguments.description.empty())
			return false;
		else
			arguments.description = argument;
	}
	if (arguments.description.empty())
		return false;
	return arguments.checkOnly || !arguments.output.empty();
}

} // namespace

int main(int argc, char** argv)
{
	Arguments arguments;
	if (!read_arguments(argc, argv, arguments)) {
		fputs(kUsage, stderr);
		return 2;
	}
	ProductDescription description;
	if (description.Load(arguments.description.c_str()) != B_OK) {
		for (const std::string& error : description.Errors())
			fprintf(stderr, "%s\n", error.c_str());
		return 1;
	}
	if (arguments.checkOnly)
		return 0;
	fprintf(stderr, "vantry-build: writing installers is not available yet\n");
	return 1;
}
