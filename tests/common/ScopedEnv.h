// An environment variable set (or removed) for the life of one object.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

class ScopedEnv {
public:
	// Sets `name` to `value`, or removes it for nullopt.
	ScopedEnv(const char* name, std::optional<std::string> value) : fName(name)
	{
		if (const char* old = getenv(name))
			fOld = old;
		if (value)
			setenv(name, value->c_str(), 1);
		else
			unsetenv(name);
	}
	// The same with a C string; a null `value` removes the variable.
	ScopedEnv(const char* name, const char* value)
	    : ScopedEnv(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt)
	{
	}
	~ScopedEnv()
	{
		if (fOld)
			setenv(fName.c_str(), fOld->c_str(), 1);
		else
			unsetenv(fName.c_str());
	}
	ScopedEnv(const ScopedEnv&) = delete;
	ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
	std::string fName;
	std::optional<std::string> fOld;
};
