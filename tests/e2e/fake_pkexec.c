/* A stand-in for pkexec, installed set-user-ID root by the test: it records
 * its argument vector beside itself, refuses one that could open a window or
 * names no absolute program, and runs the program as root with the bare
 * environment pkexec gives. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int has(int argc, char** argv, const char* word)
{
	for (int i = 2; i < argc; i++) {
		if (strcmp(argv[i], word) == 0)
			return 1;
	}
	return 0;
}

int main(int argc, char** argv)
{
	char self[4096];
	const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 32);
	if (length <= 0)
		return 127;
	self[length] = '\0';
	strcat(self, ".args");
	FILE* record = fopen(self, "w");
	if (record == NULL)
		return 127;
	for (int i = 0; i < argc; i++)
		fprintf(record, "%s\n", argv[i]);
	fclose(record);
	if (argc < 2 || argv[1][0] != '/' || !has(argc, argv, "--unattended") ||
	    has(argc, argv, "--text"))
		return 127;
	if (setgid(0) != 0 || setuid(0) != 0)
		return 127;
	clearenv();
	setenv("PATH", "/usr/sbin:/usr/bin:/sbin:/bin", 1);
	setenv("HOME", "/root", 1);
	setenv("USER", "root", 1);
	execv(argv[1], argv + 1);
	return 127;
}
