// Assembling the installer executable in a work folder beside the output.
#include "InstallerWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "AppFileInfo.h"
#include "AppInfo.h"
#include "ConfigWriter.h"
#include "File.h"
#include "HostFileReader.h"
#include "InstallerResourceIds.h"
#include "InstallerSigner.h"
#include "Message.h"
#include "NameFolding.h"
#include "PayloadDigest.h"
#include "PayloadExtractor.h"
#include "PayloadWriter.h"
#include "RecordCheck.h"
#include "Resources.h"
#include "Sha256.h"
#include "StringTable.h"
#include "VantryVersion.h"
#include "ZipArchive.h"

namespace {

const int32 kFirstStringId = 1000;
const int32 kLastInstallerString = 1203;
const int32 kLastDeinstallerString = 1010;
const char kDeinstallerLeaf[] = "Deinstaller";
// Zstandard's level for the deinstaller of a deflated product: most of the
// gain of the higher ones, in a quarter of a second.
const int32 kDeinstallerLevel = 9;
// Past this many, an item's folded names are counted, not listed.
const size_t kListedFoldedNames = 10;

// What a program says of itself in its version resources.
struct ProgramIdentity {
	const char* signature;
	const char* shortText;
	const char* longText;
	const char* documentType; // supported type, or null
};

const ProgramIdentity kInstallerIdentity = {"application/x-vnd.Quorvex.Vanex", "Installer",
                                            "V" VANTRY_VERSION_TEXT " Install BeOS applications",
                                            "text/x-vanex"};
const ProgramIdentity kDeinstallerIdentity = {"application/x-vnd.Quorvex.Ravex", "Deinstaller",
                                              "Deinstall BeOS applications", nullptr};

// A work folder beside the output, removed with everything in it.
class WorkFolder {
public:
	explicit WorkFolder(const std::string& output)
	{
		std::filesystem::path parent = std::filesystem::absolute(output).parent_path();
		std::string pattern = (parent / ".vantry-build-XXXXXX").string();
		if (mkdtemp(pattern.data()) != nullptr)
			fPath = pattern;
	}
	~WorkFolder()
	{
		std::error_code ignored;
		if (!fPath.empty())
			std::filesystem::remove_all(fPath, ignored);
	}
	const std::string& Path() const { return fPath; }

private:
	std::string fPath;
};

status_t copy_program(const char* role, const std::string& from, const std::string& to,
                      std::string* error)
{
	std::error_code failure;
	std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
	                           failure);
	if (failure) {
		*error = std::string("cannot copy the ") + role + " program " + from + ": " +
		         failure.message();
		return B_IO_ERROR;
	}
	chmod(to.c_str(), 0755);
	return B_OK;
}

status_t stamp_identity(const std::string& path, const ProgramIdentity& identity)
{
	BFile file(path.c_str(), B_READ_WRITE);
	BAppFileInfo info(&file);
	if (file.InitCheck() != B_OK || info.InitCheck() != B_OK)
		return B_IO_ERROR;
	version_info version = {};
	version.major = VANTRY_VERSION_MAJOR;
	version.middle = VANTRY_VERSION_MIDDLE;
	version.minor = VANTRY_VERSION_MINOR;
	version.variety = 5;
	strncpy(version.short_info, identity.shortText, sizeof(version.short_info) - 1);
	strncpy(version.long_info, identity.longText, sizeof(version.long_info) - 1);
	BMessage types;
	if (identity.documentType != nullptr)
		types.AddString("types", identity.documentType);
	status_t status = info.SetSignature(identity.signature);
	if (status == B_OK)
		status = info.SetAppFlags(B_MULTIPLE_LAUNCH);
	if (status == B_OK)
		status = info.SetVersionInfo(&version, B_APP_VERSION_KIND);
	if (status == B_OK)
		status = info.SetSupportedTypes(&types);
	if (status == B_OK)
		status = info.Sync();
	return status;
}

} // namespace

InstallerWriter::InstallerWriter(const Product& product, const InstallerParts& parts)
    : fProduct(product), fParts(parts)
{
}

const std::vector<std::string>& InstallerWriter::Languages()
{
	static const std::vector<std::string> codes = {"en", "fr", "es", "de", "it",
	                                               "no", "sv", "da", "nl"};
	return codes;
}

status_t InstallerWriter::Fail(const std::string& message, status_t status)
{
	fErrors.push_back(message);
	return status;
}

