// PNG writing for the 16 x 16 item icons, with zlib alone.
#include "IconExport.h"

#include "InstallJournal.h"

#include <zlib.h>

#include <cstring>
#include <vector>

#include "Bitmap.h"
#include "ConfigRecord.h"
#include "FindDirectory.h"
#include "InstallItemRecord.h"
#include "LibBitmap.h"
#include "LibFile.h"
#include "MenuRecord.h"
#include "Message.h"
#include "Path.h"
#include "ScriptEdit.h"

namespace {

void PutBig32(std::vector<uint8>& out, const uint32& value)
{
	for (int shift = 24; shift >= 0; shift -= 8)
		out.push_back(uint8(value >> shift));
}

void PutChunk(std::vector<uint8>& out, const char* type, const std::vector<uint8>& data)
{
	PutBig32(out, uint32(data.size()));
	const size_t start = out.size();
	out.insert(out.end(), type, type + 4);
	out.insert(out.end(), data.begin(), data.end());
	PutBig32(out, uint32(crc32(0, out.data() + start, uInt(out.size() - start))));
}

// The platform's icon of a kind says less than the theme's own icons.
bool IsDefaultIcon(const BBitmap& icon)
{
	if (icon.BitsLength() != 256)
		return false;
	for (const LibBitmap::IconKind kind : {LibBitmap::kFileIcon, LibBitmap::kFolderIcon,
	                                       LibBitmap::kAppIcon, LibBitmap::kVolumeIcon}) {
		uint8 bits[256];
		LibBitmap::GetDefaultIcon(kind, B_MINI_ICON, bits);
		if (memcmp(bits, icon.Bits(), sizeof(bits)) == 0)
			return true;
	}
	return false;
}

} // namespace

bool WriteIconPng(const BBitmap& icon, const std::string& path)
{
	if (icon.InitCheck() != B_OK || icon.ColorSpace() != B_CMAP8)
		return false;
	const int32 width = int32(icon.Bounds().Width()) + 1;
	const int32 height = int32(icon.Bounds().Height()) + 1;
	const uint8* bits = static_cast<const uint8*>(icon.Bits());
	const color_map* palette = system_palette();
	std::vector<uint8> rows;
	for (int32 y = 0; y < height; y++) {
		rows.push_back(0); // no filter
		for (int32 x = 0; x < width; x++) {
			const uint8 index = bits[y * icon.BytesPerRow() + x];
			const rgb_color color = palette->color_list[index];
			rows.push_back(color.red);
			rows.push_back(color.green);
			rows.push_back(color.blue);
			rows.push_back(index == B_TRANSPARENT_MAGIC_CMAP8 ? 0 : 255);
		}
	}
	uLongf packedSize = compressBound(uLong(rows.size()));
	std::vector<uint8> packed(packedSize);
	if (compress2(packed.data(), &packedSize, rows.data(), uLong(rows.size()), 9) != Z_OK)
		return false;
	packed.resize(packedSize);

	std::vector<uint8> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
	std::vector<uint8> header;
	PutBig32(header, uint32(width));
	PutBig32(header, uint32(height));
	header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA
	PutChunk(png, "IHDR", header);
	PutChunk(png, "IDAT", packed);
	PutChunk(png, "IEND", {});

	return ReplaceWholeFile(path, std::string(png.begin(), png.end()), 0644) == B_OK;
}

std::string ExportItemIcon(const BMessage& config, const std::string& leaf, const std::string& name,
                           InstallJournal& journal)
{
	BMessage instructions;
	ConfigRecord(config).Instructions(&instructions);
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(InstallItemRecord::kItem, i, &item) == B_OK; i++) {
		if (InstallItemRecord(item).Leaf() != leaf)
			continue;
		BMessage archive;
		if (item.FindMessage(InstallItemRecord::kFileIcon, &archive) != B_OK)
			return std::string();
		BBitmap icon(&archive);
		if (icon.InitCheck() != B_OK || icon.ColorSpace() != B_CMAP8)
			return std::string();
		// An icon with no visible pixel is no icon: the stock one does better.
		const uint8* bits = static_cast<const uint8*>(icon.Bits());
		bool visible = false;
		for (int32 b = 0; b < icon.BitsLength() && !visible; b++)
			visible = bits[b] != B_TRANSPARENT_MAGIC_CMAP8;
		if (!visible || IsDefaultIcon(icon))
			return std::string();
		const std::string theme = HicolorFolder();
		if (theme.empty())
			return std::string();
		const std::string folder = theme + "/16x16/apps";
		const std::string path = folder + "/" + name + ".png";
		if (!journal.WillWrite(path))
			return std::string();
		Libmkdir(folder.c_str());
		return WriteIconPng(icon, path) ? path : std::string();
	}
	return std::string();
}

std::string HicolorFolder()
{
	BPath applications;
	BPath data;
	// The theme folder of the data folder that holds the applications folder.
	if (find_directory(B_USER_DESKBAR_DIRECTORY, &applications) != B_OK ||
	    applications.GetParent(&data) != B_OK)
		return std::string();
	return std::string(data.Path()) + "/icons/hicolor";
}

std::vector<std::string> InstallMenuIcons(const MenuRecord& menu, const std::string& name,
                                          InstallJournal& journal)
{
	std::vector<std::pair<std::string, const std::string*>> files;
	if (!menu.svg.empty())
		files.emplace_back("scalable/apps/" + name + ".svg", &menu.svg);
	for (const auto& [size, png] : menu.pngs) {
		const std::string pixels = std::to_string(size);
		files.emplace_back(pixels + "x" + pixels + "/apps/" + name + ".png", &png);
	}
	const std::string theme = HicolorFolder();
	std::vector<std::string> written;
	for (const auto& [relative, bytes] : files) {
		const std::string path = theme + "/" + relative;
		const std::string folder = path.substr(0, path.rfind('/'));
		if (theme.empty() || !journal.WillMakeFolders(folder) || !journal.WillWrite(path))
			break;
		Libmkdir(folder.c_str());
		if (ReplaceWholeFile(path, *bytes, 0644) != B_OK)
			break;
		written.push_back(path);
	}
	return written;
}
