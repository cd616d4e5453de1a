// A single-member ZIP writer and a checked reader, with zlib.
#include "LibZipMember.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

#include "LibPathParts.h"

namespace {

// Larger files do not belong in an attribute.
const size_t kMaxFileSize = 64 * 1024 * 1024;
const uint32_t kLocalSignature = 0x04034b50;
const uint32_t kCentralSignature = 0x02014b50;
const uint32_t kEndSignature = 0x06054b50;

void Put16(std::string& out, uint32_t value)
{
	out += (char)(value & 0xff);
	out += (char)((value >> 8) & 0xff);
}

void Put32(std::string& out, uint32_t value)
{
	Put16(out, value & 0xffff);
	Put16(out, value >> 16);
}

uint32_t Get16(const std::string& in, size_t at)
{
	return (uint8_t)in[at] | ((uint32_t)(uint8_t)in[at + 1] << 8);
}

uint32_t Get32(const std::string& in, size_t at)
{
	return Get16(in, at) | (Get16(in, at + 2) << 16);
}

bool ReadWhole(const char* path, std::string& data, struct stat& st)
{
	int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return false;
	bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (size_t)st.st_size <= kMaxFileSize;
	if (ok) {
		data.resize((size_t)st.st_size);
		size_t done = 0;
		while (ok && done < data.size()) {
			ssize_t count = read(fd, &data[done], data.size() - done);
			ok = count > 0;
			done += ok ? (size_t)count : 0;
		}
	}
	close(fd);
	return ok;
}

bool Deflate(const std::string& data, std::string& out)
{
	z_stream stream;
	memset(&stream, 0, sizeof(stream));
	if (deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
		return false;
	out.resize(deflateBound(&stream, data.size()));
	stream.next_in = (Bytef*)data.data();
	stream.avail_in = (uInt)data.size();
	stream.next_out = (Bytef*)&out[0];
	stream.avail_out = (uInt)out.size();
	int result = deflate(&stream, Z_FINISH);
	out.resize(stream.total_out);
	deflateEnd(&stream);
	return result == Z_STREAM_END;
}

bool Inflate(const std::string& in, size_t size, std::string& out)
{
	z_stream stream;
	memset(&stream, 0, sizeof(stream));
	if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
		return false;
	out.assign(size, '\0');
	stream.next_in = (Bytef*)in.data();
	stream.avail_in = (uInt)in.size();
	stream.next_out = (Bytef*)out.data();
	stream.avail_out = (uInt)out.size();
	int result = inflate(&stream, Z_FINISH);
	bool ok = result == Z_STREAM_END && stream.total_out == size;
	inflateEnd(&stream);
	return ok;
}

void DosTime(time_t seconds, uint32_t& time, uint32_t& date)
{
	struct tm local;
	localtime_r(&seconds, &local);
	if (local.tm_year < 80) {
		time = 0;
		date = (1 << 5) | 1;
		return;
	}
	time = (local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2);
	date = ((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday;
}

struct Member {
	std::string name;
	uint32_t method = 0;
	uint32_t crc = 0;
	size_t packedSize = 0;
	size_t size = 0;
	size_t localOffset = 0;
};

// The central directory's members; false for anything out of bounds.
bool ListMembers(const std::string& archive, std::vector<Member>& members)
{
	if (archive.size() < 22)
		return false;
	size_t end = archive.size() - 22;
	size_t lowest = archive.size() > 22 + 65535 ? archive.size() - 22 - 65535 : 0;
	while (Get32(archive, end) != kEndSignature) {
		if (end == lowest)
			return false;
		end--;
	}
	size_t count = Get16(archive, end + 10);
	size_t at = Get32(archive, end + 16);
	for (size_t i = 0; i < count; i++) {
		if (at + 46 > archive.size() || Get32(archive, at) != kCentralSignature)
			return false;
		Member member;
		member.method = Get16(archive, at + 10);
		member.crc = Get32(archive, at + 16);
		member.packedSize = Get32(archive, at + 20);
		member.size = Get32(archive, at + 24);
		size_t nameLength = Get16(archive, at + 28);
		size_t skip = nameLength + Get16(archive, at + 30) + Get16(archive, at + 32);
		member.localOffset = Get32(archive, at + 42);
		if (at + 46 + skip > archive.size())
			return false;
		member.name = archive.substr(at + 46, nameLength);
		members.push_back(member);
		at += 46 + skip;
	}
	return true;
}

bool Extract(const std::string& archive, const Member& member, std::string& data)
{
	size_t at = member.localOffset;
	if (at + 30 > archive.size() || Get32(archive, at) != kLocalSignature)
		return false;
	size_t start = at + 30 + Get16(archive, at + 26) + Get16(archive, at + 28);
	if (start > archive.size() || member.packedSize > archive.size() - start)
		return false;
	if (member.size > kMaxFileSize)
		return false;
	std::string packed = archive.substr(start, member.packedSize);
	std::string out;
	if (member.method == 0 && member.packedSize == member.size)
		out = packed;
	else if (member.method != 8 || !Inflate(packed, member.size, out))
		return false;
	if (crc32(0, (const Bytef*)out.data(), (uInt)out.size()) != member.crc)
		return false;
	data.swap(out);
	return true;
}

} // namespace

bool LibZipOneFile(const char* path, const char* name, std::string& archive)
{
	if (path == nullptr || name == nullptr || name[0] == '\0' || strlen(name) > 0xffff)
		return false;
	std::string data;
	struct stat st;
	if (!ReadWhole(path, data, st))
		return false;
	std::string packed;
	uint32_t method = 8;
	if (!Deflate(data, packed))
		return false;
	if (packed.size() >= data.size()) {
		packed = data;
		method = 0;
	}
	uint32_t crc = crc32(0, (const Bytef*)data.data(), (uInt)data.size());
	uint32_t dosTime, dosDate;
	DosTime(st.st_mtime, dosTime, dosDate);
	std::string nameText = name;
	std::string out;
	Put32(out, kLocalSignature);
	Put16(out, 20);
	Put16(out, 0x0800); // names are UTF-8
	Put16(out, method);
	Put16(out, dosTime);
	Put16(out, dosDate);
	Put32(out, crc);
	Put32(out, (uint32_t)packed.size());
	Put32(out, (uint32_t)data.size());
	Put16(out, (uint32_t)nameText.size());
	Put16(out, 0);
	out += nameText;
	out += packed;
	size_t central = out.size();
	Put32(out, kCentralSignature);
	Put16(out, (3 << 8) | 20); // made on Unix, so the mode below counts
	Put16(out, 20);
	Put16(out, 0x0800);
	Put16(out, method);
	Put16(out, dosTime);
	Put16(out, dosDate);
	Put32(out, crc);
	Put32(out, (uint32_t)packed.size());
	Put32(out, (uint32_t)data.size());
	Put16(out, (uint32_t)nameText.size());
	Put16(out, 0);
	Put16(out, 0);
	Put16(out, 0);
	Put16(out, 0);
	Put32(out, (uint32_t)(st.st_mode & 0xffff) << 16);
	Put32(out, 0);
	out += nameText;
	size_t centralSize = out.size() - central;
	Put32(out, kEndSignature);
	Put16(out, 0);
	Put16(out, 0);
	Put16(out, 1);
	Put16(out, 1);
	Put32(out, (uint32_t)centralSize);
	Put32(out, (uint32_t)central);
	Put16(out, 0);
	archive.swap(out);
	return true;
}

bool LibUnzipOneFile(const std::string& archive, const char* name, std::string& data)
{
	std::vector<Member> members;
	if (!ListMembers(archive, members))
		return false;
	const Member* chosen = nullptr;
	int files = 0;
	for (const Member& member : members) {
		if (member.name.empty() || member.name.back() == '/')
			continue;
		files++;
		if (name != nullptr && LibLastComponent(member.name) == name)
			return Extract(archive, member, data);
		chosen = &member;
	}
	if (files != 1)
		return false;
	return Extract(archive, *chosen, data);
}