status_t InstallerWriter::Write(const std::string& output)
{
	fErrors.clear();
	fWarnings.clear();
	WorkFolder work(output);
	if (work.Path().empty())
		return Fail("cannot make a work folder beside " + output + ": " + strerror(errno));
	std::string deinstallerArchive;
	int32 deinstallerSize = 0;
	status_t status = PrepareDeinstaller(work.Path(), &deinstallerArchive, &deinstallerSize);
	if (status != B_OK)
		return status;

	std::string installer = work.Path() + "/installer";
	std::string error;
	if (copy_program("Installer", fParts.installer, installer, &error) != B_OK)
		return Fail(error);
	if (stamp_identity(installer, kInstallerIdentity) != B_OK)
		return Fail("cannot write the version resources of " + installer);
	struct stat program;
	if (stat(installer.c_str(), &program) != 0)
		return Fail("cannot read " + installer + ": " + strerror(errno));

	// The record carries each payload's digest: the archives come first.
	status = PackItems(work.Path());
	if (status != B_OK)
		return status;

	BResources resources(installer.c_str(), true);
	if (resources.InitCheck() != B_OK)
		return Fail("cannot open the resources of " + fParts.installer + ": " +
		            resources.ErrorText());
	status = AddConfiguration(resources, deinstallerSize);
	if (status == B_OK)
		status = AddStrings(resources, "installer", kLastInstallerString);
	if (status == B_OK)
		status = AddPayload(resources, deinstallerArchive, kDeinstallerPayloadId, kDeinstallerLeaf);
	if (status == B_OK)
		status = AddItems(resources);
	if (status != B_OK)
		return status;
	if (fParts.key != nullptr) {
		InstallerSigner signer(*fParts.key);
		if (signer.Reserve(resources, program.st_size) != B_OK)
			return Fail(signer.ErrorText());
	}
	if (resources.Sync() != B_OK)
		return Fail("cannot write " + output + ": " + resources.ErrorText(), B_IO_ERROR);
	resources.Unset();
	if (CheckDeinstallerReference(installer) != B_OK)
		return B_ERROR;
	const std::string minisig = output + ".minisig";
	const std::string workMinisig = work.Path() + "/installer.minisig";
	if (fParts.key != nullptr && Sign(installer, workMinisig, output) != B_OK)
		return B_ERROR;
	if (rename(installer.c_str(), output.c_str()) != 0)
		return Fail("cannot write " + output + ": " + strerror(errno), B_IO_ERROR);
	// A signature beside the file is of this file, or there is none.
	if (fParts.key == nullptr ? unlink(minisig.c_str()) != 0 && errno != ENOENT
	                          : rename(workMinisig.c_str(), minisig.c_str()) != 0)
		return Fail("cannot write " + minisig + ": " + strerror(errno), B_IO_ERROR);
	return B_OK;
}

status_t InstallerWriter::Sign(const std::string& installer, const std::string& minisig,
                               const std::string& output)
{
	InstallerSigner signer(*fParts.key);
	const std::string leaf = std::filesystem::path(output).filename().string();
	if (signer.Sign(installer) != B_OK ||
	    signer.WriteMinisig(installer, minisig, leaf, fParts.buildTime) != B_OK)
		return Fail(signer.ErrorText());
	return B_OK;
}

// The deinstaller with its own string tables, zipped under its leaf name.
status_t InstallerWriter::PrepareDeinstaller(const std::string& work, std::string* archive,
                                             int32* size)
{
	std::string program = work + "/" + kDeinstallerLeaf;
	std::string error;
	if (copy_program("Deinstaller", fParts.deinstaller, program, &error) != B_OK)
		return Fail(error);
	if (stamp_identity(program, kDeinstallerIdentity) != B_OK)
		return Fail("cannot write the version resources of " + program);
	// The copy is dated by the build, not by the clock.
	const struct timespec times[2] = {{time_t(fParts.buildTime), 0}, {time_t(fParts.buildTime), 0}};
	{
		BResources resources(program.c_str(), true);
		if (resources.InitCheck() != B_OK)
			return Fail("cannot open the resources of " + fParts.deinstaller + ": " +
			            resources.ErrorText());
		status_t status = AddStrings(resources, "deinstaller", kLastDeinstallerString);
		if (status != B_OK)
			return status;
		if (resources.Sync() != B_OK)
			return Fail("cannot write " + program + ": " + resources.ErrorText());
	}
	if (utimensat(AT_FDCWD, program.c_str(), times, 0) != 0)
		return Fail("cannot date " + program + ": " + strerror(errno));
	struct stat info;
	if (stat(program.c_str(), &info) != 0)
		return Fail("cannot read " + program + ": " + strerror(errno));
	*size = info.st_size > INT32_MAX ? INT32_MAX : (int32)info.st_size;
	*archive = work + "/deinstaller.zip";
	PayloadWriter writer = PayloadPacker();
	fDeinstallerReference = PayloadReference();
	const uint64 reference = DeinstallerReference();
	if (reference != 0) {
		writer = PayloadWriter(fProduct.compression == "zstd" ? fProduct.compression_level
		                                                      : kDeinstallerLevel,
		                       fParts.threads, PayloadCompression::kZstd);
		if (writer.SetReference(fParts.installer, reference) != B_OK)
			return Fail(writer.ErrorText());
		fDeinstallerReference = writer.Reference();
	}
	writer.SetAccessTime(fParts.buildTime);
	if (writer.Write(program, kDeinstallerLeaf, *archive) != B_OK)
		return Fail(writer.ErrorText());
	if (payload_file_digest(*archive, &fDeinstallerDigest, &error) != B_OK)
		return Fail("cannot read " + *archive + ": " + error);
	return B_OK;
}

