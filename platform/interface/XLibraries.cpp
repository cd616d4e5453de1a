// Filling the X shim's table from the libraries found at run time.
#include "XLibraries.h"

#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <mutex>
#include <vector>

#ifdef VANTRY_X_SHIM
extern "C" {
extern void* vantry_x_table[];
extern const char* const vantry_x_libraries[];
extern const char* const vantry_x_names[];
extern const unsigned char vantry_x_owners[];
extern const int vantry_x_count;

// Called by the shim's first X call: a program without the libraries cannot
// go on drawing, so it ends saying why.
__attribute__((visibility("hidden"))) void vantry_x_load_or_exit()
{
	std::string reason;
	if (load_x_libraries(&reason))
		return;
	fprintf(stderr, "%s: cannot use the window system: %s\n", program_invocation_short_name,
	        reason.c_str());
	_exit(2);
}
}

namespace {

bool sLoaded = false;
std::string sReason;

void load_once()
{
	const int kLibraries = 6;
	void* handles[kLibraries] = {};
	for (int i = 0; i < kLibraries && vantry_x_libraries[i] != nullptr; i++) {
		handles[i] = dlopen(vantry_x_libraries[i], RTLD_NOW | RTLD_LOCAL);
		if (handles[i] == nullptr) {
			const char* error = dlerror();
			sReason = error != nullptr ? error : vantry_x_libraries[i];
			return;
		}
	}
	// All or nothing: a half-filled table would fail later, somewhere else.
	std::vector<void*> functions(vantry_x_count);
	for (int i = 0; i < vantry_x_count; i++) {
		functions[i] = dlsym(handles[vantry_x_owners[i]], vantry_x_names[i]);
		if (functions[i] == nullptr) {
			sReason = std::string(vantry_x_libraries[vantry_x_owners[i]]) + " has no " +
			          vantry_x_names[i];
			return;
		}
	}
	for (int i = 0; i < vantry_x_count; i++)
		__atomic_store_n(&vantry_x_table[i], functions[i], __ATOMIC_RELEASE);
	sLoaded = true;
}

} // namespace

bool load_x_libraries(std::string* reason)
{
	static std::once_flag once;
	std::call_once(once, load_once);
	if (!sLoaded && reason != nullptr)
		*reason = sReason;
	return sLoaded;
}

void* replace_x_function(const char* name, void* function)
{
	if (!load_x_libraries(nullptr))
		return nullptr;
	for (int i = 0; i < vantry_x_count; i++) {
		if (strcmp(vantry_x_names[i], name) == 0)
			return __atomic_exchange_n(&vantry_x_table[i], function, __ATOMIC_ACQ_REL);
	}
	return nullptr;
}
#else
// Linked with the X libraries: they are there already.
bool load_x_libraries(std::string* reason)
{
	return true;
}

void* replace_x_function(const char* name, void* function)
{
	return nullptr;
}
#endif
