// What every benchmark program shares: the scale factor and the argument and
// environment vectors of the programs it measures.
#pragma once

#include <stdlib.h>

#include <string>
#include <vector>

extern char** environ;

// BENCH_SCALE, or 1 when unset or not a positive number.
inline double BenchScale()
{
	const char* text = getenv("BENCH_SCALE");
	double value = text != nullptr ? atof(text) : 1.0;
	return value > 0 ? value : 1.0;
}

// The argv and envp of a child: this process's environment plus `extra`. The
// arguments must outlive the vectors.
struct ChildVectors {
	std::vector<std::string> environment;
	std::vector<char*> argv;
	std::vector<char*> envp;

	ChildVectors(const std::vector<std::string>& arguments, const std::vector<std::string>& extra)
	{
		for (char** variable = environ; *variable != nullptr; variable++)
			environment.push_back(*variable);
		environment.insert(environment.end(), extra.begin(), extra.end());
		for (std::string& variable : environment)
			envp.push_back(variable.data());
		envp.push_back(nullptr);
		for (const std::string& argument : arguments)
			argv.push_back(const_cast<char*>(argument.c_str()));
		argv.push_back(nullptr);
	}
};