// How many bytes of the Installer program the deinstaller is packed
// against: all of them, as they start the installer written, unless the
// program carries resources of its own (they are rewritten, so its bytes
// would not stay the installer's first) or is larger than a reader holds;
// 0 then, and the deinstaller is packed as the items are.
uint64 InstallerWriter::DeinstallerReference() const
{
	struct stat info;
	if (stat(fParts.installer.c_str(), &info) != 0 || info.st_size <= 0 ||
	    uint64(info.st_size) > kMaxReferenceBytes)
		return 0;
	BResources resources(fParts.installer.c_str(), false);
	if (resources.InitCheck() != B_OK || resources.CountResources() != 0)
		return 0;
	return uint64(info.st_size);
}

// Whether the installer written still starts with the bytes the deinstaller
// was packed against: otherwise no installation could place it.
status_t InstallerWriter::CheckDeinstallerReference(const std::string& installer)
{
	if (fDeinstallerReference.size == 0)
		return B_OK;
	std::string bytes(size_t(fDeinstallerReference.size), '\0');
	const int fd = open(installer.c_str(), O_RDONLY | O_CLOEXEC);
	const status_t status = fd < 0 ? B_IO_ERROR : read_fully_at(fd, 0, bytes.data(), bytes.size());
	if (fd >= 0)
		close(fd);
	std::string digest(Sha256::kSize, '\0');
	Sha256 hash;
	hash.Update((const uint8*)bytes.data(), bytes.size());
	hash.Final((uint8*)digest.data());
	if (status != B_OK || digest != fDeinstallerReference.digest)
		return Fail("the deinstaller was packed against " + fParts.installer + ", whose first " +
		            std::to_string(fDeinstallerReference.size) +
		            " bytes the installer written does not start with: was it changed meanwhile?");
	return B_OK;
}

// Every language's table of one program, as 'CSTR' 1, 2 ... named "<code>:<id>".
status_t InstallerWriter::AddStrings(BResources& resources, const std::string& program,
                                     const int32& lastId)
{
	int32 resourceId = 1;
	for (const std::string& code : Languages()) {
		std::string path = fParts.strings + "/" + program + "/" + code + ".txt";
		StringTable table(path.c_str(), kFirstStringId, lastId);
		if (table.InitCheck() != B_OK)
			return Fail(std::string("cannot read the string table ") + table.ErrorText());
		for (const auto& [id, text] : table.Strings()) {
			std::string name = code + ":" + std::to_string(id);
			status_t status = resources.AddResource(B_STRING_TYPE, resourceId++, text.c_str(),
			                                        text.size() + 1, name.c_str());
			if (status != B_OK)
				return Fail("cannot add the string " + name + ": " + resources.ErrorText());
		}
	}
	return B_OK;
}

status_t InstallerWriter::AddConfiguration(BResources& resources, const int32& deinstallerSize)
{
	BMessage record;
	ConfigWriter writer(fProduct);
	writer.SetItemSizes(fListedSizes);
	writer.SetBuildTime(fParts.buildTime);
	if (writer.Build(deinstallerSize, &record, &fErrors) != B_OK)
		return B_BAD_VALUE;
	AddDigests(record);
	// The installer refuses what this check refuses: never write such a record.
	if (ConfigWriter::CheckRecord(fProduct, record, &fErrors) != B_OK)
		return B_BAD_VALUE;
	std::string flat;
	status_t status = record.Flatten(&flat);
	if (status == B_OK)
		status = resources.AddResource(B_STRING_TYPE, kConfigurationResourceId, flat.data(),
		                               flat.size(), "VXC:configuration");
	if (status != B_OK)
		return Fail(std::string("cannot add the configuration: ") + resources.ErrorText());
	return B_OK;
}

status_t InstallerWriter::AddPayload(BResources& resources, const std::string& archive,
                                     const int32& id, const std::string& name)
{
	struct stat info;
	if (stat(archive.c_str(), &info) != 0)
		return Fail("cannot read " + archive + ": " + strerror(errno));
	// The archive is copied in at Sync, never held whole in memory.
	if (resources.AddResourceFromFile(B_RAW_TYPE, id, archive.c_str(), 0, (size_t)info.st_size,
	                                  name.c_str()) != B_OK)
		return Fail("cannot add the archive of " + name + ": " + resources.ErrorText());
	return B_OK;
}

