// The commands of vantry-res: list, get, dump, add and remove.
#include "Commands.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Message.h"
#include "MessagePrinter.h"
#include "Resources.h"
#include "TypeConstants.h"

namespace {

// The largest standalone message file dump reads.
const long kMaxMessageFile = 256L * 1024 * 1024;

struct FreeDeleter {
	void operator()(void* p) const { free(p); }
};

int fail(const char* path, const char* text)
{
	fprintf(stderr, "vantry-res: %s: %s\n", path, text);
	return 1;
}

int fail_status(const char* path, const char* what, status_t status, const char* detail)
{
	std::string text = std::string(what) + ": ";
	text += detail != nullptr && detail[0] != '\0' ? detail : status_text(status);
	return fail(path, text.c_str());
}

std::string type_text(type_code type)
{
	char text[12];
	type_code_to_string(type, text);
	return text;
}

std::string resource_text(type_code type, int32 id)
{
	return "no resource " + type_text(type) + " " + std::to_string(id);
}

// Opens a file's resources, printing the reason when it cannot.
bool open_resources(BResources* resources, const char* path, bool writable)
{
	if (resources->SetTo(path, writable) == B_OK)
		return true;
	fail(path, resources->ErrorText());
	return false;
}

int print_flattened(const char* path, const void* data, size_t size)
{
	BMessage message;
	status_t status = message.Unflatten(static_cast<const char*>(data), (ssize_t)size);
	if (status != B_OK)
		return fail_status(path, "not a flattened message", status, nullptr);
	print_message(message, stdout, 0);
	return 0;
}

bool read_stream(FILE* in, std::string* out)
{
	char buffer[65536];
	size_t got;
	while ((got = fread(buffer, 1, sizeof(buffer), in)) > 0)
		out->append(buffer, got);
	return ferror(in) == 0;
}

} // namespace

int list_resources(const char* path)
{
	BResources resources;
	if (!open_resources(&resources, path, false))
		return 1;
	struct Row {
		std::string type, id, size, name;
	};
	std::vector<Row> rows;
	size_t widths[3] = {0, 0, 0};
	type_code type;
	int32 id;
	const char* name;
	size_t size;
	for (int32 i = 0; resources.GetResourceInfo(i, &type, &id, &name, &size); i++) {
		Row row{type_text(type), std::to_string(id), std::to_string(size), name};
		widths[0] = std::max(widths[0], row.type.size());
		widths[1] = std::max(widths[1], row.id.size());
		widths[2] = std::max(widths[2], row.size.size());
		rows.push_back(std::move(row));
	}
	for (const Row& row : rows) {
		printf("%-*s  %*s  %*s  %s\n", (int)widths[0], row.type.c_str(), (int)widths[1],
		       row.id.c_str(), (int)widths[2], row.size.c_str(), row.name.c_str());
	}
	return 0;
}

int get_resource(const char* path, type_code type, int32 id)
{
	BResources resources;
	if (!open_resources(&resources, path, false))
		return 1;
	size_t size = 0;
	std::unique_ptr<void, FreeDeleter> data(resources.FindResource(type, id, &size));
	if (data == nullptr)
		return fail(path, resource_text(type, id).c_str());
	if (fwrite(data.get(), 1, size, stdout) != size || fflush(stdout) != 0)
		return fail("stdout", strerror(errno));
	return 0;
}

int dump_message_file(const char* path)
{
	std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path, "rb"), fclose);
	if (file == nullptr)
		return fail(path, strerror(errno));
	std::string data;
	if (!read_stream(file.get(), &data))
		return fail(path, strerror(errno));
	if ((long)data.size() > kMaxMessageFile)
		return fail(path, "too large for a flattened message");
	return print_flattened(path, data.data(), data.size());
}

int dump_message_resource(const char* path, type_code type, int32 id)
{
	BResources resources;
	if (!open_resources(&resources, path, false))
		return 1;
	size_t size = 0;
	const void* data = resources.LoadResource(type, id, &size);
	if (data == nullptr)
		return fail(path, resource_text(type, id).c_str());
	return print_flattened(path, data, size);
}

int add_resource(const char* path, type_code type, int32 id, const char* name)
{
	std::string data;
	if (!read_stream(stdin, &data))
		return fail("stdin", strerror(errno));
	BResources resources;
	if (!open_resources(&resources, path, true))
		return 1;
	status_t status = resources.AddResource(type, id, data.data(), data.size(), name);
	if (status == B_OK)
		status = resources.Sync();
	if (status != B_OK)
		return fail_status(path, "cannot add the resource", status, resources.ErrorText());
	return 0;
}

int remove_resource(const char* path, type_code type, int32 id)
{
	BResources resources;
	if (!open_resources(&resources, path, true))
		return 1;
	if (!resources.HasResource(type, id))
		return fail(path, resource_text(type, id).c_str());
	status_t status = resources.RemoveResource(type, id);
	if (status == B_OK)
		status = resources.Sync();
	if (status != B_OK)
		return fail_status(path, "cannot remove the resource", status, resources.ErrorText());
	return 0;
}
