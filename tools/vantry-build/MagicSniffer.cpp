// libmagic as the host layer's content sniffer.
#include "MagicSniffer.h"

#include <magic.h>
#include <string.h>

#include <string>

#include "MagicShortcuts.h"
#include "MimeRules.h"

namespace {

// A libmagic handle is not thread-safe: each thread loads its own. The
// checks left out never change a type: compressed contents are not looked
// into, tar is found by its magic anyway, ELF executables are found before.
const int kMagicFlags = MAGIC_MIME_TYPE | MAGIC_ERROR | MAGIC_NO_CHECK_COMPRESS |
                        MAGIC_NO_CHECK_TAR | MAGIC_NO_CHECK_ELF;
// Plain prose needs only the text checks (encoding, CSV, JSON): the
// signature database, nearly all of libmagic's time, cannot name it.
const int kProseFlags = kMagicFlags | MAGIC_NO_CHECK_SOFT;
// Data no text check can take for text needs only the database.
const int kBinaryFlags = kMagicFlags | MAGIC_NO_CHECK_TEXT | MAGIC_NO_CHECK_ENCODING;

class MagicHandle {
public:
	explicit MagicHandle(int flags) : fMagic(magic_open(flags))
	{
		if (fMagic != nullptr && magic_load(fMagic, nullptr) != 0) {
			magic_close(fMagic);
			fMagic = nullptr;
		}
	}
	~MagicHandle()
	{
		if (fMagic != nullptr)
			magic_close(fMagic);
	}
	magic_t Get() const { return fMagic; }

private:
	magic_t fMagic;
};

// libmagic's answer with the checks `flags` leave in; its "inode/" and
// empty answers leave the data to the host's rules. One handle per thread,
// its database loaded once, serves every set of checks.
std::string magic_answer(int flags, const void* data, size_t length)
{
	thread_local MagicHandle handle(kMagicFlags);
	if (handle.Get() == nullptr || magic_setflags(handle.Get(), flags) != 0)
		return std::string();
	const char* found = magic_buffer(handle.Get(), data, length);
	if (found == nullptr || found[0] == '\0' || strncmp(found, "inode/", 6) == 0)
		return std::string();
	return found;
}

std::string magic_type(const void* data, size_t length)
{
	std::string type = magic_header_type(data, length);
	if (!type.empty())
		return type;
	if (reads_as_plain_prose(data, length))
		return magic_answer(kProseFlags, data, length);
	if (cannot_be_text(data, length))
		return magic_answer(kBinaryFlags, data, length);
	return magic_answer(kMagicFlags, data, length);
}

} // namespace

void use_magic_sniffer()
{
	set_mime_content_sniffer(magic_type);
}