status_t InstallerWriter::PackItems(const std::string& work)
{
	fArchives.clear();
	fDigests.clear();
	fPacked.clear();
	fListedSizes.clear();
	PayloadWriter writer = PayloadPacker();
	writer.SetAccessTime(fParts.buildTime);
	for (size_t i = 0; i < fProduct.install_file.size(); i++) {
		const ProductItem& item = fProduct.install_file[i];
		// Each archive stays in the work folder until the resources are
		// written; the folder's removal takes them all.
		std::string archive = work + "/item-" + std::to_string(i) + ".zip";
		if (writer.Write(item.source, item.leaf, archive) != B_OK)
			return Fail(
			        format_field_error(fProduct.description_path, item.origin, writer.ErrorText()));
		status_t status = CheckPayload(item, archive);
		if (status != B_OK)
			return status;
		uint32 digest = 0;
		std::string error;
		if (payload_file_digest(archive, &digest, &error) != B_OK)
			return Fail("cannot read " + archive + ": " + error);
		fArchives.push_back(archive);
		fDigests.push_back(digest);
		PackedItem packed;
		packed.name = item.leaf;
		packed.bytes = writer.FileBytes();
		fListedSizes.push_back(writer.ListedSize());
		struct stat info;
		packed.packed = stat(archive.c_str(), &info) == 0 ? int64(info.st_size) : 0;
		fPacked.push_back(packed);
	}
	return B_OK;
}

PayloadWriter InstallerWriter::PayloadPacker() const
{
	if (fProduct.compression == "zstd")
		return PayloadWriter(fProduct.compression_level, fParts.threads, PayloadCompression::kZstd);
	return PayloadWriter(fProduct.opt_compression, fParts.threads);
}

status_t InstallerWriter::CheckPayload(const ProductItem& item, const std::string& archive)
{
	const int fd = open(archive.c_str(), O_RDONLY | O_CLOEXEC);
	struct stat info;
	if (fd < 0 || fstat(fd, &info) != 0) {
		const std::string error = strerror(errno);
		if (fd >= 0)
			close(fd);
		return Fail("cannot read " + archive + ": " + error);
	}
	ZipArchive reader;
	const status_t status =
	        reader.SetTo(fd, 0, info.st_size, (uint64)PayloadExtractor::kDefaultMaxEntries);
	close(fd);
	// What builds must install: the installer reads the archive with these limits.
	if (status != B_OK)
		return Fail(format_field_error(fProduct.description_path, item.origin,
		                               "the installer could not unpack this item: " +
		                                       reader.ErrorText()));
	const std::vector<ZipEntry>& entries = reader.Entries();
	std::vector<std::string_view> names;
	names.reserve(entries.size());
	for (const ZipEntry& entry : entries)
		names.push_back(entry.name);
	const std::vector<std::pair<size_t, size_t>> pairs = folded_name_pairs(names);
	for (size_t i = 0; i < pairs.size() && i < kListedFoldedNames; i++)
		fWarnings.push_back(format_field_error(
		        fProduct.description_path, item.origin,
		        "warning: " + entries[pairs[i].first].name + " and " +
		                entries[pairs[i].second].name +
		                " differ only in case or Unicode normalisation: where the installation "
		                "folder folds names (FAT, exFAT, NTFS, a case-folding ext4 folder) one "
		                "replaces the other"));
	if (pairs.size() > kListedFoldedNames)
		fWarnings.push_back(format_field_error(
		        fProduct.description_path, item.origin,
		        "warning: " + std::to_string(pairs.size() - kListedFoldedNames) +
		                " more pairs of names differ only in case or Unicode normalisation"));
	return B_OK;
}

void InstallerWriter::AddDigests(BMessage& record) const
{
	record.AddInt64(kDeinstallerDigestField, int64(fDeinstallerDigest));
	BMessage instructions;
	if (record.FindMessage("install_instructions", &instructions) != B_OK)
		return;
	BMessage item;
	for (int32 i = 0;
	     i < (int32)fDigests.size() && instructions.FindMessage("install_file", i, &item) == B_OK;
	     i++) {
		item.AddInt64(kPayloadDigestField, int64(fDigests[size_t(i)]));
		instructions.ReplaceMessage("install_file", i, &item);
	}
	record.ReplaceMessage("install_instructions", &instructions);
}

status_t InstallerWriter::AddItems(BResources& resources)
{
	for (size_t i = 0; i < fArchives.size(); i++) {
		status_t status = AddPayload(resources, fArchives[i], kFirstPayloadId + (int32)i,
		                             fProduct.install_file[i].leaf);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}
