// A stdio stream writing into memory, for tests that read back what the code
// under test printed.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

class MemoryStream {
public:
	MemoryStream() : fFile(open_memstream(&fBuffer, &fSize)) {}
	~MemoryStream()
	{
		fclose(fFile);
		free(fBuffer);
	}
	MemoryStream(const MemoryStream&) = delete;
	MemoryStream& operator=(const MemoryStream&) = delete;

	FILE* File() const { return fFile; }
	// Everything written so far.
	std::string Text()
	{
		fflush(fFile);
		return std::string(fBuffer, fSize);
	}

private:
	char* fBuffer = nullptr;
	size_t fSize = 0;
	FILE* fFile;
};
