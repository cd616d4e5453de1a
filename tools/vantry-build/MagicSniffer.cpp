// libmagic as the host layer's content sniffer.
#include "MagicSniffer.h"

#include <magic.h>
#include <string.h>

#include <string>

#include "MimeRules.h"

namespace {

// A libmagic handle is not thread-safe: each thread loads its own. The
// checks left out never change a type: compressed contents are not looked
// into, tar is found by its magic anyway, ELF executables are found before.
const int kMagicFlags = MAGIC_MIME_TYPE | MAGIC_ERROR | MAGIC_NO_CHECK_COMPRESS |
                        MAGIC_NO_CHECK_TAR | MAGIC_NO_CHECK_ELF;

class MagicHandle {
public:
	MagicHandle() : fMagic(magic_open(kMagicFlags))
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

// libmagic's answer; its "inode/" and empty answers leave the data to the
// host's rules.
std::string magic_type(const void* data, size_t length)
{
	thread_local MagicHandle handle;
	if (handle.Get() == nullptr)
		return std::string();
	const char* found = magic_buffer(handle.Get(), data, length);
	if (found == nullptr || found[0] == '\0' || strncmp(found, "inode/", 6) == 0)
		return std::string();
	return found;
}

} // namespace

void use_magic_sniffer()
{
	set_mime_content_sniffer(magic_type);
}
