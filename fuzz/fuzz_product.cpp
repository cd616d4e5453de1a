// links: vantry_build_core
// Fuzzes the product description reader: TOML syntax, every field's type and
// friendly form, and the checks across fields. Paths in the input resolve
// below a folder that does not exist, so nothing outside is read.
#include <cstdint>
#include <string>

#include "ProductDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::string text(reinterpret_cast<const char*>(data), size);
	ProductDescription description;
	description.Parse(text, "/nonexistent-vantry-fuzz/product.toml");
	for (const std::string& error : description.Errors()) {
		if (error.empty())
			__builtin_trap();
	}
	return 0;
}
